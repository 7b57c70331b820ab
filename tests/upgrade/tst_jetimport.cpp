// Bringing a library of the Windows version into this program: the rows read
// from real and generated Jet files, refusals, imports into an empty and a
// filled library, cancelling, the conversion at start and the command.
#include "app/main.h"
#include "data/Unit1.h"
#include "data/database.h"
#include "tests/support/dialogdriver.h"
#include "tests/support/fixture.h"
#include "tests/support/jetwriter.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"
#include "topics/topictree.h"
#include "upgrade/jetfile.h"
#include "upgrade/jetimport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(WENK_JET_FIXTURES "/") + name;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An empty library of this program, open.
struct Library {
    QTemporaryDir dir;
    QString path = dir.filePath("wenk.dat");
    Database db;
    Library()
    {
        Database::createLibrary(path);
        db.openLibrary(path);
    }
    QList<QVariantList> rows(const QString &select)
    {
        QList<QVariantList> out;
        Statement st(db.handle(), select);
        while (st.step()) {
            QVariantList row;
            for (int i = 0; i < st.columnCount(); ++i) row << st.column(i);
            out << row;
        }
        return out;
    }
    QVariant scalar(const QString &select) { return rows(select).value(0).value(0); }
};

// The imported bodies are indexed by the build that follows an import.
void buildIndex(Database &db)
{
    QVERIFY(db.bodyIndexNeedsBuilding());
    QCOMPARE(db.rowsLike("mainfile", "text", "%a%"), std::nullopt);
    while (db.buildBodyIndexStep(100) == 100) {}
    QVERIFY(!db.bodyIndexNeedsBuilding());
}

// Rows as text, NULL shown as "∅", for comparisons that print well.
QStringList rowTexts(const QList<QVariantList> &rows)
{
    QStringList out;
    for (const QVariantList &row : rows) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << (v.isNull() ? QStringLiteral("∅")
                                 : v.typeId() == QMetaType::QByteArray ? QString::fromLatin1(v.toByteArray())
                                                                         : v.toString());
        out << cells.join(" | ");
    }
    return out;
}

// A library of the Windows version with something of every kind, and rows
// that cannot come in.
std::vector<jet::Table> generatedLibrary()
{
    std::vector<jet::Table> t = jet::libraryTables();
    const QVariant null;
    jet::table(t, "zt").rows = {
        {1, "文学", 1, 0}, {2, "中国文学", 2, 1}, {3, "古典小说", 3, 2}, {4, "明清小说", 4, 3},
        {5, "第五层", 5, 4},  // deeper than the tree goes
        {8, "孤儿", 6, 77},   // its parent is missing
        {10, "历史", 9, 0},
    };
    QString longBody;
    for (int i = 0; longBody.size() < 70000; ++i) longBody += QStringLiteral("第%1段：甄士隐梦幻识通灵𠀀 alpha。\r\n").arg(i);
    jet::table(t, "mainfile").rows = {
        {7, "红楼梦 第一回", "甄士隐梦幻识通灵，贾雨村风尘怀闺秀。", 3, "附件\\红楼梦.pdf", null},
        {99, "长篇", longBody, 0, "", ""},
        {100, null, null, null, null, null},
        {123, "", "", -5, "http://example.org/书", "封面.jpg"},
        {200, "RTF 备注", "中文 body", 2147483647, null, null},
    };
    jet::table(t, "richfile").rows = {
        {1, 7, "{\\rtf1\\ansi\\ansicpg936 \\u29980?\\u22763?}"},
        {2, 99, ""},
        {3, 200, "{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 宋体;}}\\f0 中文 body\\par}"},  // bytes turned into text
        {5, 555, "{\\rtf1 orphan}"},
    };
    jet::table(t, "gl").rows = {
        {1, 1, 7, 1, null, null, null}, {2, 2, 99, 1, 2, null, null}, {3, 3, 100, 1, 2, 3, null},
        {4, 4, 123, 1, 2, 3, 4},        {5, 5, 7, 1, 2, 3, 4},          {6, 1, 999, 1, null, null, null},
        {9, 10, 7, 10, null, null, null},
    };
    jet::table(t, "temp").rows = {{20}};
    return t;
}

