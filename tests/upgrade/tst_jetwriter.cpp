// Files from the Jet writer read back through mdbtools, the library the
// importer uses: the command-line tools and libmdb itself.
#include "tests/support/jetwriter.h"
#include "tests/support/testmain.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <mdbtools.h>

#include <cstdlib>
#include <stdexcept>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    ToolRun r;
    if (!p.waitForFinished(120000)) {
        r.err = program + QStringLiteral(" did not finish: ") + p.errorString();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// What mdb-export prints for the rows: numbers bare, text quoted with quotes
// doubled, and nothing for NULL or an empty string (it does not tell them apart).
QString exportOf(const jet::Table &t)
{
    QStringList lines;
    QStringList header;
    for (const jet::Column &c : t.columns) header << c.name;
    lines << header.join(QLatin1Char(','));
    for (const QVariantList &row : t.rows) {
        QStringList fields;
        for (size_t i = 0; i < t.columns.size(); ++i) {
            const QVariant v = int(i) < row.size() ? row[int(i)] : QVariant();
            const jet::ColType type = t.columns[i].type;
            if (v.isNull())
                fields << QString();
            else if (type == jet::ColType::Long || type == jet::ColType::Int)
                fields << QString::number(v.toLongLong());
            else if (v.toString().isEmpty())
                fields << QString();
            else
                fields << QLatin1Char('"') + v.toString().replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
        }
        lines << fields.join(QLatin1Char(','));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// A table as libmdb gives it back: NULL as a null QVariant (from the row's
// null mask, which the bound values do not show), numbers and text as
// QString, OLE values as QByteArray.
struct ReadBack {
    QString error;
    int mapType = -1;
    qint64 numRows = -1;  // as the table definition says
    QStringList columns;
    QList<QVariantList> rows;
};

ReadBack readWithLibmdb(const QString &path, const QString &name, size_t bindSize = 1 << 18)
{
    ReadBack r;
    MdbHandle *mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb) {
        r.error = QStringLiteral("mdb_open failed");
        return r;
    }
    mdb_set_bind_size(mdb, bindSize);
    QByteArray tableName = name.toUtf8();
    MdbTableDef *t = mdb_read_catalog(mdb, MDB_ANY) ? mdb_read_table_by_name(mdb, tableName.data(), MDB_TABLE) : nullptr;
    if (!t) {
        r.error = QStringLiteral("no table ") + name;
        mdb_close(mdb);
        return r;
    }
    r.mapType = t->map_sz ? t->usage_map[0] : -1;
    r.numRows = t->num_rows;
    mdb_read_columns(t);
    const int n = int(t->num_cols);
    std::vector<QByteArray> bound(size_t(n), QByteArray(qsizetype(bindSize) + 1, '\0'));
    std::vector<int> lens(size_t(n), 0);
    std::vector<MdbColumn *> cols;
    for (int i = 0; i < n; ++i) {
        cols.push_back(static_cast<MdbColumn *>(g_ptr_array_index(t->columns, guint(i))));
        r.columns << QString::fromUtf8(cols.back()->name);
        mdb_bind_column(t, i + 1, bound[size_t(i)].data(), &lens[size_t(i)]);
    }
    std::vector<MdbField> fields(static_cast<size_t>(n));
    mdb_rewind_table(t);
    while (mdb_fetch_row(t)) {
        int start = 0;
        size_t len = 0;
        mdb_find_row(mdb, int(t->cur_row) - 1, &start, &len);
        const int cracked = mdb_crack_row(t, start & 0x1fff, len, fields.data());
        QVariantList row;
        for (int i = 0; i < n; ++i) {
            bool isNull = true;
            for (int f = 0; f < cracked; ++f)
                if (fields[size_t(f)].colnum == i) isNull = fields[size_t(f)].is_null;
            if (isNull) {
                row << QVariant();
            } else if (cols[size_t(i)]->col_type == MDB_OLE) {
                size_t size = 0;
                void *data = mdb_ole_read_full(mdb, cols[size_t(i)], &size);
                row << QByteArray(static_cast<const char *>(data), qsizetype(size));
                free(data);
            } else {
                row << QString::fromUtf8(bound[size_t(i)].constData(), lens[size_t(i)]);
            }
        }
        r.rows << row;
    }
    mdb_free_tabledef(t);
    mdb_close(mdb);
    return r;
}

// The written values in the form libmdb gives them back.
QVariantList readForm(const jet::Table &t, const QVariantList &row)
{
    QVariantList out;
    for (size_t i = 0; i < t.columns.size(); ++i) {
        const QVariant v = int(i) < row.size() ? row[int(i)] : QVariant();
        if (v.isNull())
            out << QVariant();
        else if (t.columns[i].type == jet::ColType::Long || t.columns[i].type == jet::ColType::Int)
            out << QString::number(v.toLongLong());
        else if (t.columns[i].type == jet::ColType::Ole)
            out << v.toByteArray();
        else
            out << v.toString();
    }
    return out;
}

// libmdb 1.0 converts text as UCS-2, so each half of a surrogate pair comes back as '?'.
QString withoutSurrogates(QString s)
{
    for (QChar &c : s)
        if (c.isSurrogate()) c = QLatin1Char('?');
    return s;
}

bool sameText(const QVariant &read, const QString &written)
{
    return read.typeId() == QMetaType::QString
           && (read.toString() == written || read.toString() == withoutSurrogates(written));
}

QString describe(const QVariant &v)
{
    if (v.isNull()) return QStringLiteral("NULL");
    const QString s = v.typeId() == QMetaType::QByteArray ? QString::fromLatin1(v.toByteArray().toHex()) : v.toString();
    return QStringLiteral("\"%1\" (%2)").arg(s.left(60)).arg(s.size());
}

QByteArray ucs2(const QString &s)
{
    QByteArray out;
    for (QChar c : s) {
        out.append(char(c.unicode() & 0xff));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

// Text of the given length that shows where each part landed.
QString body(qsizetype length, const QString &kind, qint64 seed = 0)
{
    QString s;
    s.reserve(length + 64);
    for (qint64 i = 0; s.size() < length; ++i) {
        if (kind == QLatin1String("ascii"))
            s += QStringLiteral("%1.%2 lorem ipsum; ").arg(seed).arg(i);
        else if (kind == QLatin1String("cjk"))
            s += QStringLiteral("%1之%2天地玄黄，宇宙洪荒。").arg(seed).arg(i);
        else
            s += QString::fromUcs4(U"%1 mixed 中文 \U0001F601 é ").arg(i);
    }
    s.truncate(length);
    if (!s.isEmpty() && s.back().isHighSurrogate()) s.back() = QLatin1Char('x');
    return s;
}

QByteArray binary(qsizetype length)
{
    QByteArray b(length, '\0');
    for (qsizetype i = 0; i < length; ++i) b[i] = char((i * 7 + i / 256) & 0xff);
    if (length >= 2) {
        b[0] = '\xff';  // not to be taken for compressed text
        b[1] = '\xfe';
    }
    return b;
}

quint32 get16(const QByteArray &b, qsizetype at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8;
}

quint32 get32(const QByteArray &b, qsizetype at)
{
    return get16(b, at) | get16(b, at + 2) << 16;
}

constexpr qsizetype kPage = 4096;

// A table's definition page and the data pages its usage map names, as libmdb finds them.
struct TablePages {
    QString error;
    quint32 tdef = 0;
    QList<quint32> mapped;
};

TablePages pagesOf(const QString &path, const QString &name)
{
    TablePages r;
    MdbHandle *mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb) {
        r.error = QStringLiteral("mdb_open failed");
        return r;
    }
    QByteArray tableName = name.toUtf8();
    MdbTableDef *t = mdb_read_catalog(mdb, MDB_ANY) ? mdb_read_table_by_name(mdb, tableName.data(), MDB_TABLE) : nullptr;
    if (t) {
        r.tdef = quint32(t->entry->table_pg);
        for (gint32 pg = mdb_map_find_next(mdb, t->usage_map, guint(t->map_sz), 0); pg > 0 && r.mapped.size() < 100000;
             pg = mdb_map_find_next(mdb, t->usage_map, guint(t->map_sz), guint32(pg)))
            r.mapped << quint32(pg);
        mdb_free_tabledef(t);
    } else {
        r.error = QStringLiteral("no table ") + name;
    }
    mdb_close(mdb);
    return r;
}

// One entry of a data page's row-offset table: its flag bits and the bytes
// from its offset up to the previous row's.
struct Slot {
    quint32 flags = 0;
    QByteArray bytes;
};

QList<Slot> slotsOf(const QByteArray &file, quint32 page)
{
    const qsizetype base = qsizetype(page) * kPage;
    QList<Slot> out;
    if (base + kPage > file.size() || file[base] != 0x01) return out;
    quint32 end = kPage;
    for (quint32 i = 0, n = get16(file, base + 12); i < n; ++i) {
        const quint32 raw = get16(file, base + 14 + 2 * i);
        const quint32 offset = raw & 0x1fff;
        out << Slot{raw & 0xc000, offset < end ? file.mid(base + offset, end - offset) : QByteArray()};
        end = offset;
    }
    return out;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestJetWriter : public QObject {
    Q_OBJECT
private slots:
    void libraryReadsBackThroughTheTools();
    void textReadsBackAndIsCompressedWhereAllowed_data();
    void textReadsBackAndIsCompressedWhereAllowed();
    void longValuesReadBack_data();
    void longValuesReadBack();
    void rowsFillPagesToTheLastByte_data();
    void rowsFillPagesToTheLastByte();
    void tablesOverManyPages_data();
    void tablesOverManyPages();
    void deletedAndOverflowRowsOnThePages_data();
    void deletedAndOverflowRowsOnThePages();
    void refusesWhatJetCannotHold_data();
    void refusesWhatJetCannotHold();

private:
    QTemporaryDir dir;
};

void TestJetWriter::libraryReadsBackThroughTheTools()
{
    std::vector<jet::Table> tables = jet::libraryTables();
    jet::table(tables, QStringLiteral("mainfile")).rows = {
        {1, QStringLiteral("春江花月夜"), QStringLiteral("春江潮水连海平，海上明月共潮生。\n滟滟随波千万里"), 0, QString(""), QVariant()},
        {7, QStringLiteral("Quote \"this\", and, commas"), QStringLiteral("short"), -1, QStringLiteral("来源"), QStringLiteral("b")},
        {2147483647, QVariant(), QString(""), -2147483647 - 1, QVariant(), QString("")},
        {100000, QStringLiteral("一丁 Ā low bytes zero"), QVariant(), 12345678, QStringLiteral("x"), QVariant()},
    };
    jet::table(tables, QStringLiteral("richfile")).rows = {
        {1, 1, QStringLiteral("{\\rtf1\\ansi 春\\par}")},
        {3, 7, QVariant()},
    };
    jet::table(tables, QStringLiteral("zt")).rows = {
        {1, QStringLiteral("目录"), 0, 0},
        {2, QStringLiteral("子目录"), 1, 1},
        {5, QString(""), 2, -1},
    };
    jet::table(tables, QStringLiteral("gl")).rows = {
        {1, 1, 1, 0, 0, 0, 0},
        {9, 2, 7, 1, QVariant(), 3, -3},
    };
    jet::table(tables, QStringLiteral("temp")).rows = {{0}, {QVariant()}, {-5}};
    jet::table(tables, QStringLiteral("upmain")).rows = {{1, QStringLiteral("升级"), QStringLiteral("正文")}};
    const QString path = dir.filePath(QStringLiteral("library.mdb"));
    jet::writeFile(path, tables);

    const ToolRun ver = runTool(QStringLiteral("mdb-ver"), {path});
    QVERIFY2(ver.exitCode == 0, qPrintable(ver.err));
    QCOMPARE(ver.out.trimmed(), QStringLiteral("JET4"));

    QStringList names;
    for (const jet::Table &t : tables) names << t.name;
    const ToolRun list = runTool(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), path});
    QVERIFY2(list.exitCode == 0, qPrintable(list.err));
    QCOMPARE(list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), names);
    const ToolRun system = runTool(QStringLiteral("mdb-tables"), {QStringLiteral("-S"), QStringLiteral("-1"), path});
    QVERIFY2(system.exitCode == 0, qPrintable(system.err));
    QCOMPARE(system.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), QStringList{QStringLiteral("MSysObjects")} + names);

    for (const jet::Table &t : tables) {
        const ToolRun exported = runTool(QStringLiteral("mdb-export"), {path, t.name});
        QVERIFY2(exported.exitCode == 0, qPrintable(exported.err));
        QVERIFY2(exported.err.isEmpty(), qPrintable(exported.err));
        QCOMPARE(exported.out, exportOf(t));

        // libmdb itself tells an empty string from NULL.
        const ReadBack read = readWithLibmdb(path, t.name);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.rows.size(), qsizetype(t.rows.size()));
        QCOMPARE(read.numRows, qint64(t.rows.size()));
        for (size_t i = 0; i < t.rows.size(); ++i) QCOMPARE(read.rows[qsizetype(i)], readForm(t, t.rows[i]));
    }
}

