// What datasets show and write when the file changes under their copies:
// writes to rows that are gone, rows read lazily per key, copies brought up
// to date after writes, the order of titles.
#include "data/Unit1.h"
#include "data/dataerror.h"
#include "data/transaction.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <memory>
#include <random>
#include <sqlite3.h>

class TestCopies : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void writeToGoneRowIsRefused_data();
    void writeToGoneRowIsRefused();
    void keyReadLateShowsRowsAsAtOpen_data();
    void keyReadLateShowsRowsAsAtOpen();
    void keysReadAgainKeepOwnWrites();
    void insertRightAfterMasterMovesShowsRowOnce();
    void longRolledBackTransactionLeavesCopiesTrue();
    void copiesFollowEveryWrite();
    void titleOrderIgnoresCase_data();
    void titleOrderIgnoresCase();
    void closingMasterDropsDetailEdit();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<TMastData> data;
    void openAll(bool withCounts = false);
    void otherProgram(const char *sql);
};

void TestCopies::init()
{
    lib = std::make_unique<LibraryFixture>();
}

void TestCopies::cleanup()
{
    data.reset();
    MastData = nullptr;
    lib.reset();
}

void TestCopies::openAll(bool withCounts)
{
    lib->write();
    data = std::make_unique<TMastData>();
    MastData = data.get();
    data->ADOConnection1->open();
    if (withCounts) data->prefetchLargeTables();
    for (TDataSet *ds : std::initializer_list<TDataSet *>{data->ADOTable1, data->ADOTable2, data->ADOTable3,
                                                         data->ADOTable4, data->ADOTable5, data->ADOTable6,
                                                         data->ADOTable7, data->ADOTable8, data->ADOTgl2,
                                                         data->ADOTzt, data->ADOTtemp, data->ADOTmain, data->ADOTfile})
        ds->open();
}

void TestCopies::otherProgram(const char *sql)
{
    sqlite3 *other = nullptr;
    sqlite3_open(lib->path().toUtf8().constData(), &other);
    QCOMPARE(sqlite3_exec(other, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
}

void TestCopies::writeToGoneRowIsRefused_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("remove");
    for (const char *how : {"another dataset", "another program", "rollback"}) {
        QTest::addRow("deleted by %s, then edited", how) << QString(how) << false;
        QTest::addRow("deleted by %s, then deleted", how) << QString(how) << true;
    }
}

void TestCopies::writeToGoneRowIsRefused()
{
    QFETCH(QString, how);
    QFETCH(bool, remove);
    lib->topics("甲\n乙\n");
    openAll();
    TADOTable *topics = data->ADOTable1;
    qint64 target = 2;
    if (how == "another dataset") {
        QVERIFY(data->ADOTzt->locate("id", 2));
        data->ADOTzt->remove();
    } else if (how == "another program") {
        otherProgram("DELETE FROM zt WHERE id = 2");
    } else {
        Database &db = data->database();
        db.begin();
        topics->append();
        topics->setFieldValue("name", "丙");
        topics->post();
        target = topics->fieldInt("id");
        db.rollback();
    }
    const QList<QVariantList> before = lib->query("SELECT id, name, itno, preid FROM zt ORDER BY id");
    const int shown = topics->recordCount();
    QVERIFY(topics->locate("id", target));  // the copy still shows the row

    QString error;
    try {
        if (remove) {
            topics->remove();
        } else {
            topics->edit();
            topics->setFieldValue("name", "改");
            topics->post();
        }
    } catch (const DataError &e) {
        error = e.message();
    }
    QVERIFY2(error.contains("zt") && error.contains(QString::number(target)), qPrintable(error));
    // Nothing written, nothing reported done.
    QCOMPARE(lib->query("SELECT id, name, itno, preid FROM zt ORDER BY id"), before);
    QCOMPARE(topics->recordCount(), shown);
    QCOMPARE(topics->fieldInt("id"), target);
    QCOMPARE(topics->state(), remove ? DataSetState::Browse : DataSetState::Edit);
}

void TestCopies::keyReadLateShowsRowsAsAtOpen_data()
{
    // Document a is filed under 甲 before the datasets open; b is not. The
    // counts are those of ADOTgl2 for a and b, before and after it reopens.
    QTest::addColumn<QString>("change");
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("b filed through another dataset") << "file b" << QList<int>{1, 0} << QList<int>{1, 1};
    QTest::newRow("a's links deleted by a statement") << "delete a" << QList<int>{1, 0} << QList<int>{0, 0};
    QTest::newRow("a's link moved to b through another dataset") << "move" << QList<int>{1, 0} << QList<int>{0, 1};
    QTest::newRow("its own link, written under b's key") << "own" << QList<int>{1, 1} << QList<int>{1, 1};
    QTest::newRow("b filed, then rolled back") << "rollback" << QList<int>{1, 0} << QList<int>{1, 0};
}

void TestCopies::keyReadLateShowsRowsAsAtOpen()
{
    QFETCH(QString, change);
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);
    lib->topics("甲\n");
    const qint64 a = lib->document("a"), b = lib->document("b");
    lib->link(a, "甲");
    openAll();
    TADOTable *links = data->ADOTable5;  // the links of 甲
    if (change == "file b" || change == "rollback") {
        Transaction t(data->database());
        links->append();
        links->setFieldValue("fileid", b);
        links->post();
        if (change == "file b") t.commit();
    } else if (change == "delete a") {
        data->ADOQgldelete->clearSql();
        data->ADOQgldelete->addSql(QString("delete from gl where fileid=%1").arg(a));
        data->ADOQgldelete->execSql();
    } else if (change == "move") {
        links->edit();
        links->setFieldValue("fileid", b);
        links->post();
    } else {
        QVERIFY(data->ADOTmain->locate("id", a));
        data->ADOTgl2->append();
        data->ADOTgl2->setFieldValue("fileid", b);
        data->ADOTgl2->setFieldValue("ztid", 1);
        data->ADOTgl2->post();
    }
    // Each count after the master moved to the document, so the detail
    // shows that document's links afresh.
    auto counts = [&] {
        data->ADOTmain->locate("id", b);
        const int ofB = data->ADOTgl2->recordCount();
        data->ADOTmain->locate("id", a);
        return QList<int>{data->ADOTgl2->recordCount(), ofB};
    };
    QCOMPARE(counts(), before);
    data->ADOTgl2->close();
    data->ADOTgl2->open();
    QCOMPARE(counts(), after);
}