const QStringList kGeneratedSkips{
    QStringLiteral("专题“第五层”（编号 5）：在第五层或更深处，程序的专题只有四层"),
    QStringLiteral("专题“孤儿”（编号 8）：上级专题 77 不存在"),
    QStringLiteral("正文（编号 5）：所属的文档 555 不存在"),
    QStringLiteral("链接（编号 5）：专题 5 不存在或未导入"),
    QStringLiteral("链接（编号 6）：文档 999 不存在"),
};

QString writeGenerated(const QTemporaryDir &dir, std::vector<jet::Table> tables = generatedLibrary())
{
    const QString path = dir.filePath("old.mdb");
    jet::writeFile(path, tables);
    return path;
}

QString conversionQuestion(const QString &path)
{
    return QStringLiteral("资料库文件 %1 是 Windows 版的资料库（Access 数据库），本程序不能直接打开。\n\n"
                          "是否把它转换为本程序的资料库？原来的文件改名为 wenk-jet.dat，保留在同一文件夹中。\n"
                          "选“否”则程序退出，文件保持原样。")
        .arg(path);
}

const QString kDemoSummary = QStringLiteral("导入完成：专题 6 个，文档 7 篇，正文 3 篇，链接 5 条。");

}  // namespace

class TestJetImport : public QObject {
    Q_OBJECT
private slots:
    void demoLibraryReadExactly();
    void refusedFiles_data();
    void refusedFiles();
    void generatedLibraryIntoEmptyLibrary();
    void rtfBodyStoredAsBinary();
    void bodyOfMegabytesComesInWhole();
    void damagedRowIsReported();
    void deletedRowsStayOutMovedRowsComeIn();
    void intoFilledLibraryEverythingGetsNewIds();
    void cancelHalfwayLeavesTheLibrary();
    void startConvertsTheFile_data();
    void startConvertsTheFile();
    void startLeavesTheFolder_data();
    void startLeavesTheFolder();
    void upgradeCommandShowsTheResult();
};

// The fixture was written by another tool; its rows are in the JSON beside it.
void TestJetImport::demoLibraryReadExactly()
{
    Library lib;
    JetFile jet(fixture("library-demo.mdb"));
    const std::optional<ImportSummary> s = importJetLibrary(lib.db, jet, {});
    QVERIFY(s);
    QVERIFY(s->keptIds);
    QCOMPARE(s->skipped, QStringList());
    QCOMPARE((QList<qint64>{s->topics, s->documents, s->bodies, s->links}), (QList<qint64>{6, 7, 3, 5}));

    const QJsonObject tables = QJsonDocument::fromJson(fileBytes(fixture("library-demo.json"))).object()["tables"].toObject();
    const QList<std::pair<QString, QStringList>> shapes{
        {"mainfile", {"id", "name", "text", "times", "othersource", "othersourceb"}},
        {"richfile", {"id", "fileid", "richtext"}},
        {"zt", {"id", "name", "itno", "preid"}},
        {"gl", {"id", "ztid", "fileid", "aztid", "bztid", "cztid", "dztid"}},
        {"temp", {"num"}},
    };
    for (const auto &[table, columns] : shapes) {
        QList<QVariantList> expected;
        for (const QJsonValue &row : tables[table].toArray()) {
            QVariantList values;
            for (const QString &c : columns) {
                const QJsonValue v = row.toObject().value(c);
                if (v.isNull() || v.isUndefined())
                    values << QVariant();
                else if (v.isDouble())
                    values << qint64(v.toDouble());
                else if (c == "richtext")
                    values << v.toString().toLatin1();
                else
                    values << v.toString();
            }
            expected << values;
        }
        const QList<QVariantList> stored = lib.rows(
            QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(columns.join(", "), table, columns.first()));
        QCOMPARE(rowTexts(stored), rowTexts(expected));
        // NULL and empty are told apart, not only shown alike.
        for (int r = 0; r < stored.size(); ++r)
            for (int c = 0; c < columns.size(); ++c)
                QVERIFY2(stored[r][c].isNull() == expected[r][c].isNull(),
                         qPrintable(QStringLiteral("%1.%2 row %3").arg(table, columns[c]).arg(r)));
    }
    // The 72,000-character body came in whole, and the body search finds it.
    QCOMPARE(lib.scalar("SELECT length(text) FROM mainfile WHERE id = 100").toLongLong(), 72000);
    const QString tail = lib.scalar("SELECT substr(text, 71980, 15) FROM mainfile WHERE id = 100").toString();
    buildIndex(lib.db);
    QCOMPARE(lib.db.rowsLike("mainfile", "text", "%" + tail + "%"), (std::optional<std::vector<qint64>>{{100}}));
}

