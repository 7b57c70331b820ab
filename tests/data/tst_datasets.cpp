// The data module's datasets over a library file.
#include "data/Unit1.h"
#include "data/dataerror.h"
#include "data/unicodelike.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <memory>
#include <sqlite3.h>

class TestDatasets : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void topicCounter_data();
    void topicCounter();
    void abandonedTopicKeepsItsNumber();
    void detailKeyFilledOnNewRow();
    void rowsOfAnotherDatasetShowAfterReopen();
    void lookupOfMissingDocumentIsEmpty();
    void rowsWrittenByAnotherProgramShowAfterReopen();
    void refreshRereadsShownRowsOnly();
    void filterTexts_data();
    void filterTexts();
    void badFilterIsAnError_data();
    void badFilterIsAnError();
    void locateOnTwoFields();
    void bookmarkReturns();
    void sortedByColumnThenId_data();
    void sortedByColumnThenId();
    void movementFlags();
    void memoReadForTheRowThatAsks();
    void idsAreNeverReused_data();
    void idsAreNeverReused();
    void tooLongValueRefused_data();
    void tooLongValueRefused();
    void failedTransactionLeavesFileAsBefore();
    void queryStatementsWithParameters();
    void likeIgnoresCaseOfEveryLetter_data();
    void likeIgnoresCaseOfEveryLetter();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<TMastData> data;
    void openAll();
};

void TestDatasets::init()
{
    lib = std::make_unique<LibraryFixture>();
}

void TestDatasets::cleanup()
{
    data.reset();
    MastData = nullptr;
    lib.reset();
}

void TestDatasets::openAll()
{
    lib->write();
    data = std::make_unique<TMastData>();
    MastData = data.get();
    for (TDataSet *ds : std::initializer_list<TDataSet *>{data->ADOTable1, data->ADOTable2, data->ADOTable3,
                                                         data->ADOTable4, data->ADOTable5, data->ADOTable6,
                                                         data->ADOTable7, data->ADOTable8, data->ADOTable1check,
                                                         data->ADOTgl2, data->ADOTzt, data->ADOTtemp, data->ADOTmain,
                                                         data->ADOTfile})
        ds->open();
}

void TestDatasets::topicCounter_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<qint64>("counter");  // -1: temp has no row
    QTest::newRow("temp empty: first topic gets 0, temp then holds 1") << 1 << qint64(-1);
    QTest::newRow("root topic takes the counter") << 1 << qint64(40);
    QTest::newRow("level-2 topic takes the counter") << 2 << qint64(41);
    QTest::newRow("level-4 topic takes the counter") << 4 << qint64(7);
}

void TestDatasets::topicCounter()
{
    QFETCH(int, level);
    QFETCH(qint64, counter);
    lib->topics("一\n  二\n    三\n");
    if (counter >= 0) lib->setCounter(counter);
    openAll();
    // Stand each level on the path 一/二/三 so a new row has a parent.
    data->ADOTable2->setFilter("preid = '1'");
    data->ADOTable2->setFiltered(true);
    data->ADOTable3->setFilter("preid = '2'");
    data->ADOTable3->setFiltered(true);
    data->ADOTable4->setFilter("preid = '3'");
    data->ADOTable4->setFiltered(true);

    TADOTable *topics = data->topicLevel(level);
    topics->append();
    // The counter is stored before the topic row is posted.
    const qint64 expected = counter < 0 ? 0 : counter;
    QCOMPARE(lib->scalar("SELECT num FROM temp").toLongLong(), expected + 1);
    QCOMPARE(lib->scalar("SELECT count(*) FROM temp").toLongLong(), 1);
    QCOMPARE(topics->fieldInt("itno"), expected);
    if (level == 1) QCOMPARE(topics->fieldInt("preid"), 0);
    topics->setFieldValue("name", "新");
    if (level > 1) topics->setFieldValue("preid", level - 1);
    topics->post();
    QCOMPARE(lib->scalar("SELECT itno FROM zt WHERE name = '新'").toLongLong(), expected);

    // The next topic, at another level, takes the next number.
    TADOTable *other = data->topicLevel(level == 1 ? 2 : 1);
    other->append();
    QCOMPARE(other->fieldInt("itno"), expected + 1);
    other->cancel();
}