// A detail that has shown many keys reads the first ones again; they come
// back as at its opening, with its own writes.
void TestCopies::keysReadAgainKeepOwnWrites()
{
    lib->topics("甲\n");
    QList<qint64> docs;
    for (int i = 0; i < 400; ++i) docs << lib->document(QString::number(i));
    openAll();
    TADOTable *links = data->ADOTgl2;
    QVERIFY(data->ADOTmain->locate("id", docs[0]));
    links->append();
    links->setFieldValue("ztid", 1);
    links->post();
    data->ADOTable5->append();  // filed through another dataset: not shown
    data->ADOTable5->setFieldValue("fileid", docs[0]);
    data->ADOTable5->post();
    for (qint64 doc : docs) {
        QVERIFY(data->ADOTmain->locate("id", doc));
        QCOMPARE(links->recordCount(), doc == docs[0] ? 1 : 0);
    }
    QVERIFY(data->ADOTmain->locate("id", docs[0]));
    QCOMPARE(links->recordCount(), 1);
    QCOMPARE(links->fieldInt("ztid"), 1);
    QCOMPARE(lib->scalar(QString("SELECT count(*) FROM gl WHERE fileid = %1").arg(docs[0])).toInt(), 2);
}

void TestCopies::insertRightAfterMasterMovesShowsRowOnce()
{
    lib->topics("甲\n乙\n");
    const qint64 doc = lib->document("文");
    openAll(true);  // links counted per topic: moving reads no rows
    data->ADOTable1->next();  // to 乙: its links not read yet
    data->ADOTable5->insert();
    data->ADOTable5->setFieldValue("fileid", doc);
    data->ADOTable5->post();
    QCOMPARE(data->ADOTable5->recordCount(), 1);
    data->ADOTable5->next();
    QVERIFY(data->ADOTable5->eof());
}

