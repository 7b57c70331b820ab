#include "upgrade/jetfile.h"

#include <QFile>
#include <QFileInfo>
#include <mdbtools.h>
#include <vector>

namespace {

constexpr int kPageSize = 4096;
constexpr int kRowCountAt = 0x0C;  // on Jet 4 data pages; the row offsets follow
constexpr int kOffsetMask = 0x1FFF;
constexpr int kDeleted = 0x8000;
constexpr int kMoved = 0x4000;  // the slot holds a pointer to the row on another page

int le16(const unsigned char *p)
{
    return p[0] | p[1] << 8;
}

quint32 le32(const unsigned char *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

// Jet 4.0 text: UCS-2 little-endian, or the compressed form that starts with
// FF FE, in which a zero byte switches between one byte per character (the
// high byte 0) and two.
QString decodeText(const unsigned char *p, size_t n)
{
    QString out;
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        out.reserve(qsizetype(n));
        bool compressed = true;
        for (size_t i = 2; i < n;) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                out += QChar(char16_t(p[i++]));
            } else if (i + 1 < n) {
                out += QChar(char16_t(p[i] | p[i + 1] << 8));
                i += 2;
            } else {
                break;
            }
        }
        return out;
    }
    out.resize(qsizetype(n / 2));
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    for (size_t i = 0; i + 1 < n; i += 2) *d++ = char16_t(p[i] | p[i + 1] << 8);
    return out;
}

}  // namespace

struct JetFile::Handle {
    MdbHandle *mdb = nullptr;
    std::vector<MdbCatalogEntry *> tables;
    QString table;  // the one being read, for the problems noted
    QStringList problems;

    ~Handle()
    {
        if (mdb) mdb_close(mdb);
    }

    MdbCatalogEntry *entry(const QString &name) const
    {
        for (MdbCatalogEntry *e : tables)
            if (QString::fromUtf8(e->object_name).compare(name, Qt::CaseInsensitive) == 0) return e;
        return nullptr;
    }

    // A memo or OLE value: 12 bytes in the row saying where it is, then the
    // value in the row, in one row of a long-value page, or in a chain of
    // such rows each starting with the pointer to the next.
    QByteArray longValue(int start, int size)
    {
        const unsigned char *head = mdb->pg_buf + start;
        if (size < 12) return {};
        const quint32 word = le32(head);
        const qsizetype length = qsizetype(word & 0x3FFFFFFF);
        QByteArray out;
        if (word & 0x80000000) {
            out = QByteArray(reinterpret_cast<const char *>(head + 12), size - 12);
        } else {
            quint32 pgRow = le32(head + 4);
            void *buf = nullptr;
            int off = 0;
            size_t len = 0;
            if (word & 0x40000000) {
                if (mdb_find_pg_row(mdb, int(pgRow), &buf, &off, &len) == 0)
                    out = QByteArray(static_cast<const char *>(buf) + off, qsizetype(len));
            } else {
                out.reserve(length);
                // A chain longer than its stated length is damaged; stop there.
                while (pgRow != 0 && out.size() < length) {
                    if (mdb_find_pg_row(mdb, int(pgRow), &buf, &off, &len) != 0 || len < 4) break;
                    const auto *row = static_cast<const unsigned char *>(buf) + off;
                    out.append(reinterpret_cast<const char *>(row + 4), qsizetype(len - 4));
                    pgRow = le32(row);
                }
            }
        }
        if (out.size() < length)
            problems << QStringLiteral("数据表 %1：有一个长文本不完整，只读出 %2 / %3 字节")
                            .arg(table, QString::number(out.size()), QString::number(length));
        if (out.size() > length) out.truncate(length);
        return out;
    }

    // The field lies within the page and is as long as its type needs.
    static bool whole(const MdbColumn *col, const MdbField &f)
    {
        if (f.is_null) return true;
        if (f.siz < 0 || f.start < 0 || f.start + f.siz > kPageSize) return false;
        switch (col->col_type) {
        case MDB_BYTE: return f.siz >= 1;
        case MDB_INT: return f.siz >= 2;
        case MDB_LONGINT: return f.siz >= 4;
        case MDB_FLOAT: return f.siz >= 4;
        case MDB_DOUBLE:
        case MDB_DATETIME:
        case MDB_MONEY: return f.siz >= 8;
        default: return true;
        }
    }