void TestDatasets::abandonedTopicKeepsItsNumber()
{
    lib->setCounter(5);
    openAll();
    data->ADOTable1->append();
    data->ADOTable1->cancel();
    data->ADOTable1->append();
    QCOMPARE(data->ADOTable1->fieldInt("itno"), 6);
    QCOMPARE(lib->scalar("SELECT num FROM temp").toLongLong(), 7);
}

void TestDatasets::detailKeyFilledOnNewRow()
{
    lib->topics("甲\n乙 {id=7}\n");
    openAll();
    QVERIFY(data->ADOTable1->locate("id", 7));
    data->ADOTable5->append();
    QCOMPARE(data->ADOTable5->fieldInt("ztid"), 7);
    data->ADOTable5->setFieldValue("fileid", 3);
    data->ADOTable5->post();
    QCOMPARE(lib->query("SELECT ztid, fileid FROM gl"), (QList<QVariantList>{{qint64(7), qint64(3)}}));
    QCOMPARE(data->ADOTable5->recordCount(), 1);
    // The detail follows its master.
    QVERIFY(data->ADOTable1->locate("id", 1));
    QCOMPARE(data->ADOTable5->recordCount(), 0);
}

void TestDatasets::rowsOfAnotherDatasetShowAfterReopen()
{
    lib->topics("甲\n  乙\n");
    const qint64 doc = lib->document("文");
    openAll();
    QVERIFY(data->ADOTmain->locate("id", doc));
    QCOMPARE(data->ADOTgl2->recordCount(), 0);
    data->ADOTable2->setFilter("preid = '1'");
    data->ADOTable2->setFiltered(true);
    data->ADOTable6->append();
    data->ADOTable6->setFieldValue("fileid", doc);
    data->ADOTable6->setFieldValue("aztid", 1);
    data->ADOTable6->setFieldValue("bztid", 2);
    data->ADOTable6->post();
    QCOMPARE(data->ADOTgl2->recordCount(), 0);
    data->ADOTmain->first();  // moving the master does not re-read either
    QVERIFY(data->ADOTmain->locate("id", doc));
    QCOMPARE(data->ADOTgl2->recordCount(), 0);
    data->ADOTgl2->close();
    data->ADOTgl2->open();
    QCOMPARE(data->ADOTgl2->recordCount(), 1);
    QCOMPARE(data->ADOTgl2->fieldInt("ztid"), 2);
}

void TestDatasets::lookupOfMissingDocumentIsEmpty()
{
    lib->topics("甲\n");
    const qint64 doc = lib->document("有");
    lib->link(doc, "甲");
    lib->sql("INSERT INTO gl (ztid, fileid) VALUES (1, 999)");
    openAll();
    data->ADOQuery1->clearSql();
    data->ADOQuery1->addSql("select * from gl where ztid = 1");
    data->ADOQuery1->open();
    QCOMPARE(data->ADOQuery1->recordCount(), 2);
    QCOMPARE(data->ADOQuery1->fieldText("name"), QString("有"));
    data->ADOQuery1->next();
    QCOMPARE(data->ADOQuery1->fieldInt("fileid"), 999);
    QVERIFY(data->ADOQuery1->fieldValue("name").isNull());
    // Empty while the documents are closed.
    data->ADOTmain->close();
    data->ADOQuery1->first();
    QVERIFY(data->ADOQuery1->fieldValue("name").isNull());
}