// More writes than the journal keeps at once, with a copy taken halfway;
// the rollback still shows in every copy taken afterwards.
void TestCopies::longRolledBackTransactionLeavesCopiesTrue()
{
    lib->document("原");
    openAll();
    Database &db = data->database();
    TADOTable *documents = data->ADOTmain;
    db.begin();
    for (int i = 0; i < 1500; ++i) {
        documents->append();
        documents->setFieldValue("name", QString::number(i));
        documents->post();
        if (i == 500) {
            documents->close();
            documents->open();
        }
    }
    db.rollback();
    documents->close();
    documents->open();
    QCOMPARE(documents->recordCount(), 1);
    QCOMPARE(documents->fieldText("name"), QString("原"));
}

// Random writes through the datasets, statements and rolled-back
// transactions; after each, copies taken afresh show what plain SQL reads.
void TestCopies::copiesFollowEveryWrite()
{
    lib->topics("甲\n  乙\n丙\n");
    QList<qint64> docs;
    for (int i = 0; i < 6; ++i) docs << lib->document(QString("doc%1").arg(i));
    lib->link(docs[0], "甲");
    lib->link(docs[1], "乙");
    openAll(true);
    Database &db = data->database();
    TADOTable *documents = data->ADOTmain;
    std::mt19937 rng(7);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    auto someDocument = [&] {
        const QList<QVariantList> ids = lib->query("SELECT id FROM mainfile");
        return ids[pick(int(ids.size()))][0].toLongLong();
    };
    auto writeOnce = [&](int op, int step) {
        switch (op) {
        case 0:
            documents->locate("id", someDocument());
            documents->edit();
            documents->setFieldValue("name", QString("%1name%2").arg(QChar('a' + pick(26))).arg(step));
            documents->post();
            break;
        case 1:
            documents->append();
            documents->setFieldValue("name", QString("New%1").arg(step));
            documents->post();
            break;
        case 2:
            if (lib->scalar("SELECT count(*) FROM mainfile").toInt() > 3 && documents->locate("id", someDocument()))
                documents->remove();
            break;
        case 3:
            data->ADOTable1->moveTo(pick(2));
            data->ADOTable5->append();
            data->ADOTable5->setFieldValue("fileid", someDocument());
            data->ADOTable5->post();
            break;
        case 4:
            data->ADOTable1->moveTo(pick(2));
            if (data->ADOTable5->recordCount() > 0) data->ADOTable5->remove();
            break;
        case 5:
            data->ADOQgldelete->clearSql();
            data->ADOQgldelete->addSql(QString("delete from gl where fileid=%1").arg(someDocument()));
            data->ADOQgldelete->execSql();
            break;
        case 6:
            data->ADOTable1->moveTo(pick(2));
            if (data->ADOTable5->recordCount() > 0) {
                data->ADOTable5->edit();
                data->ADOTable5->setFieldValue("fileid", someDocument());
                data->ADOTable5->post();
            }
            break;
        }
    };
    for (int step = 0; step < 300; ++step) {
        const int op = pick(8);
        if (op == 7) {
            db.begin();
            writeOnce(pick(7), step);
            writeOnce(pick(7), step);
            db.rollback();
        } else {
            writeOnce(op, step);
        }
        const QString at = QString("step %1, op %2").arg(step).arg(op);

        documents->close();
        documents->open();
        QList<QVariantList> shown;
        for (documents->first(); !documents->eof(); documents->next())
            shown << QVariantList{documents->fieldValue("id"), documents->fieldValue("name")};
        QVERIFY2(shown == lib->query("SELECT id, name FROM mainfile ORDER BY id"), qPrintable(at));

        data->ADOQuery2->close();
        data->ADOQuery2->clearSql();
        data->ADOQuery2->addSql("Select * from mainfile order by name");
        data->ADOQuery2->open();
        QStringList byName;
        for (data->ADOQuery2->first(); !data->ADOQuery2->eof(); data->ADOQuery2->next())
            byName << data->ADOQuery2->fieldText("name");
        QStringList expected;
        for (const QVariantList &r : lib->query("SELECT name FROM mainfile ORDER BY lower(name), id"))
            expected << r[0].toString();
        QVERIFY2(byName == expected, qPrintable(at));

        data->ADOTable1->close();
        data->ADOTable1->open();
        data->ADOTable5->close();
        data->ADOTable5->open();
        for (data->ADOTable1->first(); !data->ADOTable1->eof(); data->ADOTable1->next()) {
            const qint64 topic = data->ADOTable1->fieldInt("id");
            QVERIFY2(data->ADOTable5->recordCount() ==
                         lib->scalar(QString("SELECT count(*) FROM gl WHERE ztid = %1").arg(topic)).toInt(),
                     qPrintable(at));
        }
        data->ADOTgl2->close();
        data->ADOTgl2->open();
        for (documents->first(); !documents->eof(); documents->next()) {
            QList<qint64> linkIds;
            for (data->ADOTgl2->first(); !data->ADOTgl2->eof(); data->ADOTgl2->next())
                linkIds << data->ADOTgl2->fieldInt("id");
            QList<qint64> stored;
            for (const QVariantList &r :
                 lib->query(QString("SELECT id FROM gl WHERE fileid = %1 ORDER BY id").arg(documents->fieldInt("id"))))
                stored << r[0].toLongLong();
            QVERIFY2(linkIds == stored, qPrintable(at));
        }
    }
}