void TestJetImport::refusedFiles_data()
{
    QTest::addColumn<QString>("file");  // in the fixtures, or made here
    QTest::addColumn<QString>("message");
    QTest::newRow("password-protected file of another program")
        << "V2000_with-password.mdb"
        << QStringLiteral("这不是本程序 Windows 版的资料库：缺少 数据表 zt、数据表 mainfile、数据表 richfile、数据表 gl");
    QTest::newRow("Access file without tables")
        << "empty.mdb"
        << QStringLiteral("这不是本程序 Windows 版的资料库：缺少 数据表 zt、数据表 mainfile、数据表 richfile、数据表 gl");
    QTest::newRow("a text file") << "README.md" << QStringLiteral("这不是 Access（Jet）数据库文件");
    QTest::newRow("no such file") << "missing.mdb" << QStringLiteral("无法读取文件：");
    QTest::newRow("library without its links table") << "generated:nogl"
                                                     << QStringLiteral("这不是本程序 Windows 版的资料库：缺少 数据表 gl");
    QTest::newRow("library whose topics lack a column")
        << "generated:noitno" << QStringLiteral("这不是本程序 Windows 版的资料库：缺少 zt.itno");
    QTest::newRow("Access 97 file") << "generated:jet3"
                                    << QStringLiteral("这是 Access 97（Jet 3）格式的文件");
    QTest::newRow("encrypted pages") << "generated:encrypted"
                                     << QStringLiteral("读不出文件中的数据表目录：文件已加密或已损坏");
}

void TestJetImport::refusedFiles()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QString path = fixture(file);
    if (file.startsWith("generated:")) {
        std::vector<jet::Table> tables = generatedLibrary();
        if (file.endsWith("nogl"))
            std::erase_if(tables, [](const jet::Table &t) { return t.name == "gl"; });
        if (file.endsWith("noitno")) {
            auto &cols = jet::table(tables, "zt").columns;
            std::erase_if(cols, [](const jet::Column &c) { return c.name == "itno"; });
            for (QVariantList &row : jet::table(tables, "zt").rows) row.removeAt(2);
        }
        path = writeGenerated(dir, tables);
        if (file.endsWith("jet3")) {
            QByteArray bytes = fileBytes(path);
            bytes[0x14] = 0;  // the version byte of an Access 97 file
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        }
        if (file.endsWith("encrypted")) {
            // Every page after the first scrambled, as an encoded file reads
            // to a reader without its key.
            QByteArray bytes = fileBytes(path);
            quint32 x = 12345;
            for (qsizetype i = 4096; i < bytes.size(); ++i) {
                x = x * 1103515245 + 12345;
                bytes[i] = char(bytes[i] ^ char(x >> 16));
            }
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        }
    }
    const QByteArray before = fileBytes(path);
    Library lib;
    QString refusal;
    try {
        JetFile jet(path);
        importJetLibrary(lib.db, jet, {});
    } catch (const JetError &e) {
        refusal = e.message;
    }
    QVERIFY2(!refusal.isEmpty(), "the file was not refused");
    QVERIFY2(refusal.startsWith(message), qPrintable(refusal));
    QCOMPARE(lib.scalar("SELECT (SELECT count(*) FROM zt) + (SELECT count(*) FROM mainfile) + "
                        "(SELECT count(*) FROM richfile) + (SELECT count(*) FROM gl)")
                 .toLongLong(),
             0);
    if (QFileInfo::exists(path)) QCOMPARE(fileBytes(path), before);
}