void TestDatasets::rowsWrittenByAnotherProgramShowAfterReopen()
{
    lib->topics("甲\n");
    openAll();
    QCOMPARE(data->ADOTable1->recordCount(), 1);
    sqlite3 *other = nullptr;
    sqlite3_open(lib->path().toUtf8().constData(), &other);
    sqlite3_exec(other, "INSERT INTO zt (name, itno, preid) VALUES ('乙', 9, 0)", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QCOMPARE(data->ADOTable1->recordCount(), 1);
    data->ADOTable1->close();
    data->ADOTable1->open();
    QCOMPARE(data->ADOTable1->recordCount(), 2);
}

void TestDatasets::refreshRereadsShownRowsOnly()
{
    lib->topics("甲\n  乙\n  丙\n戊\n");
    openAll();
    data->ADOTable2->setFilter("preid = '1'");
    data->ADOTable2->setFiltered(true);
    sqlite3 *other = nullptr;
    sqlite3_open(lib->path().toUtf8().constData(), &other);
    sqlite3_exec(other,
                 "UPDATE zt SET name = name || '改'; "
                 "INSERT INTO zt (name, itno, preid) VALUES ('新', 99, 1)",
                 nullptr, nullptr, nullptr);
    sqlite3_close(other);
    data->ADOTable2->refresh();
    // The values of the rows it shows are read again; no row is added.
    QCOMPARE(data->ADOTable2->recordCount(), 2);
    QStringList names;
    for (data->ADOTable2->first(); !data->ADOTable2->eof(); data->ADOTable2->next())
        names << data->ADOTable2->fieldText("name");
    QCOMPARE(names, (QStringList{"乙改", "丙改"}));
    // Another dataset over the same table keeps its own copy.
    QVERIFY(data->ADOTzt->locate("id", 4));
    QCOMPARE(data->ADOTzt->fieldText("name"), QString("戊"));
}

void TestDatasets::filterTexts_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("preid=0") << "preid=0" << QStringList{"甲", "乙"};
    QTest::newRow("preid = quoted") << "preid = '1'" << QStringList{"子"};
    QTest::newRow("preid = quoted, no blank") << "preid ='1'" << QStringList{"子"};
    QTest::newRow("id = quoted") << "id = '2'" << QStringList{"乙"};
    QTest::newRow("quoted id with no row") << "id = '77'" << QStringList{};
}

void TestDatasets::filterTexts()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, names);
    lib->topics("甲\n乙\n子 {preid=1}\n");
    openAll();
    data->ADOTzt->setFilter(filter);
    data->ADOTzt->setFiltered(true);
    QStringList got;
    for (data->ADOTzt->first(); !data->ADOTzt->eof(); data->ADOTzt->next()) got << data->ADOTzt->fieldText("name");
    QCOMPARE(got, names);
    data->ADOTzt->setFiltered(false);
    QCOMPARE(data->ADOTzt->recordCount(), 3);
}

void TestDatasets::badFilterIsAnError_data()
{
    QTest::addColumn<QString>("filter");
    QTest::newRow("no comparison") << "preid";
    QTest::newRow("two conditions") << "preid = 1 and id = 2";
    QTest::newRow("unbalanced quote") << "preid = '1";
    QTest::newRow("quote inside") << "preid = '1'2'";
}

void TestDatasets::badFilterIsAnError()
{
    QFETCH(QString, filter);
    openAll();
    QVERIFY_THROWS_EXCEPTION(DataError, data->ADOTzt->setFilter(filter));
}

void TestDatasets::locateOnTwoFields()
{
    lib->topics("甲\n乙\n");
    const qint64 a = lib->document("a"), b = lib->document("b");
    lib->link(a, "甲");
    lib->link(b, "甲");
    lib->link(a, "乙");
    openAll();
    TADOTable *gl = new TADOTable(data->ADOConnection1, "gl", "gl", data.get());
    gl->open();
    QVERIFY(gl->locate("ztid;fileid", {2, a}));
    QCOMPARE(gl->fieldInt("id"), 3);
    QVERIFY(gl->locate("ztid;fileid", {QString("1"), b}));
    QCOMPARE(gl->fieldInt("id"), 2);
    QVERIFY(!gl->locate("ztid;fileid", {2, b}));
    QCOMPARE(gl->fieldInt("id"), 2);  // a failed locate does not move
}

void TestDatasets::bookmarkReturns()
{
    for (int i = 0; i < 5; ++i) lib->document(QString::number(i));
    openAll();
    data->ADOTmain->moveTo(3);
    const auto mark = data->ADOTmain->bookmark();
    data->ADOTmain->first();
    QVERIFY(data->ADOTmain->gotoBookmark(mark));
    QCOMPARE(data->ADOTmain->fieldText("name"), QString("3"));
}

void TestDatasets::sortedByColumnThenId_data()
{
    QTest::addColumn<QString>("outline");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("close keys, ties by id") << "c {itno=3}\na {itno=1}\nb1 {itno=2}\nb2 {itno=2}\n"
                                            << QStringList{"a", "b1", "b2", "c"};
    QTest::newRow("keys far apart") << "big {itno=900000000000}\nneg {itno=-5}\nmid {itno=7}\n"
                                    << QStringList{"neg", "mid", "big"};
    QTest::newRow("empty keys first") << "x {itno=2}\ny {itno=1}\n" << QStringList{"z", "y", "x"};
}