void TestJetWriter::textReadsBackAndIsCompressedWhereAllowed_data()
{
    // stored: the bytes of the value when compression is on.
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("stored");
    const auto hex = [](const char *h) { return QByteArray::fromHex(h); };
    QTest::newRow("ascii") << QStringLiteral("plain words") << QByteArray("\xff\xfe" "plain words");
    QTest::newRow("upper Latin-1") << QStringLiteral("café ÿ") << hex("fffe636166e920ff");
    QTest::newRow("three characters") << QStringLiteral("abc") << hex("fffe616263");
    QTest::newRow("two characters, no gain") << QStringLiteral("ab") << hex("61006200");
    QTest::newRow("one character") << QStringLiteral("x") << hex("7800");
    QTest::newRow("empty") << QString("") << QByteArray();
    QTest::newRow("chinese") << QStringLiteral("中文") << hex("2d4e8765");
    QTest::newRow("mixed runs") << QStringLiteral("abc中文def") << hex("fffe616263002d4e876500646566");
    QTest::newRow("short run between wide") << QStringLiteral("中a文") << hex("2d4e61008765");
    QTest::newRow("wide first, long tail") << QStringLiteral("中文abcdef") << hex("fffe002d4e876500616263646566");
    QTest::newRow("low byte zero") << QStringLiteral("一 one") << hex("004e20006f006e006500");
    QTest::newRow("U+0100") << QStringLiteral("Āb words") << ucs2(QStringLiteral("Āb words"));
    QTest::newRow("surrogate pair, compressed") << QString::fromUcs4(U"\U0001F601 grin") << hex("fffe003dd801de00206772696e");
    QTest::newRow("surrogate with low byte zero") << QString::fromUcs4(U"\U00020000 text") << ucs2(QString::fromUcs4(U"\U00020000 text"));
}