void TestJetImport::generatedLibraryIntoEmptyLibrary()
{
    QTemporaryDir dir;
    const QString path = writeGenerated(dir);
    Library lib;
    JetFile jet(path);
    const std::optional<ImportSummary> s = importJetLibrary(lib.db, jet, {});
    QVERIFY(s);
    QCOMPARE(s->skipped, kGeneratedSkips);
    QCOMPARE((QList<qint64>{s->topics, s->documents, s->bodies, s->links}), (QList<qint64>{5, 5, 3, 5}));

    QCOMPARE(rowTexts(lib.rows("SELECT id, name, itno, preid FROM zt ORDER BY id")),
             (QStringList{"1 | 文学 | 1 | 0", "2 | 中国文学 | 2 | 1", "3 | 古典小说 | 3 | 2", "4 | 明清小说 | 4 | 3",
                          "10 | 历史 | 9 | 0"}));
    // The counter goes on from the old library's.
    QCOMPARE(lib.scalar("SELECT num FROM temp").toLongLong(), 20);
    std::vector<jet::Table> source = generatedLibrary();
    const QList<QVariantList> docs =
        lib.rows("SELECT id, name, text, times, othersource, othersourceb FROM mainfile ORDER BY id");
    QCOMPARE(docs.size(), 5);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 6; ++c) {
            const QVariant want = jet::table(source, "mainfile").rows[r][c];
            QVERIFY2(docs[r][c].isNull() == want.isNull() && docs[r][c].toString() == want.toString(),
                     qPrintable(QStringLiteral("row %1 column %2").arg(r).arg(c)));
        }
    QCOMPARE(lib.rows("SELECT id, fileid, richtext FROM richfile ORDER BY id"),
             (QList<QVariantList>{
                 {qint64(1), qint64(7), QByteArray("{\\rtf1\\ansi\\ansicpg936 \\u29980?\\u22763?}")},
                 {qint64(2), qint64(99), QByteArray("")},
                 {qint64(3), qint64(200),
                  QByteArray(QStringEncoder("GBK").encode(
                      QStringLiteral("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0 宋体;}}\\f0 中文 body\\par}")))},
             }));
    // Path columns from the tree: the topic itself at its level, nothing below.
    QCOMPARE(rowTexts(lib.rows("SELECT id, ztid, fileid, aztid, bztid, cztid, dztid FROM gl ORDER BY id")),
             (QStringList{"1 | 1 | 7 | 1 | ∅ | ∅ | ∅", "2 | 2 | 99 | 1 | 2 | ∅ | ∅", "3 | 3 | 100 | 1 | 2 | 3 | ∅",
                          "4 | 4 | 123 | 1 | 2 | 3 | 4", "9 | 10 | 7 | 10 | ∅ | ∅ | ∅"}));
    // The body search index follows the import.
    buildIndex(lib.db);
    QCOMPARE(lib.db.rowsLike("mainfile", "text", "%第1999段%"), (std::optional<std::vector<qint64>>{{99}}));
    QCOMPARE(lib.db.rowsLike("mainfile", "text", "%贾雨村%"), (std::optional<std::vector<qint64>>{{7}}));
}

void TestJetImport::rtfBodyStoredAsBinary()
{
    std::vector<jet::Table> tables = generatedLibrary();
    jet::Table &bodies = jet::table(tables, "richfile");
    bodies.columns[2].type = jet::ColType::Ole;
    QByteArray big("{\\rtf1\\ansi\\ansicpg936 ");
    while (big.size() < 100000) big += "\xd6\xd0\xce\xc4 \\b bold\\b0 ";  // GBK bytes as they were written
    big += "}";
    bodies.rows = {{1, 7, big}, {2, 99, QVariant()}};
    QTemporaryDir dir;
    Library lib;
    JetFile jet(writeGenerated(dir, tables));
    QVERIFY(importJetLibrary(lib.db, jet, {}));
    QCOMPARE(lib.scalar("SELECT richtext FROM richfile WHERE id = 1").toByteArray(), big);
    QCOMPARE(lib.scalar("SELECT fileid FROM richfile WHERE id = 2").toLongLong(), 99);
    QVERIFY(lib.scalar("SELECT richtext FROM richfile WHERE id = 2").isNull());
}