void TestDatasets::sortedByColumnThenId()
{
    QFETCH(QString, outline);
    QFETCH(QStringList, order);
    lib->topics(outline);
    if (QTest::currentDataTag() == QByteArray("empty keys first"))
        lib->sql("INSERT INTO zt (name, itno, preid) VALUES ('z', NULL, 0)");
    openAll();
    QStringList got;
    for (data->ADOTable1->first(); !data->ADOTable1->eof(); data->ADOTable1->next())
        got << data->ADOTable1->fieldText("name");
    QCOMPARE(got, order);
}

void TestDatasets::movementFlags()
{
    openAll();
    QVERIFY(data->ADOTmain->eof() && data->ADOTmain->bof());
    QCOMPARE(data->ADOTmain->recordCount(), 0);
    QCOMPARE(data->ADOTmain->recNo(), 0);
    data->ADOTmain->next();
    QVERIFY(data->ADOTmain->eof());
    QVERIFY(data->ADOTmain->fieldValue("name").isNull());
    // Edit on an empty dataset starts a new row.
    data->ADOTmain->edit();
    QCOMPARE(data->ADOTmain->state(), DataSetState::Insert);
    data->ADOTmain->setFieldValue("name", "新");
    data->ADOTmain->post();
    QCOMPARE(data->ADOTmain->recordCount(), 1);
    QVERIFY(!data->ADOTmain->eof());
    data->ADOTmain->next();
    QVERIFY(data->ADOTmain->eof());
    data->ADOTmain->prior();
    QVERIFY(data->ADOTmain->bof());
}

void TestDatasets::memoReadForTheRowThatAsks()
{
    const qint64 d = lib->document("文", "第一行\r\n第二行", QByteArray("{\\rtf1 x}"));
    openAll();
    QVERIFY(data->ADOTmain->locate("id", d));
    QCOMPARE(data->ADOTmain->fieldText("text"), QString("第一行\r\n第二行"));
    QCOMPARE(data->ADOTfile->fieldValue("richtext").toByteArray(), QByteArray("{\\rtf1 x}"));
    data->ADOTfile->edit();
    data->ADOTfile->setFieldValue("richtext", QByteArray("{\\rtf1 y}"));
    data->ADOTfile->post();
    QCOMPARE(lib->scalar("SELECT richtext FROM richfile").toByteArray(), QByteArray("{\\rtf1 y}"));
}

void TestDatasets::idsAreNeverReused_data()
{
    QTest::addColumn<bool>("autoincrement");
    QTest::newRow("file made with plain keys") << false;
    QTest::newRow("file made with AUTOINCREMENT keys") << true;
}

void TestDatasets::idsAreNeverReused()
{
    QFETCH(bool, autoincrement);
    lib->useAutoincrement(autoincrement);
    lib->document("一");
    lib->document("二");
    openAll();
    data->ADOTmain->last();
    QCOMPARE(data->ADOTmain->fieldInt("id"), 2);
    data->ADOTmain->remove();
    data->ADOTmain->append();
    data->ADOTmain->setFieldValue("name", "三");
    data->ADOTmain->post();
    QCOMPARE(data->ADOTmain->fieldInt("id"), 3);
    QCOMPARE(lib->scalar("SELECT id FROM mainfile WHERE name = '三'").toLongLong(), 3);
    // Also across a restart of the program.
    data->ADOTmain->remove();
    data.reset();
    MastData = nullptr;
    data = std::make_unique<TMastData>();
    MastData = data.get();
    data->ADOTmain->open();
    data->ADOTmain->append();
    data->ADOTmain->setFieldValue("name", "四");
    data->ADOTmain->post();
    QCOMPARE(data->ADOTmain->fieldInt("id"), 4);
}

void TestDatasets::tooLongValueRefused_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("size");
    QTest::newRow("topic name over 50") << "zt" << "name" << 50;
    QTest::newRow("document title over 200") << "mainfile" << "name" << 200;
    QTest::newRow("cover name over 50") << "mainfile" << "othersourceb" << 50;
}

void TestDatasets::tooLongValueRefused()
{
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(int, size);
    openAll();
    TADOTable *t = new TADOTable(data->ADOConnection1, "t", table, data.get());
    t->open();
    t->append();
    t->setFieldValue(field, QString(size, QChar(0x6587)));  // exactly the size is fine
    t->post();
    t->edit();
    t->setFieldValue(field, QString(size + 1, QChar(0x6587)));
    try {
        t->post();
        QFAIL("post took a value longer than its column");
    } catch (const DataError &e) {
        QVERIFY2(e.message().contains(field) && e.message().contains(QString::number(size)), qPrintable(e.message()));
    }
    QCOMPARE(t->state(), DataSetState::Edit);
    QCOMPARE(lib->scalar(QString("SELECT length(%1) FROM %2").arg(field, table)).toInt(), size);
}