void TestJetWriter::textReadsBackAndIsCompressedWhereAllowed()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, stored);
    jet::Table t{QStringLiteral("strings"),
                 {{QStringLiteral("id"), jet::ColType::Long},
                  {QStringLiteral("before"), jet::ColType::Text, 20},
                  {QStringLiteral("value"), jet::ColType::Text, 255},
                  {QStringLiteral("after"), jet::ColType::Text, 20},
                  {QStringLiteral("memo"), jet::ColType::Memo},
                  {QStringLiteral("end"), jet::ColType::Text, 20}},
                 {},
                 {}};
    const QString before = QStringLiteral("BEFORE-MARK"), after = QStringLiteral("AFTER-MARK"), end = QStringLiteral("END-MARK");
    t.rows = {{1, before, value, after, value, end}, {2, QVariant(), QVariant(), QVariant(), QVariant(), QVariant()}};
    for (const bool compress : {true, false}) {
        const QString path = dir.filePath(QStringLiteral("strings.mdb"));
        jet::writeFile(path, {t}, jet::Options{compress});

        const ReadBack read = readWithLibmdb(path, t.name);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.rows.size(), 2);
        QVERIFY2(sameText(read.rows[0][2], value), qPrintable(describe(read.rows[0][2])));
        QVERIFY2(sameText(read.rows[0][4], value), qPrintable(describe(read.rows[0][4])));
        QCOMPARE(read.rows[0][3], QVariant(after));
        QCOMPARE(read.rows[0][5], QVariant(end));
        QCOMPARE(read.rows[1], QVariantList({QStringLiteral("2"), {}, {}, {}, {}, {}}));

        // Variable columns lie side by side, so the value's bytes are those
        // between its neighbours; a short memo sits in the row after its 12-byte header.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray file = f.readAll();
        const auto marker = [&](const QString &s) { return compress ? QByteArray("\xff\xfe") + s.toLatin1() : ucs2(s); };
        const QByteArray expected = compress ? stored : ucs2(value);
        QVERIFY2(file.contains(marker(before) + expected + marker(after)), compress ? "compressed" : "plain");
        QVERIFY2(file.contains(expected + marker(end)), compress ? "memo compressed" : "memo plain");
    }
}