void TestJetImport::bodyOfMegabytesComesInWhole()
{
    QString body;
    for (int i = 0; body.size() < 3000000; ++i) body += QStringLiteral("第%1行，月落乌啼霜满天 moon 𠀀\r\n").arg(i);
    std::vector<jet::Table> tables = generatedLibrary();
    jet::table(tables, "mainfile").rows = {{1, "大部头", body, 0, QVariant(), QVariant()}};
    QTemporaryDir dir;
    Library lib;
    JetFile jet(writeGenerated(dir, tables));
    QVERIFY(importJetLibrary(lib.db, jet, {}));
    QCOMPARE(lib.scalar("SELECT text FROM mainfile WHERE id = 1").toString(), body);
}

// A row whose column offsets point outside its page is left out and named in
// the summary; the rows around it come in.
void TestJetImport::damagedRowIsReported()
{
    std::vector<jet::Table> tables = generatedLibrary();
    jet::table(tables, "mainfile").rows.push_back({300, "损坏的文档", "正文", 0, QVariant(), QVariant()});
    QTemporaryDir dir;
    const QString path = writeGenerated(dir, tables);
    QByteArray bytes = fileBytes(path);
    const QString name = QStringLiteral("损坏的文档");
    const QByteArray ucs2(reinterpret_cast<const char *>(name.utf16()), name.size() * 2);
    const qsizetype at = bytes.indexOf(ucs2);
    QVERIFY(at > 0);
    // The row holding the title, from the page's row offsets.
    const qsizetype page = at / 4096 * 4096;
    const auto u16 = [&](qsizetype i) { return int(quint8(bytes[i])) | int(quint8(bytes[i + 1])) << 8; };
    int end = 4096;
    for (int r = 0, rows = u16(page + 0x0C); r < rows; ++r) {
        const int start = u16(page + 0x0E + 2 * r) & 0x1FFF;
        if (page + start <= at && at < page + end) break;
        end = start;
    }
    // Every variable column's offset pointed far past the row's end.
    const qsizetype varLen = page + end - 1 - 2;
    for (int i = 1; i <= u16(varLen); ++i) {
        bytes[varLen - 2 * i] = char(0xF0);
        bytes[varLen - 2 * i + 1] = char(0x0F);
    }
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();

    Library lib;
    JetFile jet(path);
    const std::optional<ImportSummary> s = importJetLibrary(lib.db, jet, {});
    QVERIFY(s);
    QCOMPARE(s->documents, 5);
    QVERIFY2(s->skipped.contains(QStringLiteral("数据表 mainfile：有 1 行已损坏，没有读出")), qPrintable(s->skipped.join('\n')));
    QCOMPARE(lib.scalar("SELECT count(*) FROM mainfile WHERE id = 300").toLongLong(), 0);
}