void TestDatasets::failedTransactionLeavesFileAsBefore()
{
    lib->document("原");
    openAll();
    Database &db = data->database();
    db.begin();
    data->ADOTmain->edit();
    data->ADOTmain->setFieldValue("name", "改");
    data->ADOTmain->post();
    data->ADOTfile->append();
    data->ADOTfile->setFieldValue("richtext", QByteArray("x"));
    data->ADOTfile->post();
    db.rollback();
    QCOMPARE(lib->scalar("SELECT name FROM mainfile").toString(), QString("原"));
    QCOMPARE(lib->scalar("SELECT count(*) FROM richfile").toInt(), 0);
    // A copy taken afterwards shows the file.
    data->ADOTmain->close();
    data->ADOTmain->open();
    QCOMPARE(data->ADOTmain->fieldText("name"), QString("原"));
}

void TestDatasets::queryStatementsWithParameters()
{
    lib->document("O'Neil");
    lib->document("other");
    const qint64 linked = lib->document("linked");
    lib->topics("甲\n");
    lib->link(linked, "甲");
    lib->link(linked, "甲");
    openAll();
    data->ADOQuery2->clearSql();
    data->ADOQuery2->addSql("Select * from mainfile where name like ? ");
    data->ADOQuery2->setParameters({"%'%"});
    data->ADOQuery2->open();
    QCOMPARE(data->ADOQuery2->recordCount(), 1);
    QCOMPARE(data->ADOQuery2->fieldText("name"), QString("O'Neil"));
    data->ADOQgldelete->clearSql();
    data->ADOQgldelete->addSql(QString("delete from gl where fileid=%1").arg(linked));
    data->ADOQgldelete->execSql();
    QCOMPARE(lib->scalar("SELECT count(*) FROM gl").toInt(), 0);
    // A closed dataset refuses to locate.
    data->ADOQuery2->close();
    QVERIFY_THROWS_EXCEPTION(DataError, data->ADOQuery2->locate("id", 1));
}

void TestDatasets::likeIgnoresCaseOfEveryLetter_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    QTest::newRow("ASCII") << "%abc%" << "xABCx" << true;
    QTest::newRow("accented") << "%é%" << "CAFÉ" << true;
    QTest::newRow("Cyrillic") << "%ж%" << "ЖУК" << true;
    QTest::newRow("full-width") << "%ａ%" << "Ａ" << true;
    QTest::newRow("underscore is one character") << "a_c" << "a中c" << true;
    QTest::newRow("underscore is exactly one") << "a_c" << "ac" << false;
    QTest::newRow("percent at both ends, no match") << "%xyz%" << "abc" << false;
    QTest::newRow("Chinese") << "%明月%" << "床前明月光" << true;
    QTest::newRow("anchored start") << "b%" << "abc" << false;
    QTest::newRow("Kelvin sign folds to k") << "%k%" << QString(QChar(0x212A)) << true;
    QTest::newRow("long s folds to s") << "%s%" << QString(QChar(0x017F)) << true;
    QTest::newRow("match after a false start") << "%ab%" << "aab" << true;
    QTest::newRow("Chinese after a false start") << "%明月光%" << "明明月光" << true;
    QTest::newRow("Chinese later in the text") << "%明月%" << "明x明月" << true;
    QTest::newRow("Chinese absent") << "%明月%" << "明x月" << false;
    QTest::newRow("wildcards between") << "%a_c%e" << "xxAbcde" << true;
}

void TestDatasets::likeIgnoresCaseOfEveryLetter()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    QCOMPARE(unicodeLikeMatch(pattern.toUtf8().constData(), text.toUtf8().constData()), matches);
    // The same through the engine.
    lib->document(text);
    openAll();
    data->ADOQuery2->clearSql();
    data->ADOQuery2->addSql("Select * from mainfile where name like ? ");
    data->ADOQuery2->setParameters({pattern});
    data->ADOQuery2->open();
    QCOMPARE(data->ADOQuery2->recordCount(), matches ? 1 : 0);
}

WENK_TEST_MAIN(TestDatasets)
#include "tst_datasets.moc"