void TestCopies::titleOrderIgnoresCase_data()
{
    QTest::addColumn<QStringList>("titles");  // in the order they are stored
    QTest::addColumn<QStringList>("order");
    QTest::newRow("case ignored, ties by id") << QStringList{"b", "A", "a", "B"} << QStringList{"A", "a", "b", "B"};
    QTest::newRow("accented and Cyrillic letters")
        << QStringList{QStringLiteral("éb"), QStringLiteral("Éa"), QStringLiteral("жа"), QStringLiteral("Жб")}
        << QStringList{QStringLiteral("Éa"), QStringLiteral("éb"), QStringLiteral("жа"), QStringLiteral("Жб")};
    QTest::newRow("a shorter title first") << QStringList{"ab", "a", "AB"} << QStringList{"a", "ab", "AB"};
    QTest::newRow("a long shared beginning")
        << QStringList{QStringLiteral("第一百二十三章 x2"), QStringLiteral("第一百二十三章 X1"), QStringLiteral("第一百二十三章")}
        << QStringList{QStringLiteral("第一百二十三章"), QStringLiteral("第一百二十三章 X1"), QStringLiteral("第一百二十三章 x2")};
    QTest::newRow("characters beyond 16 bits after the others")
        << QStringList{QString::fromUcs4(U"\U00020000"), QString::fromUcs4(U"\uFFFD"), QStringLiteral("中")}
        << QStringList{QStringLiteral("中"), QString::fromUcs4(U"\uFFFD"), QString::fromUcs4(U"\U00020000")};
}

void TestCopies::titleOrderIgnoresCase()
{
    QFETCH(QStringList, titles);
    QFETCH(QStringList, order);
    for (const QString &t : titles) lib->document(t);
    openAll();
    TADOQuery *list = data->ADOQuery2;
    auto listed = [list] {
        list->close();
        list->clearSql();
        list->addSql("Select * from mainfile order by name");
        list->open();
        QStringList names;
        for (list->first(); !list->eof(); list->next()) names << list->fieldText("name");
        return names;
    };
    QCOMPARE(listed(), order);
    // A renamed title takes its new place: last, after every letter above.
    const QString last = QString::fromUcs4(U"\U000F0000");
    QVERIFY(data->ADOTmain->locate("id", 1));
    data->ADOTmain->edit();
    data->ADOTmain->setFieldValue("name", last);
    data->ADOTmain->post();
    QStringList renamed = order;
    renamed.removeOne(titles[0]);
    renamed << last;
    QCOMPARE(listed(), renamed);
}

void TestCopies::closingMasterDropsDetailEdit()
{
    const qint64 doc = lib->document("文");
    openAll();
    QVERIFY(data->ADOTmain->locate("id", doc));
    data->ADOTfile->edit();  // no body row yet: a new one
    data->ADOTfile->setFieldValue("richtext", QByteArray("{\\rtf1 x}"));
    data->ADOTmain->close();
    QCOMPARE(data->ADOTfile->state(), DataSetState::Browse);
    QCOMPARE(lib->scalar("SELECT count(*) FROM richfile").toInt(), 0);
}

WENK_TEST_MAIN(TestCopies)
#include "tst_copies.moc"