// A library the Windows program never compacted: deleted rows still on the
// pages, and rows moved to another page with a pointer left in their place.
void TestJetImport::deletedRowsStayOutMovedRowsComeIn()
{
    std::vector<jet::Table> tables = generatedLibrary();
    jet::Table &docs = jet::table(tables, "mainfile");
    docs.rows.push_back({400, "删掉的文档", "旧正文", 0, QVariant(), QVariant()});
    docs.rows.push_back({401, "挪走的文档", "挪走的正文", 0, QVariant(), QVariant()});
    docs.deletedRows = {int(docs.rows.size()) - 2};
    docs.overflowRows = {0, int(docs.rows.size()) - 1};
    jet::Table &topics = jet::table(tables, "zt");
    topics.rows.push_back({50, "删掉的专题", 7, 0});
    topics.deletedRows = {int(topics.rows.size()) - 1};
    topics.overflowRows = {1};
    QTemporaryDir dir;
    Library lib;
    JetFile jet(writeGenerated(dir, tables));
    const std::optional<ImportSummary> s = importJetLibrary(lib.db, jet, {});
    QVERIFY(s);
    QCOMPARE(s->skipped, kGeneratedSkips);
    QCOMPARE(rowTexts(lib.rows("SELECT id, name FROM mainfile ORDER BY id")),
             (QStringList{"7 | 红楼梦 第一回", "99 | 长篇", "100 | ∅", "123 | ", "200 | RTF 备注", "401 | 挪走的文档"}));
    QCOMPARE(lib.scalar("SELECT text FROM mainfile WHERE id = 401").toString(), QStringLiteral("挪走的正文"));
    QCOMPARE(rowTexts(lib.rows("SELECT id, name FROM zt ORDER BY id")),
             (QStringList{"1 | 文学", "2 | 中国文学", "3 | 古典小说", "4 | 明清小说", "10 | 历史"}));
}

void TestJetImport::intoFilledLibraryEverythingGetsNewIds()
{
    QTemporaryDir dir;
    const QString path = writeGenerated(dir);
    Library lib;
    lib.db.exec("INSERT INTO zt (id, name, itno, preid) VALUES (1, '已有', 1, 0), (2, '已有二', 30, 1)");
    lib.db.exec("INSERT INTO mainfile (id, name, text) VALUES (7, '已有文档', '已有正文')");
    lib.db.exec("INSERT INTO richfile (id, fileid, richtext) VALUES (1, 7, X'7B7D')");
    lib.db.exec("INSERT INTO gl (id, ztid, fileid, aztid, bztid) VALUES (1, 2, 7, 1, 2)");
    lib.db.exec("INSERT INTO temp (num) VALUES (40)");
    const auto snapshot = [&] {
        return rowTexts(lib.rows("SELECT 'zt', id, name, itno, preid FROM zt WHERE id <= 2 UNION ALL "
                                 "SELECT 'doc', id, name, text, 0 FROM mainfile WHERE id = 7 UNION ALL "
                                 "SELECT 'body', id, fileid, richtext, 0 FROM richfile WHERE id = 1 UNION ALL "
                                 "SELECT 'gl', id, ztid, fileid, aztid FROM gl WHERE id = 1"));
    };
    const QStringList before = snapshot();

    JetFile jet(path);
    const std::optional<ImportSummary> s = importJetLibrary(lib.db, jet, {});
    QVERIFY(s);
    QVERIFY(!s->keptIds);
    QCOMPARE(s->skipped, kGeneratedSkips);
    QCOMPARE(snapshot(), before);
    // New ids, parents following them; order keys from this library's
    // counter in the old order.
    QCOMPARE(rowTexts(lib.rows("SELECT c.name, c.itno, ifnull(p.name, '-') FROM zt c LEFT JOIN zt p ON p.id = c.preid "
                               "WHERE c.id > 2 ORDER BY c.itno")),
             (QStringList{"文学 | 40 | -", "中国文学 | 41 | 文学", "古典小说 | 42 | 中国文学", "明清小说 | 43 | 古典小说",
                          "历史 | 44 | -"}));
    QCOMPARE(lib.scalar("SELECT num FROM temp").toLongLong(), 45);
    QCOMPARE(lib.scalar("SELECT count(*) FROM temp").toLongLong(), 1);
    QCOMPARE(lib.scalar("SELECT count(*) FROM mainfile WHERE id > 7").toLongLong(), 5);
    // Links name the new topic and document, and paths name new topics.
    QCOMPARE(rowTexts(lib.rows(
                 "SELECT z.name, m.name, a.name, ifnull(b.name, '∅'), ifnull(c.name, '∅'), ifnull(d.name, '∅') "
                 "FROM gl JOIN zt z ON z.id = gl.ztid JOIN mainfile m ON m.id = gl.fileid "
                 "JOIN zt a ON a.id = gl.aztid LEFT JOIN zt b ON b.id = gl.bztid LEFT JOIN zt c ON c.id = gl.cztid "
                 "LEFT JOIN zt d ON d.id = gl.dztid WHERE gl.id > 1 ORDER BY gl.id")),
             (QStringList{"文学 | 红楼梦 第一回 | 文学 | ∅ | ∅ | ∅", "中国文学 | 长篇 | 文学 | 中国文学 | ∅ | ∅",
                          "古典小说 | ∅ | 文学 | 中国文学 | 古典小说 | ∅",
                          "明清小说 |  | 文学 | 中国文学 | 古典小说 | 明清小说", "历史 | 红楼梦 第一回 | 历史 | ∅ | ∅ | ∅"}));
    QCOMPARE(rowTexts(lib.rows("SELECT m.name FROM richfile r JOIN mainfile m ON m.id = r.fileid WHERE r.id > 1 "
                               "ORDER BY r.id")),
             (QStringList{"红楼梦 第一回", "长篇", "RTF 备注"}));
    // The bodies that were there stay indexed; the new ones are indexed once.
    buildIndex(lib.db);
    QCOMPARE(lib.db.rowsLike("mainfile", "text", "%已有正文%"), (std::optional<std::vector<qint64>>{{7}}));
    QCOMPARE(lib.db.rowsLike("mainfile", "text", "%贾雨村%"),
             (std::optional<std::vector<qint64>>{{lib.scalar("SELECT id FROM mainfile WHERE name = '红楼梦 第一回'").toLongLong()}}));
}