    QVariant value(const MdbColumn *col, const MdbField &f)
    {
        const unsigned char *p = mdb->pg_buf + f.start;
        if (col->col_type == MDB_BOOL) return qint64(f.is_null ? 0 : 1);  // kept in the null mask
        if (f.is_null) return QVariant();
        switch (col->col_type) {
        case MDB_BYTE: return qint64(p[0]);
        case MDB_INT: return qint64(qint16(p[0] | p[1] << 8));
        case MDB_LONGINT: return qint64(qint32(le32(p)));
        case MDB_TEXT: return decodeText(p, size_t(f.siz));
        case MDB_BINARY: return QByteArray(reinterpret_cast<const char *>(p), f.siz);
        case MDB_MEMO: {
            const QByteArray bytes = longValue(f.start, f.siz);
            return decodeText(reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size()));
        }
        case MDB_OLE: return longValue(f.start, f.siz);
        default: {
            char *text = mdb_col_to_string(mdb, mdb->pg_buf, f.start, col->col_type, f.siz);
            const QString s = QString::fromUtf8(text ? text : "");
            g_free(text);
            return s;
        }
        }
    }
};

bool JetFile::looksLikeJet(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(20);
    return head.size() == 20 && head[0] == 0 &&
           (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB");
}

JetFile::JetFile(const QString &path) : path_(path), h_(std::make_unique<Handle>())
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw JetError{QStringLiteral("无法读取文件：%1").arg(f.errorString())};
    f.close();
    if (!looksLikeJet(path)) throw JetError{QStringLiteral("这不是 Access（Jet）数据库文件")};
    h_->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!h_->mdb) throw JetError{QStringLiteral("文件已损坏，或是不认识的 Access 版本，无法读取")};
    // Jet 3 keeps texts in a code page of its own; the Windows version
    // writes Jet 4 files.
    if (IS_JET3(h_->mdb))
        throw JetError{QStringLiteral("这是 Access 97（Jet 3）格式的文件；Windows 版的资料库是 Access 2000（Jet 4）"
                                      "格式，请先用 Access 把它转换为 2000 或更新的格式")};
    GPtrArray *catalog = mdb_read_catalog(h_->mdb, MDB_ANY);
    if (!catalog || catalog->len == 0)
        throw JetError{QStringLiteral("读不出文件中的数据表目录：文件已加密或已损坏")};
    for (guint i = 0; i < catalog->len; ++i) {
        auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(catalog, i));
        if (e->object_type == MDB_TABLE && !mdb_is_system_table(e)) h_->tables.push_back(e);
    }
}

JetFile::~JetFile() = default;

QStringList JetFile::tableNames() const
{
    QStringList names;
    for (MdbCatalogEntry *e : h_->tables) names << QString::fromUtf8(e->object_name);
    return names;
}

bool JetFile::hasTable(const QString &table) const
{
    return h_->entry(table) != nullptr;
}

namespace {

struct TableDefFree {
    void operator()(MdbTableDef *t) const { mdb_free_tabledef(t); }
};
using TableDefPtr = std::unique_ptr<MdbTableDef, TableDefFree>;

TableDefPtr readDefinition(MdbCatalogEntry *e, const QString &table)
{
    TableDefPtr t(mdb_read_table(e));
    if (!t || !mdb_read_columns(t.get()))
        throw JetError{QStringLiteral("数据表 %1 的定义读不出来：文件已损坏").arg(table)};
    return t;
}

}  // namespace

QStringList JetFile::columnNames(const QString &table)
{
    MdbCatalogEntry *e = h_->entry(table);
    if (!e) return {};
    TableDefPtr t = readDefinition(e, table);
    QStringList names;
    for (guint i = 0; i < t->num_cols; ++i)
        names << QString::fromUtf8(static_cast<MdbColumn *>(g_ptr_array_index(t->columns, i))->name);
    return names;
}