void TestJetWriter::longValuesReadBack_data()
{
    QTest::addColumn<bool>("ole");
    QTest::addColumn<qsizetype>("length");  // characters, or bytes of an OLE value
    QTest::addColumn<QString>("kind");
    QTest::newRow("empty memo") << false << qsizetype(0) << "ascii";
    QTest::newRow("10, in the row") << false << qsizetype(10) << "ascii";
    QTest::newRow("1000, compressed in the row") << false << qsizetype(1000) << "ascii";
    QTest::newRow("1000 chinese, one LVAL row") << false << qsizetype(1000) << "cjk";
    QTest::newRow("1025, too long to compress") << false << qsizetype(1025) << "ascii";
    QTest::newRow("2040, a full LVAL row") << false << qsizetype(2040) << "ascii";
    QTest::newRow("2041, a chain of two") << false << qsizetype(2041) << "ascii";
    QTest::newRow("3000") << false << qsizetype(3000) << "ascii";
    QTest::newRow("70000 mixed, LVAL chain") << false << qsizetype(70000) << "mixed";
    QTest::newRow("2 MB chinese") << false << qsizetype(1 << 20) << "cjk";
    QTest::newRow("empty OLE") << true << qsizetype(0) << "";
    QTest::newRow("OLE in the row") << true << qsizetype(300) << "";
    QTest::newRow("OLE, a full LVAL row") << true << qsizetype(4080) << "";
    QTest::newRow("OLE, a chain of two") << true << qsizetype(4081) << "";
    QTest::newRow("OLE, 100 KB") << true << qsizetype(100000) << "";
}

