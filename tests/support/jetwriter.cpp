#include "tests/support/jetwriter.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace jet {
namespace {

constexpr int kPageSize = 4096;
constexpr int kDataHeader = 14;       // data and LVAL pages: header before the row offsets
constexpr int kMaxRowsPerPage = 255;  // a data pointer has one byte for the row number
constexpr int kMaxRow = kPageSize - kDataHeader - 2;  // a row alone on its page
constexpr int kChainPayload = kMaxRow - 4;            // chained LVAL rows start with the next pointer
constexpr int kInlineLongValue = 1024;  // long values up to this many bytes stay in their row
constexpr int kCompressibleMemo = 1024;  // Jet stores longer memos uncompressed
constexpr int kMapBitmapBytes = 64;      // type 0 usage map: start page and 64 bytes of bits
constexpr int kMapPointers = 17;         // type 1 usage map: the same row size in page pointers
constexpr quint32 kPagesPerMapPage = (kPageSize - 4) * 8;
constexpr quint32 kCatalogPage = 2;
constexpr quint32 kMapRowsPage = 1;
constexpr quint32 kMaxPages = 1u << 24;  // data pointers keep 24 bits for the page
constexpr qint32 kTablesParentId = 251658241;
constexpr quint32 kSystemTableFlags = 0x80000002u;
constexpr quint32 kDeletedRowFlag = 0x8000;  // row-offset flags
constexpr quint32 kOverflowRowFlag = 0x4000;
constexpr int kRowOffsetMask = 0x1fff;

[[noreturn]] void fail(const QString &message)
{
    throw std::runtime_error(message.toStdString());
}

void put16(char *p, quint32 v)
{
    p[0] = char(v & 0xff);
    p[1] = char((v >> 8) & 0xff);
}

void put32(char *p, quint32 v)
{
    for (int i = 0; i < 4; ++i) p[i] = char((v >> (8 * i)) & 0xff);
}

void append16(QByteArray &b, quint32 v)
{
    b.append(char(v & 0xff));
    b.append(char((v >> 8) & 0xff));
}

quint32 pointer(quint32 page, int row)
{
    return (page << 8) | quint32(row);
}

QByteArray ucs2(const QString &s)
{
    QByteArray out(s.size() * 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i) put16(out.data() + 2 * i, s[i].unicode());
    return out;
}

// The 0xFF 0xFE form starts in one-byte mode, where a character is stored as
// its low byte; a 0x00 byte switches between that and two-byte mode. A
// character whose low byte is 0x00 would read as a switch, so such strings
// stay plain. Returns an empty array when the plain form is no longer.
QByteArray compressed(const QString &s)
{
    const qsizetype n = s.size();
    for (QChar c : s)
        if ((c.unicode() & 0xff) == 0) return {};
    QByteArray out;
    out.reserve(n + 16);
    out.append('\xff');
    out.append('\xfe');
    bool oneByte = true;
    qsizetype i = 0;
    while (i < n) {
        const bool narrow = s[i].unicode() < 0x100;
        qsizetype j = i;
        while (j < n && (s[j].unicode() < 0x100) == narrow) ++j;
        // Back to one-byte mode costs a switch now and another before the next wide run.
        const qsizetype cost = oneByte ? 0 : (j < n ? 2 : 1);
        if (narrow && j - i > cost) {
            if (!oneByte) out.append('\0');
            oneByte = true;
            for (qsizetype k = i; k < j; ++k) out.append(char(s[k].unicode()));
        } else {
            if (oneByte) out.append('\0');
            oneByte = false;
            for (qsizetype k = i; k < j; ++k) append16(out, s[k].unicode());
        }
        i = j;
    }
    if (out.size() >= 2 * n) return {};
    return out;
}

QByteArray encodeText(const QString &s, bool mayCompress)
{
    if (mayCompress) {
        QByteArray c = compressed(s);
        if (!c.isEmpty()) return c;
    }
    return ucs2(s);
}

void rc4(const quint8 *key, int keyLen, char *data, int len)
{
    quint8 s[256];
    for (int i = 0; i < 256; ++i) s[i] = quint8(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLen]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < len; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[n] = char(quint8(data[n]) ^ s[(s[i] + s[j]) & 0xff]);
    }
}