qint64 JetFile::rowCount(const QString &table)
{
    MdbCatalogEntry *e = h_->entry(table);
    if (!e) return 0;
    return readDefinition(e, table)->num_rows;
}

bool JetFile::readRows(const QString &table, const QStringList &columns,
                       const std::function<bool(const QVariantList &)> &row)
{
    MdbCatalogEntry *e = h_->entry(table);
    if (!e) throw JetError{QStringLiteral("没有数据表 %1").arg(table)};
    TableDefPtr t = readDefinition(e, table);
    std::vector<int> wanted;  // column index per requested column, -1 when absent
    for (const QString &name : columns) {
        int at = -1;
        for (guint i = 0; i < t->num_cols; ++i)
            if (QString::fromUtf8(static_cast<MdbColumn *>(g_ptr_array_index(t->columns, i))->name)
                    .compare(name, Qt::CaseInsensitive) == 0)
                at = int(i);
        wanted.push_back(at);
    }
    h_->table = QString::fromUtf8(e->object_name);
    MdbHandle *mdb = h_->mdb;
    const unsigned char *pg = mdb->pg_buf;
    std::vector<MdbField> fields(t->num_cols);
    std::vector<int> fieldOf(t->num_cols);
    qint64 damaged = 0;

    // Where row r of the page in the buffer lies; false when the page says
    // something impossible.
    auto bounds = [pg](int r, int &start, int &end) {
        const int rows = le16(pg + kRowCountAt);
        if (r < 0 || r >= rows || kRowCountAt + 2 + 2 * rows > kPageSize) return false;
        start = le16(pg + kRowCountAt + 2 + 2 * r) & kOffsetMask;
        end = r == 0 ? kPageSize : le16(pg + kRowCountAt + 2 * r) & kOffsetMask;
        return start < end && end <= kPageSize;
    };
    // The rows are walked here rather than with mdb_fetch_row, which takes
    // the deleted flag for the moved one and the other way round.
    mdb_rewind_table(t.get());
    while (mdb_read_next_dpg(t.get())) {
        const guint32 page = t->cur_phys_pg;
        const int rows = le16(pg + kRowCountAt);
        for (int r = 0; r < rows; ++r) {
            if (kRowCountAt + 2 + 2 * r + 2 > kPageSize) break;
            const int slot = le16(pg + kRowCountAt + 2 + 2 * r);
            if (slot & kDeleted) continue;
            int start = 0, end = 0;
            bool ok = bounds(r, start, end);
            bool moved = false;
            if (ok && (slot & kMoved)) {
                ok = end - start >= 4;
                if (ok) {
                    const quint32 target = le32(pg + start);
                    moved = true;
                    ok = mdb_read_pg(mdb, target >> 8) == kPageSize && pg[0] == 0x01 &&
                         bounds(int(target & 0xFF), start, end);
                }
            }
            QVariantList values;
            if (ok) {
                const int n = mdb_crack_row(t.get(), start, size_t(end - start), fields.data());
                ok = n >= 0;
                std::fill(fieldOf.begin(), fieldOf.end(), -1);
                for (int i = 0; ok && i < n && i < int(fields.size()); ++i)
                    if (fields[i].colnum >= 0 && fields[i].colnum < int(fieldOf.size())) fieldOf[fields[i].colnum] = i;
                for (int at : wanted) {
                    if (!ok) break;
                    if (at < 0 || fieldOf[at] < 0) {
                        values << QVariant();
                        continue;
                    }
                    const auto *col = static_cast<MdbColumn *>(g_ptr_array_index(t->columns, at));
                    const MdbField &f = fields[fieldOf[at]];
                    ok = Handle::whole(col, f);
                    if (ok) values << h_->value(col, f);
                }
            }
            if (moved && mdb_read_pg(mdb, page) != kPageSize) {
                ++damaged;
                break;
            }
            if (!ok) {
                ++damaged;
                continue;
            }
            if (!row(values)) return false;
        }
    }
    if (damaged)
        h_->problems << QStringLiteral("数据表 %1：有 %2 行已损坏，没有读出").arg(h_->table).arg(damaged);
    return true;
}

QStringList JetFile::problems() const
{
    return h_->problems;
}