void TestJetWriter::longValuesReadBack()
{
    QFETCH(bool, ole);
    QFETCH(qsizetype, length);
    QFETCH(QString, kind);
    const jet::ColType type = ole ? jet::ColType::Ole : jet::ColType::Memo;
    jet::Table t{QStringLiteral("values"),
                 {{QStringLiteral("id"), jet::ColType::Long},
                  {QStringLiteral("value"), type},
                  {QStringLiteral("tail"), jet::ColType::Text, 50}},
                 {},
                 {}};
    const QVariant value = ole ? QVariant(binary(length)) : QVariant(body(length, kind));
    const QVariant small = ole ? QVariant(binary(5)) : QVariant(QStringLiteral("first"));
    // Neighbours on both sides, and the value twice, so LVAL rows share pages.
    t.rows = {{1, small, QStringLiteral("一")}, {2, value, QStringLiteral("二")}, {3, value, QStringLiteral("三")},
              {4, small, QStringLiteral("四")}};
    const QString path = dir.filePath(QStringLiteral("values.mdb"));
    jet::writeFile(path, {t});

    const ReadBack read = readWithLibmdb(path, t.name, size_t(8) << 20);
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    QCOMPARE(read.rows.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QVariantList expected = readForm(t, t.rows[size_t(i)]);
        QCOMPARE(read.rows[i][0], expected[0]);
        const bool same = ole ? read.rows[i][1] == expected[1] : sameText(read.rows[i][1], expected[1].toString());
        QVERIFY2(same,
                 qPrintable(QStringLiteral("row %1: %2").arg(i).arg(describe(read.rows[i][1]))));
        QCOMPARE(read.rows[i][2], expected[2]);
    }

    // How it is stored: OLE bytes as they are, a memo over 1024 characters
    // as plain UCS-2, a short Latin-1 one compressed.
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray file = f.readAll();
    QByteArray head;
    if (ole)
        head = value.toByteArray().left(4000);
    else if (length > 1024)
        head = ucs2(value.toString().left(1024));
    else if (kind == QLatin1String("ascii") && length >= 3)
        head = QByteArray("\xff\xfe") + value.toString().toLatin1();
    QVERIFY(file.contains(head));
}

