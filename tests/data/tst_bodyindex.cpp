// The body index answers the body search exactly as reading every body
// would, through every kind of write, and is built where it is missing.
#include "data/Unit1.h"
#include "data/dataerror.h"
#include "data/transaction.h"
#include "data/unicodelike.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <memory>
#include <sqlite3.h>

namespace {

const QStringList kBodies = {
    QStringLiteral("明月几时有，把酒问青天。"),
    QStringLiteral("床前明月光，疑是地上霜。"),
    QStringLiteral("Café au lait, CAFÉ noir"),
    QStringLiteral("ЖУРНАЛ и журнал"),
    QStringLiteral("ＡＢＣ full-width"),
    QStringLiteral("100% pure, a_b and it's"),
    QStringLiteral("mixed 中文 and English 文字"),
    QString(""),
    QString(),
    QString::fromUcs4(U"\U00020000 beyond \U00020001"),
    QStringLiteral("alpha beta gamma alphabeta"),
    QString::fromUcs4(U"Kelvin \u212A and more"),
    QStringLiteral("before") + QChar(0) + QStringLiteral("after 尾巴"),
};

// What reading every body finds: the engine's LIKE, made the program's.
QList<qint64> scan(const QString &path, const QString &pattern)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    installUnicodeLike(db);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT id FROM mainfile WHERE text LIKE ? ORDER BY id", -1, &st, nullptr);
    const QByteArray p = pattern.toUtf8();
    sqlite3_bind_text(st, 1, p.constData(), int(p.size()), SQLITE_TRANSIENT);
    QList<qint64> ids;
    while (sqlite3_step(st) == SQLITE_ROW) ids << sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return ids;
}

QList<qint64> listOf(const std::vector<qint64> &ids)
{
    return QList<qint64>(ids.begin(), ids.end());
}

}  // namespace

class TestBodyIndex : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void sameRowsAsReadingEveryBody_data();
    void sameRowsAsReadingEveryBody();
    void randomPatternsAgreeWithReading();
    void indexFollowsEveryWrite_data();
    void indexFollowsEveryWrite();
    void builtOnOpenAndAfterCancel();
    void brokenIndexIsBuiltAgain_data();
    void brokenIndexIsBuiltAgain();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<TMastData> data;
    void openLibrary(bool build = true);
    void otherProgram(const QString &sql);
    void compareWithScan(const QStringList &keywords, const QString &when);
};

void TestBodyIndex::init()
{
    lib = std::make_unique<LibraryFixture>();
    for (int i = 0; i < kBodies.size(); ++i) lib->document(QStringLiteral("文%1").arg(i), kBodies[i]);
}

void TestBodyIndex::cleanup()
{
    data.reset();
    MastData = nullptr;
    lib.reset();
}

void TestBodyIndex::openLibrary(bool build)
{
    if (!QFileInfo::exists(lib->path())) lib->write();
    data = std::make_unique<TMastData>();
    MastData = data.get();
    data->ADOConnection1->open();
    Database &db = data->database();
    if (build)
        while (db.buildBodyIndexStep(5) == 5) {}
    data->ADOTmain->open();
}