void TestJetImport::cancelHalfwayLeavesTheLibrary()
{
    std::vector<jet::Table> tables = generatedLibrary();
    for (int i = 0; i < 600; ++i)
        jet::table(tables, "mainfile").rows.push_back({1000 + i, QStringLiteral("文%1").arg(i), QStringLiteral("正文%1").arg(i), 0, QVariant(), QVariant()});
    QTemporaryDir dir;
    Library lib;
    lib.db.exec("INSERT INTO mainfile (id, name, text) VALUES (1, '已有', '已有正文')");
    lib.db.exec("INSERT INTO temp (num) VALUES (9)");
    JetFile jet(writeGenerated(dir, tables));
    qint64 calls = 0;
    qint64 lastTotal = 0;
    const std::optional<ImportSummary> s = importJetLibrary(lib.db, jet, [&](qint64 done, qint64 total) {
        ++calls;
        lastTotal = total;
        return done < total / 2;
    });
    QVERIFY(!s);
    QVERIFY(calls >= 2);
    QCOMPARE(lastTotal, 7 + 605 + 4 + 7);
    QCOMPARE(rowTexts(lib.rows("SELECT id, name FROM mainfile")), QStringList{"1 | 已有"});
    QCOMPARE(lib.scalar("SELECT count(*) FROM zt").toLongLong(), 0);
    QCOMPARE(lib.scalar("SELECT num FROM temp").toLongLong(), 9);
    QCOMPARE(lib.db.rowsLike("mainfile", "text", "%正文1%"), (std::optional<std::vector<qint64>>{std::vector<qint64>{}}));
}

void TestJetImport::startConvertsTheFile_data()
{
    QTest::addColumn<QString>("keptAs");
    QTest::newRow("first conversion") << "wenk-jet.dat";
    QTest::newRow("a wenk-jet.dat is there already") << "wenk-jet-2.dat";
}