void TestJetWriter::rowsFillPagesToTheLastByte_data()
{
    // A row of (id, OLE value in the row) takes 25 bytes more than the value,
    // and 2 more for its offset: three of 1000 leave 1001 bytes of the page.
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("page filled exactly") << QList<int>{1000, 1000, 1000, 974, 10};
    QTest::newRow("one byte over") << QList<int>{1000, 1000, 1000, 975, 10};
    QTest::newRow("two bytes over") << QList<int>{1000, 1000, 1000, 976, 10};
}

void TestJetWriter::rowsFillPagesToTheLastByte()
{
    QFETCH(QList<int>, sizes);
    jet::Table t{QStringLiteral("filled"), {{QStringLiteral("id"), jet::ColType::Long}, {QStringLiteral("value"), jet::ColType::Ole}}, {}, {}};
    for (int i = 0; i < sizes.size(); ++i) {
        QByteArray v = binary(sizes[i]);
        v[v.size() - 1] = char(i);
        t.rows.push_back({i, v});
    }
    const QString path = dir.filePath(QStringLiteral("filled.mdb"));
    jet::writeFile(path, {t});
    const ReadBack read = readWithLibmdb(path, t.name);
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    QCOMPARE(read.rows.size(), sizes.size());
    for (int i = 0; i < sizes.size(); ++i) QCOMPARE(read.rows[i], readForm(t, t.rows[size_t(i)]));
}

void TestJetWriter::tablesOverManyPages_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("bodyLength");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("streamed");
    QTest::addColumn<int>("mapType");
    QTest::addColumn<qint64>("minPages");
    // Bodies in the rows keep the data pages together: one map row covers them.
    QTest::newRow("3000 rows, bodies in the rows") << 3000 << 300 << "ascii" << false << 0 << qint64(200);
    // Each body on an LVAL page of its own spreads the data pages out.
    QTest::newRow("3000 rows, 2 KB bodies") << 3000 << 1000 << "cjk" << false << 1 << qint64(1400);
    // Past what one 0x05 map page covers.
    QTest::newRow("streamed, 40000 pages") << 40000 << 2000 << "ascii" << true << 1 << qint64(40000);
}

void TestJetWriter::tablesOverManyPages()
{
    QFETCH(int, rows);
    QFETCH(int, bodyLength);
    QFETCH(QString, kind);
    QFETCH(bool, streamed);
    QFETCH(int, mapType);
    QFETCH(qint64, minPages);
    const auto rowAt = [&](qint64 i) {
        return QVariantList{int(i * 3 + 1), QStringLiteral("标题 %1").arg(i), body(bodyLength, kind, i), int(i % 7),
                            i % 5 ? QVariant(QStringLiteral("来源")) : QVariant(), QVariant()};
    };
    std::vector<jet::Table> tables = jet::libraryTables();
    jet::Table &main = jet::table(tables, QStringLiteral("mainfile"));
    if (streamed) {
        main.rowSource = [&](qint64 i, QVariantList &row) {
            if (i >= rows) return false;
            row = rowAt(i);
            return true;
        };
    } else {
        for (int i = 0; i < rows; ++i) main.rows.push_back(rowAt(i));
    }
    jet::table(tables, QStringLiteral("zt")).rows = {{1, QStringLiteral("after the big table"), 0, 0}};
    const QString path = dir.filePath(QStringLiteral("pages.mdb"));
    jet::writeFile(path, tables);
    QVERIFY(QFileInfo(path).size() >= minPages * 4096);

    const ReadBack read = readWithLibmdb(path, QStringLiteral("mainfile"));
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    QCOMPARE(read.mapType, mapType);
    QCOMPARE(read.rows.size(), rows);
    QCOMPARE(read.numRows, qint64(rows));
    for (int i = 0; i < rows; ++i) {
        const QVariantList expected = readForm(main, rowAt(i));
        if (read.rows[i] != expected)
            QFAIL(qPrintable(QStringLiteral("row %1: id %2, body %3").arg(i).arg(read.rows[i][0].toString(), describe(read.rows[i][2]))));
    }
    const ReadBack zt = readWithLibmdb(path, QStringLiteral("zt"));
    QCOMPARE(zt.rows.size(), 1);
    QCOMPARE(zt.rows[0][1], QVariant(QStringLiteral("after the big table")));
    QFile::remove(path);
}