using Page = std::array<char, kPageSize>;

// Page 0. The 128 bytes from 0x18 are stored RC4-encrypted; all zero in the
// clear means no page encryption and no password.
Page definitionPage()
{
    Page p{};
    p[1] = 0x01;
    std::memcpy(p.data() + 4, "Standard Jet DB", 16);
    put32(p.data() + 0x14, 1);  // Jet 4
    const quint8 key[4] = {0xc7, 0xda, 0x39, 0x6b};
    rc4(key, 4, p.data() + 0x18, 128);
    return p;
}

// A data or LVAL page filled from the end downward.
class RowPage {
public:
    void start(quint32 tdefPage)
    {
        char owner[4];
        put32(owner, tdefPage);
        startOwned(owner);
    }
    void startLval() { startOwned("LVAL"); }
    bool empty() const { return rows == 0; }
    int freeSpace() const { return top - kDataHeader - 2 * rows; }
    bool fits(int len) const { return rows < kMaxRowsPerPage && len + 2 <= freeSpace(); }
    int add(const char *row, int len, quint32 offsetFlags = 0)
    {
        top -= len;
        std::memcpy(buf.data() + top, row, size_t(len));
        put16(buf.data() + kDataHeader + 2 * rows, quint32(top) | offsetFlags);
        ++rows;
        put16(buf.data() + 12, quint32(rows));
        put16(buf.data() + 2, quint32(freeSpace()));
        return rows - 1;
    }
    // Rewrites the start of a row already on the page.
    void overwrite(int index, const char *bytes, int len)
    {
        const char *entry = buf.data() + kDataHeader + 2 * index;
        const int offset = (quint8(entry[0]) | quint8(entry[1]) << 8) & kRowOffsetMask;
        std::memcpy(buf.data() + offset, bytes, size_t(len));
    }
    const char *data() const { return buf.data(); }

private:
    void startOwned(const char owner[4])
    {
        buf.fill(0);
        buf[0] = 0x01;
        buf[1] = 0x01;
        std::memcpy(buf.data() + 4, owner, 4);
        rows = 0;
        top = kPageSize;
        put16(buf.data() + 2, quint32(freeSpace()));
    }
    Page buf{};
    int rows = 0;
    int top = kPageSize;
};