void TestJetImport::startConvertsTheFile()
{
    QFETCH(QString, keptAs);
    LibraryFixture lib;
    QVERIFY(QFile::copy(fixture("library-demo.mdb"), lib.path()));
    const QString there = QDir(lib.folder()).filePath("wenk-jet.dat");
    if (keptAs != "wenk-jet.dat") {
        QFile mine(there);
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("the user's own file");
    }
    MessageBoxes::expectNext(MessageBoxes::Yes, conversionQuestion(lib.path()).replace("wenk-jet.dat", keptAs));
    MessageBoxes::expectNext(MessageBoxes::Ok, kDemoSummary + QStringLiteral("\n各项保留原来的编号。\n\n原来的文件已改名为 %1。").arg(keptAs));
    ProgramRun run;
    QVERIFY(run.started());
    CHECK_BOXES();
    QCOMPARE(fileBytes(QDir(lib.folder()).filePath(keptAs)), fileBytes(fixture("library-demo.mdb")));
    if (keptAs != "wenk-jet.dat") QCOMPARE(fileBytes(there), QByteArray("the user's own file"));
    QStringList files{keptAs, "wenk.dat", "wenk.dat-shm", "wenk.dat-wal"};
    if (keptAs != "wenk-jet.dat") files.insert(1, "wenk-jet.dat");
    QCOMPARE(QDir(lib.folder()).entryList(QDir::Files), files);
    QCOMPARE(lib.scalar("SELECT count(*) FROM mainfile").toLongLong(), 7);
    // The body index was built as the program started.
    QVERIFY(!MastData->database().bodyIndexNeedsBuilding());
    MainForm->tree->SpeedButton16Click();
    QCOMPARE(treeText(MainForm->tree->TreeView1),
             QStringLiteral("文学[1/1]\n  中国文学[1/1]\n    古典小说[1/1]\n      明清小说[1/0]\n历史[0/1]\n  史记研究[1/0]\n"));
}

void TestJetImport::startLeavesTheFolder_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("notice");  // after Yes; the file's path stands for %1
    QTest::newRow("No") << "library-demo.mdb" << false << QString();
    QTest::newRow("not a library")
        << "V2000_with-password.mdb" << true
        << QStringLiteral("无法从文件 %1 升级：\n这不是本程序 Windows 版的资料库：缺少 数据表 zt、数据表 mainfile、"
                          "数据表 richfile、数据表 gl\n\n资料库没有改动。");
}

void TestJetImport::startLeavesTheFolder()
{
    QFETCH(QString, file);
    QFETCH(bool, yes);
    QFETCH(QString, notice);
    LibraryFixture lib;
    QVERIFY(QFile::copy(fixture(file), lib.path()));
    MessageBoxes::expectNext(yes ? MessageBoxes::Yes : MessageBoxes::No, conversionQuestion(lib.path()));
    if (!notice.isEmpty()) MessageBoxes::expectNext(MessageBoxes::Ok, notice.arg(lib.path()));
    ProgramRun run;
    QVERIFY(!run.started());
    CHECK_BOXES();
    QCOMPARE(QDir(lib.folder()).entryList(QDir::Files), QStringList{"wenk.dat"});
    QCOMPARE(fileBytes(lib.path()), fileBytes(fixture(file)));
}

void TestJetImport::upgradeCommandShowsTheResult()
{
    LibraryFixture lib;
    lib.topics("已有\n");
    const qint64 doc = lib.document(QStringLiteral("已有文档"), QStringLiteral("正文"));
    lib.link(doc, QStringLiteral("已有"));
    lib.write();
    ProgramRun run;
    QVERIFY(run.started());
    whenFileDialogChooses(fixture("library-demo.mdb"));
    MessageBoxes::expectNext(MessageBoxes::Ok,
                             kDemoSummary + QStringLiteral("\n导入的各项都用了新的编号，资料库原有的内容没有改动。"));
    MainForm->SpeedButton20Click();
    CHECK_BOXES();
    QCOMPARE(treeText(MainForm->tree->TreeView1),
             QStringLiteral("已有[1/0]\n文学[1/1]\n  中国文学[1/1]\n    古典小说[1/1]\n      明清小说[1/0]\n历史[0/1]\n"
                            "  史记研究[1/0]\n"));
    QCOMPARE(MastData->ADOTmain->recordCount(), 8);
    QVERIFY(!MastData->database().bodyIndexNeedsBuilding());
    QCOMPARE(MastData->ADOTmain->fieldInt("id"), doc);

    // Cancelled in the file dialog: nothing happens.
    whenFileDialogChooses(QString());
    MainForm->SpeedButton20Click();
    CHECK_BOXES();
    QCOMPARE(lib.scalar("SELECT count(*) FROM mainfile").toLongLong(), 8);
}

WENK_TEST_MAIN(TestJetImport)
#include "tst_jetimport.moc"