void TestBodyIndex::otherProgram(const QString &sql)
{
    sqlite3 *other = nullptr;
    sqlite3_open(lib->path().toUtf8().constData(), &other);
    QCOMPARE(sqlite3_exec(other, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
}

void TestBodyIndex::compareWithScan(const QStringList &keywords, const QString &when)
{
    for (const QString &k : keywords) {
        const QString pattern = '%' + k + '%';
        const std::optional<std::vector<qint64>> found = data->database().rowsLike("mainfile", "text", pattern);
        QVERIFY2(found, qPrintable(when + ": the index did not answer " + k));
        QVERIFY2(listOf(*found) == scan(lib->path(), pattern), qPrintable(when + ": " + k));
    }
}

void TestBodyIndex::sameRowsAsReadingEveryBody_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("indexAnswers");
    QTest::newRow("one Chinese character") << QStringLiteral("月") << true;
    QTest::newRow("two Chinese characters") << QStringLiteral("明月") << true;
    QTest::newRow("three Chinese characters") << QStringLiteral("明月光") << true;
    QTest::newRow("Latin and Chinese mixed") << QStringLiteral("中文 and") << true;
    QTest::newRow("é finds É") << QStringLiteral("café") << true;
    QTest::newRow("ж finds Ж") << QStringLiteral("журнал") << true;
    QTest::newRow("full-width ａ finds Ａ") << QStringLiteral("ａｂｃ") << true;
    QTest::newRow("% inside") << QStringLiteral("alpha%beta") << true;
    QTest::newRow("_ inside") << QStringLiteral("a_b") << true;
    QTest::newRow("% at the start") << QStringLiteral("%月光") << true;
    QTest::newRow("_ at the end") << QStringLiteral("明_") << true;
    QTest::newRow("a quote") << QStringLiteral("it's") << true;
    QTest::newRow("longer than any body") << QString(300, QChar(0x6708)) << true;
    QTest::newRow("one Latin letter, the Kelvin sign folding to k") << QStringLiteral("k") << true;
    QTest::newRow("a blank") << QStringLiteral(" ") << true;
    QTest::newRow("beyond 16 bits") << QString::fromUcs4(U"\U00020001") << true;
    QTest::newRow("after a zero character") << QStringLiteral("after 尾") << true;
    QTest::newRow("_ across a zero character") << QStringLiteral("e_af") << true;
    QTest::newRow("a whole body past a zero character") << QStringLiteral("before_after 尾巴") << true;
    QTest::newRow("a body's start, not its end, at a zero character") << QStringLiteral("before") << true;
    QTest::newRow("found nowhere") << QStringLiteral("不存在的词") << true;
    QTest::newRow("two _ between Chinese") << QStringLiteral("明__时") << true;
    QTest::newRow("_ first") << QStringLiteral("_月光") << true;
    QTest::newRow("_ after the last character") << QStringLiteral("。_") << true;
    QTest::newRow("_ after a run at the very end") << QStringLiteral("天。_") << true;
    QTest::newRow("runs in order across %") << QStringLiteral("明月%青天") << true;
    QTest::newRow("runs out of order across %") << QStringLiteral("青天%明月") << true;
    QTest::newRow("the same run twice across %") << QStringLiteral("al%al") << true;
    QTest::newRow("a whole body") << QStringLiteral("明月几时有，把酒问青天。") << true;
    QTest::newRow("only %") << QStringLiteral("%") << false;
    QTest::newRow("only _") << QStringLiteral("__") << false;
}

void TestBodyIndex::sameRowsAsReadingEveryBody()
{
    QFETCH(QString, keyword);
    QFETCH(bool, indexAnswers);
    openLibrary();
    const QString pattern = '%' + keyword + '%';
    const QList<qint64> expected = scan(lib->path(), pattern);
    const std::optional<std::vector<qint64>> found = data->database().rowsLike("mainfile", "text", pattern);
    QCOMPARE(bool(found), indexAnswers);
    if (found) QCOMPARE(listOf(*found), expected);
    // The search statement gives the same rows, with or without the index.
    TADOQuery *query = data->ADOQuery2;
    query->clearSql();
    query->addSql("Select * from mainfile where  text like ? ");
    query->setParameters({pattern});
    query->open();
    QList<qint64> listed;
    for (query->first(); !query->eof(); query->next()) listed << query->fieldInt("id");
    QCOMPARE(listed, expected);
}

// Patterns made at random from the bodies' own characters and the two
// wildcards, with and without "%" at the ends.
void TestBodyIndex::randomPatternsAgreeWithReading()
{
    openLibrary();
    const QString alphabet = QStringLiteral("明月光时有青天霜。ab lpheaé%%%___");
    std::srand(11);
    for (int i = 0; i < 600; ++i) {
        QString pattern;
        const int length = 1 + std::rand() % 6;
        for (int k = 0; k < length; ++k) pattern += alphabet[std::rand() % alphabet.size()];
        if (std::rand() % 4) pattern = '%' + pattern;
        if (std::rand() % 4) pattern += '%';
        const std::optional<std::vector<qint64>> found = data->database().rowsLike("mainfile", "text", pattern);
        if (!found) continue;  // nothing to look up: the texts are read
        QVERIFY2(listOf(*found) == scan(lib->path(), pattern), qPrintable(pattern));
    }
}

void TestBodyIndex::indexFollowsEveryWrite_data()
{
    QTest::addColumn<QString>("write");
    for (const char *w : {"save", "new document", "delete", "delete statement", "another program",
                          "another program changes an id", "rolled-back save", "save within a transaction"})
        QTest::newRow(w) << QString(w);
}

void TestBodyIndex::indexFollowsEveryWrite()
{
    QFETCH(QString, write);
    openLibrary();
    TADOTable *documents = data->ADOTmain;
    if (write == "save" || write == "rolled-back save" || write == "save within a transaction") {
        Transaction t(data->database());
        QVERIFY(documents->locate("id", 1));
        documents->edit();
        documents->setFieldValue("text", QStringLiteral("新的正文 keyword"));
        documents->post();
        if (write != "rolled-back save") t.commit();
    } else if (write == "new document") {
        documents->append();
        documents->setFieldValue("name", "新");
        documents->setFieldValue("text", QStringLiteral("新的正文 keyword 明月"));
        documents->post();
    } else if (write == "delete") {
        QVERIFY(documents->locate("id", 2));
        documents->remove();
    } else if (write == "delete statement") {
        data->ADOQgldelete->clearSql();
        data->ADOQgldelete->addSql("delete from mainfile where id=2");
        data->ADOQgldelete->execSql();
    } else if (write == "another program") {
        otherProgram(QStringLiteral("UPDATE mainfile SET text = '外来的 keyword' WHERE id = 1; "
                                    "INSERT INTO mainfile (name, text) VALUES ('外', '外来 明月'); "
                                    "DELETE FROM mainfile WHERE id = 2"));
    } else {
        otherProgram(QStringLiteral("UPDATE mainfile SET id = 100 WHERE id = 1"));
    }
    compareWithScan({"keyword", QStringLiteral("新的"), QStringLiteral("明月"), QStringLiteral("外来"),
                     QStringLiteral("月"), QStringLiteral("酒问"), QStringLiteral("明月几时")},
                    write);
    // Writes go on being indexed afterwards.
    documents->close();
    documents->open();
    documents->append();
    documents->setFieldValue("text", QStringLiteral("其后 keyword"));
    documents->post();
    compareWithScan({"keyword", QStringLiteral("其后")}, write + ", then a new document");
}

void TestBodyIndex::builtOnOpenAndAfterCancel()
{
    for (int i = 0; i < 40; ++i) lib->document(QStringLiteral("多%1").arg(i), QStringLiteral("第%1篇 明月").arg(i));
    lib->write();
    openLibrary(false);
    Database &db = data->database();
    QVERIFY(db.bodyIndexNeedsBuilding());
    QCOMPARE(db.buildBodyIndexStep(10), 10);  // then cancelled
    QVERIFY(db.bodyIndexNeedsBuilding());
    QVERIFY(!db.rowsLike("mainfile", "text", QStringLiteral("%明月%")));  // the texts are read
    // Changes to rows indexed already and to rows not yet reached.
    TADOTable *documents = data->ADOTmain;
    for (qint64 id : {3, 30}) {
        QVERIFY(documents->locate("id", id));
        documents->edit();
        documents->setFieldValue("text", QStringLiteral("改过 %1").arg(id));
        documents->post();
    }
    // Another start goes on where the last one stopped.
    data.reset();
    openLibrary(false);
    QCOMPARE(data->database().bodyIndexProgress(), (std::pair<qint64, qint64>{10, 40 + kBodies.size()}));
    while (data->database().buildBodyIndexStep(7) == 7) {}
    QVERIFY(!data->database().bodyIndexNeedsBuilding());
    compareWithScan({QStringLiteral("明月"), QStringLiteral("改过"), QStringLiteral("第1"), QStringLiteral("3")}, "built");
}

void TestBodyIndex::brokenIndexIsBuiltAgain_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("a trigger dropped, then bodies changed past the index")
        << "DROP TRIGGER wenk_body_changed; UPDATE mainfile SET text = '绕过 index' WHERE id = 1";
    QTest::newRow("an index of another layout") << "UPDATE wenk_body_state SET layout = 0";
    QTest::newRow("the state row gone") << "DELETE FROM wenk_body_state";
}

void TestBodyIndex::brokenIndexIsBuiltAgain()
{
    QFETCH(QString, damage);
    openLibrary();
    data.reset();
    otherProgram(damage);
    const QList<QVariantList> before = lib->query("SELECT id, name, text FROM mainfile ORDER BY id");
    openLibrary(false);
    QVERIFY(data->database().bodyIndexNeedsBuilding());
    while (data->database().buildBodyIndexStep(4) == 4) {}
    compareWithScan({QStringLiteral("绕过"), "index", QStringLiteral("明月")}, damage);
    // Nothing else in the file changed.
    QCOMPARE(lib->query("SELECT id, name, text FROM mainfile ORDER BY id"), before);
}

WENK_TEST_MAIN(TestBodyIndex)
#include "tst_bodyindex.moc"