// Pages mostly come in file order; runs of consecutive pages go out in one write.
class PageFile {
public:
    explicit PageFile(const QString &path) : file(path)
    {
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    }
    void write(quint32 page, const char *data)
    {
        if (!pending.isEmpty() && page != pendingStart + quint32(pending.size() / kPageSize)) flush();
        if (pending.isEmpty()) pendingStart = page;
        pending.append(data, kPageSize);
        if (pending.size() >= (1 << 20)) flush();
    }
    void close()
    {
        flush();
        file.close();
        if (file.error() != QFileDevice::NoError)
            fail(QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
    }

    // A file left half written would only mislead.
    void discard()
    {
        file.close();
        file.remove();
    }

private:
    void flush()
    {
        if (pending.isEmpty()) return;
        if (!file.seek(qint64(pendingStart) * kPageSize) || file.write(pending) != pending.size())
            fail(QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
        pending.resize(0);
    }
    QFile file;
    QByteArray pending;
    quint32 pendingStart = 0;
};

struct ColumnLayout {
    ColType type;
    bool fixed = false;
    int size = 0;       // bytes of a fixed column; characters of a text column
    int fixedOffset = 0;
    int varIndex = 0;
};

struct Layout {
    std::vector<ColumnLayout> columns;
    int fixedBytes = 0;
    int varCount = 0;
    int maskBytes = 0;
};

Layout layoutOf(const Table &t)
{
    if (t.columns.empty()) fail(QStringLiteral("table %1 has no columns").arg(t.name));
    Layout l;
    for (const Column &c : t.columns) {
        ColumnLayout cl;
        cl.type = c.type;
        switch (c.type) {
        case ColType::Long:
        case ColType::Int:
            cl.fixed = true;
            cl.size = c.type == ColType::Long ? 4 : 2;
            cl.fixedOffset = l.fixedBytes;
            l.fixedBytes += cl.size;
            break;
        case ColType::Text:
            cl.size = c.size > 0 ? c.size : 255;
            if (cl.size > 255) fail(QStringLiteral("text column %1 is longer than 255").arg(c.name));
            cl.varIndex = l.varCount++;
            break;
        case ColType::Memo:
        case ColType::Ole:
            cl.varIndex = l.varCount++;
            break;
        }
        l.columns.push_back(cl);
    }
    l.maskBytes = int((t.columns.size() + 7) / 8);
    return l;
}

QByteArray tdefPage(const Table &t, const Layout &l, quint32 numRows, bool system, bool compress,
                    quint32 usedMap, quint32 freeMap)
{
    QByteArray b(63, '\0');
    char *p = b.data();
    p[0] = 0x02;
    p[1] = 0x01;
    put32(p + 16, numRows);
    p[40] = system ? 0x53 : 0x4e;
    put16(p + 41, quint32(t.columns.size()));  // max_cols: none were ever deleted
    put16(p + 43, quint32(l.varCount));
    put16(p + 45, quint32(t.columns.size()));
    put32(p + 55, usedMap);
    put32(p + 59, freeMap);
    for (size_t i = 0; i < t.columns.size(); ++i) {
        const ColumnLayout &c = l.columns[i];
        char e[25] = {};
        int len = 0;
        switch (c.type) {
        case ColType::Long: e[0] = 0x04; len = 4; break;
        case ColType::Int: e[0] = 0x03; len = 2; break;
        case ColType::Text: e[0] = 0x0a; len = 2 * c.size; break;
        case ColType::Memo: e[0] = 0x0c; break;
        case ColType::Ole: e[0] = 0x0b; break;
        }
        const bool textual = c.type == ColType::Text || c.type == ColType::Memo;
        put16(e + 5, quint32(i));
        put16(e + 7, c.fixed ? 0 : quint32(c.varIndex));
        put16(e + 9, quint32(i));
        if (textual) put16(e + 11, 0x409);  // General sort order
        e[15] = c.fixed ? 0x03 : 0x02;
        e[16] = textual && compress ? 0x01 : 0x00;
        put16(e + 21, c.fixed ? quint32(c.fixedOffset) : 0);
        put16(e + 23, quint32(len));
        b.append(e, 25);
    }
    for (const Column &c : t.columns) {
        const QByteArray name = ucs2(c.name);
        append16(b, quint32(name.size()));
        b.append(name);
    }
    append16(b, 0xffff);  // no long-value column usage maps
    if (b.size() > kPageSize)
        fail(QStringLiteral("the definition of table %1 does not fit a page").arg(t.name));
    put16(b.data() + 2, quint32(kPageSize - b.size() - 8));
    put32(b.data() + 8, quint32(b.size()));
    b.resize(kPageSize, '\0');
    return b;
}

struct TableState {
    quint32 tdef = 0;
    quint32 numRows = 0;
    std::vector<quint32> pages;  // data pages, ascending
};

enum class RowKind { Ordinary, Deleted, Overflow };

class Writer {
public:
    Writer(const QString &path, const Options &options) : file(path), options(options) {}
    void write(const std::vector<Table> &tables);
    void discard() { file.discard(); }

private:
    quint32 allocate();
    void writeRows(const Table &t, const Layout &l, TableState &s);
    void addRow(TableState &s, const QByteArray &row, RowKind kind = RowKind::Ordinary);
    void flushData(TableState &s);
    QByteArray encodeRow(const Table &t, const Layout &l, const QVariantList &values, qint64 index);
    QByteArray longValueField(const QByteArray &value, bool keepInline);
    quint32 putLongValueRow(const char *row, int len);
    quint32 putChain(const QByteArray &value);
    QByteArray usageMap(const TableState &s);

    PageFile file;
    Options options;
    quint32 pageCount = 0;
    RowPage data;
    // Overflow rows on the open data page: their pointer's slot, and the row.
    std::vector<std::pair<int, QByteArray>> overflowTargets;
    RowPage lval;
    quint32 lvalPage = 0;
    bool lvalOpen = false;
};

quint32 Writer::allocate()
{
    if (pageCount >= kMaxPages) fail(QStringLiteral("the file would be larger than Jet allows"));
    return pageCount++;
}

void Writer::addRow(TableState &s, const QByteArray &row, RowKind kind)
{
    if (kind == RowKind::Overflow) {
        // The pointer is filled in once the target's page has its number.
        const char pointerSlot[4] = {};
        if (!data.fits(4)) flushData(s);
        overflowTargets.emplace_back(data.add(pointerSlot, 4, kOverflowRowFlag), row);
    } else {
        if (!data.fits(int(row.size()))) flushData(s);
        data.add(row.constData(), int(row.size()), kind == RowKind::Deleted ? kDeletedRowFlag : 0);
    }
    if (kind != RowKind::Deleted) ++s.numRows;
}

// Overflow rows stand on pages right after the page of their pointers. Those
// pages name the table as owner but stay out of its usage map, so a reader
// walking the map meets each such row once, through its pointer.
void Writer::flushData(TableState &s)
{
    if (data.empty()) return;
    const quint32 page = allocate();
    s.pages.push_back(page);
    std::vector<std::pair<quint32, RowPage>> targetPages;
    for (const auto &[slot, row] : overflowTargets) {
        if (targetPages.empty() || !targetPages.back().second.fits(int(row.size()))) {
            targetPages.emplace_back(allocate(), RowPage());
            targetPages.back().second.start(s.tdef);
        }
        auto &[number, target] = targetPages.back();
        char dataPointer[4];
        put32(dataPointer, pointer(number, target.add(row.constData(), int(row.size()))));
        data.overwrite(slot, dataPointer, 4);
    }
    overflowTargets.clear();
    file.write(page, data.data());
    for (const auto &[number, target] : targetPages) file.write(number, target.data());
    data.start(s.tdef);
}

quint32 Writer::putLongValueRow(const char *row, int len)
{
    if (lvalOpen && lval.fits(len)) return pointer(lvalPage, lval.add(row, len));
    RowPage page;
    page.startLval();
    const quint32 number = allocate();
    const int index = page.add(row, len);
    // Keep open whichever page has more room left; the other is done.
    if (!lvalOpen || page.freeSpace() > lval.freeSpace()) {
        if (lvalOpen) file.write(lvalPage, lval.data());
        lval = page;
        lvalPage = number;
        lvalOpen = true;
    } else {
        file.write(number, page.data());
    }
    return pointer(number, index);
}

// Each row of a chain starts with the pointer to the next (0 on the last),
// so the rows are placed from the last to the first.
quint32 Writer::putChain(const QByteArray &value)
{
    const qsizetype count = (value.size() + kChainPayload - 1) / kChainPayload;
    quint32 next = 0;
    QByteArray row;
    for (qsizetype i = count - 1; i >= 0; --i) {
        const qsizetype offset = i * kChainPayload;
        const int len = int(std::min<qsizetype>(kChainPayload, value.size() - offset));
        row.resize(4 + len);
        put32(row.data(), next);
        std::memcpy(row.data() + 4, value.constData() + offset, size_t(len));
        next = putLongValueRow(row.constData(), int(row.size()));
    }
    return next;
}

QByteArray Writer::longValueField(const QByteArray &value, bool keepInline)
{
    if (value.size() > 0x3fffffff) fail(QStringLiteral("a long value is larger than Jet allows"));
    const quint32 len = quint32(value.size());
    QByteArray field(12, '\0');
    if (keepInline) {
        put32(field.data(), len | 0x80000000u);
        field.append(value);
    } else if (value.size() <= kMaxRow) {
        put32(field.data(), len | 0x40000000u);
        put32(field.data() + 4, putLongValueRow(value.constData(), int(value.size())));
    } else {
        put32(field.data(), len);
        put32(field.data() + 4, putChain(value));
    }
    return field;
}

QByteArray Writer::encodeRow(const Table &t, const Layout &l, const QVariantList &values, qint64 index)
{
    const auto where = [&] { return QStringLiteral("row %1 of table %2").arg(index).arg(t.name); };
    const int n = int(t.columns.size());
    if (values.size() > n) fail(QStringLiteral("%1 has more values than columns").arg(where()));

    struct Var {
        bool present = false;
        bool isLong = false;
        bool keepInline = false;
        QByteArray bytes;
    };
    QByteArray fixed(l.fixedBytes, '\0');
    std::vector<Var> vars(size_t(l.varCount));
    QByteArray mask(l.maskBytes, '\0');
    for (int i = 0; i < n; ++i) {
        const ColumnLayout &c = l.columns[size_t(i)];
        if (i >= values.size() || values[i].isNull()) continue;
        const QVariant &v = values[i];
        mask[i / 8] = char(mask[i / 8] | (1 << (i % 8)));
        if (c.fixed) {
            bool ok = false;
            const qint64 x = v.toLongLong(&ok);
            const qint64 low = c.type == ColType::Long ? std::numeric_limits<qint32>::min() : -32768;
            const qint64 high = c.type == ColType::Long ? std::numeric_limits<quint32>::max() : 32767;
            if (!ok || x < low || x > high)
                fail(QStringLiteral("%1: %2 does not fit column %3").arg(where(), v.toString(), t.columns[size_t(i)].name));
            if (c.type == ColType::Long)
                put32(fixed.data() + c.fixedOffset, quint32(x));
            else
                put16(fixed.data() + c.fixedOffset, quint32(x));
            continue;
        }
        Var &var = vars[size_t(c.varIndex)];
        var.present = true;
        switch (c.type) {
        case ColType::Text:
            var.bytes = encodeText(v.toString(), options.compressText);
            break;
        case ColType::Memo: {
            const QString s = v.toString();
            var.bytes = encodeText(s, options.compressText && s.size() <= kCompressibleMemo);
            var.isLong = true;
            break;
        }
        case ColType::Ole:
            var.bytes = v.toByteArray();
            var.isLong = true;
            break;
        default:
            break;
        }
    }

    // Long values go in the row while it stays within a page, smallest first.
    qsizetype size = 2 + l.fixedBytes + l.maskBytes + (l.varCount ? 4 + 2 * l.varCount : 0);
    std::vector<Var *> candidates;
    for (Var &var : vars) {
        if (!var.present) continue;
        if (!var.isLong) {
            size += var.bytes.size();
        } else {
            size += 12;
            if (var.bytes.size() <= kInlineLongValue) candidates.push_back(&var);
        }
    }
    if (size > kMaxRow) fail(QStringLiteral("%1 is longer than a page").arg(where()));
    std::sort(candidates.begin(), candidates.end(),
              [](const Var *a, const Var *b) { return a->bytes.size() < b->bytes.size(); });
    for (Var *var : candidates) {
        if (size + var->bytes.size() > kMaxRow) break;
        size += var->bytes.size();
        var->keepInline = true;
    }
    for (Var &var : vars)
        if (var.present && var.isLong) var.bytes = longValueField(var.bytes, var.keepInline);

    QByteArray row;
    row.reserve(size);
    append16(row, quint32(n));
    row.append(fixed);
    if (l.varCount) {
        std::vector<quint32> offsets;
        for (const Var &var : vars) {
            offsets.push_back(quint32(row.size()));
            row.append(var.bytes);  // empty when NULL: the column takes no room
        }
        append16(row, quint32(row.size()));  // end of the variable data
        for (auto it = offsets.rbegin(); it != offsets.rend(); ++it) append16(row, *it);
        append16(row, quint32(l.varCount));
    }
    row.append(mask);
    return row;
}

void Writer::writeRows(const Table &t, const Layout &l, TableState &s)
{
    const auto checkIndexes = [&](const std::set<int> &indexes, const char *kind) {
        for (int i : indexes)
            if (i < 0 || size_t(i) >= t.rows.size())
                fail(QStringLiteral("%1 row %2 of table %3 is not among its rows").arg(QLatin1String(kind)).arg(i).arg(t.name));
    };
    checkIndexes(t.deletedRows, "deleted");
    checkIndexes(t.overflowRows, "overflow");
    for (int i : t.overflowRows)
        if (t.deletedRows.count(i)) fail(QStringLiteral("row %1 of table %2 is both deleted and overflow").arg(i).arg(t.name));

    data.start(s.tdef);
    qint64 index = 0;
    for (const QVariantList &values : t.rows) {
        const int i = int(index);
        const RowKind kind = t.deletedRows.count(i) ? RowKind::Deleted
                             : t.overflowRows.count(i) ? RowKind::Overflow
                                                        : RowKind::Ordinary;
        addRow(s, encodeRow(t, l, values, index++), kind);
    }
    if (t.rowSource) {
        QVariantList values;
        for (qint64 i = 0;; ++i) {
            values.clear();
            if (!t.rowSource(i, values)) break;
            addRow(s, encodeRow(t, l, values, index++));
        }
    }
    flushData(s);
}

// Type 0 when the table's data pages lie within the 512 pages one map row
// covers, else type 1 with 0x05 pages, each covering a fixed stretch of the file.
QByteArray Writer::usageMap(const TableState &s)
{
    QByteArray row;
    if (s.pages.empty() || s.pages.back() - s.pages.front() < quint32(kMapBitmapBytes * 8)) {
        const quint32 first = s.pages.empty() ? 0 : s.pages.front();
        row.fill('\0', 5 + kMapBitmapBytes);
        row[0] = 0x00;
        put32(row.data() + 1, first);
        for (quint32 pg : s.pages) {
            const quint32 bit = pg - first;
            row[5 + bit / 8] = char(row[5 + bit / 8] | (1 << (bit % 8)));
        }
        return row;
    }
    if (s.pages.back() / kPagesPerMapPage >= quint32(kMapPointers))
        fail(QStringLiteral("a table reaches past what its usage map can cover"));
    row.fill('\0', 1 + 4 * kMapPointers);
    row[0] = 0x01;
    size_t i = 0;
    while (i < s.pages.size()) {
        const quint32 slot = s.pages[i] / kPagesPerMapPage;
        Page page{};
        page[0] = 0x05;
        page[1] = 0x01;
        for (; i < s.pages.size() && s.pages[i] / kPagesPerMapPage == slot; ++i) {
            const quint32 bit = s.pages[i] % kPagesPerMapPage;
            page[4 + bit / 8] = char(page[4 + bit / 8] | (1 << (bit % 8)));
        }
        const quint32 number = allocate();
        file.write(number, page.data());
        put32(row.data() + 1 + 4 * slot, number);
    }
    return row;
}

Table catalogTable()
{
    return {QStringLiteral("MSysObjects"),
            {{QStringLiteral("Id"), ColType::Long},
             {QStringLiteral("ParentId"), ColType::Long},
             {QStringLiteral("Name"), ColType::Text, 255},
             {QStringLiteral("Type"), ColType::Int},
             {QStringLiteral("Flags"), ColType::Long},
             // Readers look for the properties column even when no object has properties.
             {QStringLiteral("LvProp"), ColType::Ole}},
            {},
            {}};
}

void Writer::write(const std::vector<Table> &tables)
{
    for (size_t i = 0; i < tables.size(); ++i) {
        if (tables[i].name.isEmpty()) fail(QStringLiteral("a table has no name"));
        if (tables[i].name.compare(QStringLiteral("MSysObjects"), Qt::CaseInsensitive) == 0)
            fail(QStringLiteral("MSysObjects is written by the writer"));
        for (size_t j = 0; j < i; ++j)
            if (tables[j].name.compare(tables[i].name, Qt::CaseInsensitive) == 0)
                fail(QStringLiteral("two tables are named %1").arg(tables[i].name));
    }
    // Page 0 definition, page 1 usage map rows, page 2 the catalog, then one TDEF per table.
    pageCount = 3 + quint32(tables.size());

    std::vector<Layout> layouts;
    std::vector<TableState> states(tables.size());
    for (size_t i = 0; i < tables.size(); ++i) {
        layouts.push_back(layoutOf(tables[i]));
        states[i].tdef = 3 + quint32(i);
        writeRows(tables[i], layouts.back(), states[i]);
    }

    Table catalog = catalogTable();
    catalog.rows.push_back({qint32(kCatalogPage), kTablesParentId, catalog.name, 1, qint64(kSystemTableFlags)});
    for (size_t i = 0; i < tables.size(); ++i)
        catalog.rows.push_back({qint32(states[i].tdef), kTablesParentId, tables[i].name, 1, 0});
    const Layout catalogLayout = layoutOf(catalog);
    TableState catalogState;
    catalogState.tdef = kCatalogPage;
    writeRows(catalog, catalogLayout, catalogState);

    if (lvalOpen) file.write(lvalPage, lval.data());
    lvalOpen = false;

    // Usage maps: the pages in use, and an empty map of pages with free space.
    const QByteArray noFreePages(5 + kMapBitmapBytes, '\0');
    std::vector<QByteArray> mapRows;
    mapRows.push_back(usageMap(catalogState));
    mapRows.push_back(noFreePages);
    for (const TableState &s : states) {
        mapRows.push_back(usageMap(s));
        mapRows.push_back(noFreePages);
    }
    std::vector<quint32> mapPointers;
    RowPage page;
    quint32 pageNumber = kMapRowsPage;
    page.start(quint32(0));
    for (const QByteArray &r : mapRows) {
        if (!page.fits(int(r.size()))) {
            file.write(pageNumber, page.data());
            pageNumber = allocate();
            page.start(quint32(0));
        }
        mapPointers.push_back(pointer(pageNumber, page.add(r.constData(), int(r.size()))));
    }
    file.write(pageNumber, page.data());

    const bool compress = options.compressText;
    file.write(kCatalogPage, tdefPage(catalog, catalogLayout, catalogState.numRows, true, compress,
                                      mapPointers[0], mapPointers[1]).constData());
    for (size_t i = 0; i < tables.size(); ++i)
        file.write(states[i].tdef, tdefPage(tables[i], layouts[i], states[i].numRows, false, compress,
                                            mapPointers[2 + 2 * i], mapPointers[3 + 2 * i]).constData());
    file.write(0, definitionPage().data());
    file.close();
}

}  // namespace

void writeFile(const QString &path, const std::vector<Table> &tables, const Options &options)
{
    Writer writer(path, options);
    try {
        writer.write(tables);
    } catch (...) {
        writer.discard();
        throw;
    }
}

std::vector<Table> libraryTables()
{
    const auto longCol = [](const char *name) { return Column{QString::fromLatin1(name), ColType::Long}; };
    const auto textCol = [](const char *name, int size) { return Column{QString::fromLatin1(name), ColType::Text, size}; };
    const auto memoCol = [](const char *name) { return Column{QString::fromLatin1(name), ColType::Memo}; };
    std::vector<Table> t(6);
    t[0].name = QStringLiteral("mainfile");
    t[0].columns = {longCol("id"), textCol("name", 200), memoCol("text"), longCol("times"),
                    textCol("othersource", 200), textCol("othersourceb", 50)};
    t[1].name = QStringLiteral("richfile");
    t[1].columns = {longCol("id"), longCol("fileid"), memoCol("richtext")};
    t[2].name = QStringLiteral("zt");
    t[2].columns = {longCol("id"), textCol("name", 50), longCol("itno"), longCol("preid")};
    t[3].name = QStringLiteral("gl");
    t[3].columns = {longCol("id"), longCol("ztid"), longCol("fileid"), longCol("aztid"),
                    longCol("bztid"), longCol("cztid"), longCol("dztid")};
    t[4].name = QStringLiteral("temp");
    t[4].columns = {longCol("num")};
    t[5].name = QStringLiteral("upmain");
    t[5].columns = {longCol("id"), textCol("name", 200), memoCol("text")};
    return t;
}

Table &table(std::vector<Table> &tables, const QString &name)
{
    for (Table &t : tables)
        if (t.name == name) return t;
    fail(QStringLiteral("no table %1").arg(name));
}

}  // namespace jet