void TestJetWriter::deletedAndOverflowRowsOnThePages_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("deleted");
    QTest::addColumn<QList<int>>("overflow");
    QTest::newRow("among ordinary rows") << 6 << QList<int>{2} << QList<int>{4};
    QTest::newRow("overflow first, deleted last") << 5 << QList<int>{4} << QList<int>{0};
    QTest::newRow("over several pages") << 300 << QList<int>{3, 150, 151} << QList<int>{5, 152, 298, 299};
}

void TestJetWriter::deletedAndOverflowRowsOnThePages()
{
    QFETCH(int, rows);
    QFETCH(QList<int>, deleted);
    QFETCH(QList<int>, overflow);
    jet::Table t{QStringLiteral("marks"),
                 {{QStringLiteral("id"), jet::ColType::Long},
                  {QStringLiteral("name"), jet::ColType::Text, 50},
                  {QStringLiteral("note"), jet::ColType::Memo}},
                 {},
                 {}};
    for (int i = 0; i < rows; ++i)
        t.rows.push_back({i, QStringLiteral("标记 %1").arg(i), i % 3 ? QVariant(QStringLiteral("note %1").arg(i)) : QVariant()});
    const jet::Table after{QStringLiteral("after"), {{QStringLiteral("num"), jet::ColType::Long}}, {{77}}, {}};
    // The same rows written plainly give the bytes each row must have.
    const QString plainPath = dir.filePath(QStringLiteral("plain.mdb"));
    jet::writeFile(plainPath, {t, after});
    t.deletedRows = {deleted.begin(), deleted.end()};
    t.overflowRows = {overflow.begin(), overflow.end()};
    const QString path = dir.filePath(QStringLiteral("flagged.mdb"));
    jet::writeFile(path, {t, after});

    const QByteArray plainFile = contents(plainPath);
    const TablePages plainPages = pagesOf(plainPath, t.name);
    QVERIFY2(plainPages.error.isEmpty(), qPrintable(plainPages.error));
    QList<QByteArray> plainRows;
    for (quint32 pg : plainPages.mapped)
        for (const Slot &s : slotsOf(plainFile, pg)) {
            QCOMPARE(s.flags, 0u);
            plainRows << s.bytes;
        }
    QCOMPARE(plainRows.size(), rows);

    const QByteArray file = contents(path);
    const TablePages pages = pagesOf(path, t.name);
    QVERIFY2(pages.error.isEmpty(), qPrintable(pages.error));
    QCOMPARE(get32(file, qsizetype(pages.tdef) * kPage + 16), quint32(rows - deleted.size()));

    // Walking the usage map meets every row once, in order.
    QList<std::pair<quint32, Slot>> walked;
    for (quint32 pg : pages.mapped)
        for (const Slot &s : slotsOf(file, pg)) walked.push_back({pg, s});
    QCOMPARE(walked.size(), rows);
    QSet<quint32> targetPages;
    for (int i = 0; i < rows; ++i) {
        const auto &[pg, slot] = walked[i];
        const QString where = QStringLiteral("row %1").arg(i);
        if (deleted.contains(i)) {
            QVERIFY2(slot.flags == 0x8000, qPrintable(where));
            QVERIFY2(slot.bytes == plainRows[i], qPrintable(where));
        } else if (overflow.contains(i)) {
            QVERIFY2(slot.flags == 0x4000, qPrintable(where));
            QVERIFY2(slot.bytes.size() == 4, qPrintable(where));
            const quint32 target = get32(slot.bytes, 0) >> 8;
            const int index = int(get32(slot.bytes, 0) & 0xff);
            QVERIFY2(target > pg, qPrintable(where));
            QVERIFY2(!pages.mapped.contains(target), qPrintable(where));
            QVERIFY2(get32(file, qsizetype(target) * kPage + 4) == pages.tdef, qPrintable(where));
            const QList<Slot> onTarget = slotsOf(file, target);
            QVERIFY2(index < onTarget.size(), qPrintable(where));
            QVERIFY2(onTarget[index].flags == 0, qPrintable(where));
            QVERIFY2(onTarget[index].bytes == plainRows[i], qPrintable(where));
            targetPages.insert(target);
        } else {
            QVERIFY2(slot.flags == 0, qPrintable(where));
            QVERIFY2(slot.bytes == plainRows[i], qPrintable(where));
        }
    }
    // The target pages hold the overflow rows and nothing else, and no other
    // page outside the map claims the table.
    qsizetype onTargets = 0;
    for (quint32 pg : targetPages) onTargets += slotsOf(file, pg).size();
    QCOMPARE(onTargets, overflow.size());
    for (quint32 pg = 0; qsizetype(pg) * kPage < file.size(); ++pg)
        if (file[qsizetype(pg) * kPage] == 0x01 && get32(file, qsizetype(pg) * kPage + 4) == pages.tdef)
            QVERIFY2(pages.mapped.contains(pg) || targetPages.contains(pg), qPrintable(QStringLiteral("page %1").arg(pg)));

    const ToolRun list = runTool(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), path});
    QVERIFY2(list.exitCode == 0, qPrintable(list.err));
    QCOMPARE(list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), QStringList({t.name, after.name}));
    const ReadBack afterRead = readWithLibmdb(path, after.name);
    QVERIFY2(afterRead.error.isEmpty(), qPrintable(afterRead.error));
    QCOMPARE(afterRead.rows, QList<QVariantList>{readForm(after, after.rows[0])});
}

void TestJetWriter::refusesWhatJetCannotHold_data()
{
    QTest::addColumn<int>("columnType");
    QTest::addColumn<int>("columnSize");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("inMissingFolder");
    QTest::addColumn<int>("deleted");   // row index, or -1
    QTest::addColumn<int>("overflow");  // row index, or -1
    const int text = int(jet::ColType::Text), lng = int(jet::ColType::Long), in = int(jet::ColType::Int);
    QTest::newRow("row longer than a page") << text << 255 << 10 << QVariant(QString(255, QChar(0x4e2d))) << false << -1 << -1;
    QTest::newRow("Long out of range") << lng << 0 << 1 << QVariant(qint64(1) << 33) << false << -1 << -1;
    QTest::newRow("Int out of range") << in << 0 << 1 << QVariant(40000) << false << -1 << -1;
    QTest::newRow("not a number") << lng << 0 << 1 << QVariant(QStringLiteral("seven")) << false << -1 << -1;
    QTest::newRow("text column over 255") << text << 256 << 1 << QVariant(QStringLiteral("x")) << false << -1 << -1;
    QTest::newRow("folder missing") << lng << 0 << 1 << QVariant(1) << true << -1 << -1;
    QTest::newRow("deleted row not among the rows") << lng << 0 << 1 << QVariant(1) << false << 1 << -1;
    QTest::newRow("overflow row not among the rows") << lng << 0 << 1 << QVariant(1) << false << -1 << -2;
    QTest::newRow("row both deleted and overflow") << lng << 0 << 1 << QVariant(1) << false << 0 << 0;
}

void TestJetWriter::refusesWhatJetCannotHold()
{
    QFETCH(int, columnType);
    QFETCH(int, columnSize);
    QFETCH(int, columns);
    QFETCH(QVariant, value);
    QFETCH(bool, inMissingFolder);
    QFETCH(int, deleted);
    QFETCH(int, overflow);
    jet::Table t{QStringLiteral("bad"), {}, {}, {}};
    if (deleted != -1) t.deletedRows = {deleted};
    if (overflow != -1) t.overflowRows = {overflow};
    QVariantList row;
    for (int i = 0; i < columns; ++i) {
        t.columns.push_back({QStringLiteral("c%1").arg(i), jet::ColType(columnType), columnSize});
        row << value;
    }
    t.rows = {row};
    const QString path = dir.filePath(inMissingFolder ? QStringLiteral("missing/bad.mdb") : QStringLiteral("bad.mdb"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, jet::writeFile(path, {t}));
    QVERIFY(!QFile::exists(path));
}

WENK_TEST_MAIN(TestJetWriter)
#include "tst_jetwriter.moc"
