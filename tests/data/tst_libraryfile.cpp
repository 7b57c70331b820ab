// Start-up on a missing, a foreign and a broken library file.
#include "app/main.h"
#include "data/Unit1.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"
#include "topics/topictree.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>
#include <sqlite3.h>

namespace {


void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}


const QString kLibraryTables =
    "CREATE TABLE mainfile (id INTEGER PRIMARY KEY, name TEXT, text TEXT, times INTEGER, othersource TEXT, "
    "othersourceb TEXT);"
    "CREATE TABLE richfile (id INTEGER PRIMARY KEY, fileid INTEGER, richtext BLOB);"
    "CREATE TABLE zt (id INTEGER PRIMARY KEY, name TEXT, itno INTEGER, preid INTEGER);"
    "CREATE TABLE gl (id INTEGER PRIMARY KEY, ztid INTEGER, fileid INTEGER, aztid INTEGER, bztid INTEGER, "
    "cztid INTEGER, dztid INTEGER);"
    "CREATE TABLE temp (num INTEGER);"
    "CREATE TABLE upmain (id INTEGER PRIMARY KEY, name TEXT, text TEXT);";

}  // namespace

class TestLibraryFile : public QObject {
    Q_OBJECT
private slots:
    void missingFileAnsweredNoEndsTheProgram();
    void missingFileAnsweredYesMakesAnEmptyLibrary();
    void plainSqlLibraryOpens();
    void brokenFileIsRefusedAndLeftAsItWas_data();
    void brokenFileIsRefusedAndLeftAsItWas();
    void lockedFileIsRefused();
    void folderInPlaceOfFileIsRefused();
};

void TestLibraryFile::missingFileAnsweredNoEndsTheProgram()
{
    LibraryFixture lib;  // a fresh folder; nothing written
    MessageBoxes::expectNext(MessageBoxes::No,
                             QString("当前文件夹中没有资料库文件：\n%1\n\n是否在这里新建一个空的资料库？").arg(lib.path()),
                             "云笈研读书匣");
    ProgramRun run;
    QVERIFY(!run.started());
    QVERIFY(!QFile::exists(lib.path()));
    QVERIFY(MainForm == nullptr && MastData == nullptr);
    CHECK_BOXES();
}

void TestLibraryFile::missingFileAnsweredYesMakesAnEmptyLibrary()
{
    LibraryFixture lib;
    MessageBoxes::expectNext(MessageBoxes::Yes,
                             QString("当前文件夹中没有资料库文件：\n%1\n\n是否在这里新建一个空的资料库？").arg(lib.path()));
    ProgramRun run;
    QVERIFY(run.started());
    CHECK_BOXES();
    QCOMPARE(MainForm->tree->TreeView1->topLevelItemCount(), 0);
    QVERIFY(MastData->ADOTmain->active());
    // The new file has the six tables, with keys that are never reused.
    QCOMPARE(lib.scalar("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                        "('mainfile','richfile','zt','gl','temp','upmain')")
                 .toInt(),
             6);
    QVERIFY(lib.scalar("SELECT sql FROM sqlite_master WHERE name = 'mainfile'").toString().contains("AUTOINCREMENT"));
}

void TestLibraryFile::plainSqlLibraryOpens()
{
    LibraryFixture lib;
    runSqlOn(lib.path(), kLibraryTables + "INSERT INTO zt VALUES (1, '唐诗', 1, 0);");
    ProgramRun run;
    QVERIFY(run.started());
    QCOMPARE(treeText(MainForm->tree->TreeView1), QString("唐诗[0/0]\n"));
    CHECK_BOXES();
}

void TestLibraryFile::brokenFileIsRefusedAndLeftAsItWas_data()
{
    QTest::addColumn<QString>("sql");        // made with plain SQL, when not empty
    QTest::addColumn<QByteArray>("bytes");   // else these bytes
    QTest::addColumn<QString>("reason");

    QTest::newRow("not an SQLite file") << QString() << QByteArray("这不是资料库 not a database\n").repeated(200)
                                        << "这不是一个资料库文件（不是 SQLite 数据库）";
    QTest::newRow("empty file") << QString() << QByteArray("") << "缺少数据表 mainfile";
    QString noGl = kLibraryTables;
    noGl.replace("CREATE TABLE gl (id INTEGER PRIMARY KEY, ztid INTEGER, fileid INTEGER, aztid INTEGER, bztid INTEGER, "
                 "cztid INTEGER, dztid INTEGER);",
                 "");
    QTest::newRow("table missing") << noGl << QByteArray() << "缺少数据表 gl";
    QString noItno = kLibraryTables;
    noItno.replace("itno INTEGER, ", "");
    QTest::newRow("column missing") << noItno << QByteArray() << "数据表 zt 缺少字段 itno";
    QTest::newRow("other tables only") << QString("CREATE TABLE notes (x TEXT); INSERT INTO notes VALUES ('keep');")
                                       << QByteArray() << "缺少数据表 mainfile";
}

void TestLibraryFile::brokenFileIsRefusedAndLeftAsItWas()
{
    QFETCH(QString, sql);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    LibraryFixture lib;
    if (!sql.isEmpty())
        runSqlOn(lib.path(), sql);
    else
        writeBytes(lib.path(), bytes);
    const QByteArray before = fileHash(lib.path());
    const QStringList filesBefore = QDir(lib.folder()).entryList(QDir::Files);

    MessageBoxes::expectNext(MessageBoxes::Ok,
                             QString("无法打开资料库文件 %1：\n%2\n\n程序将退出，文件保持原样。").arg(lib.path(), reason),
                             "云笈研读书匣");
    ProgramRun run;
    QVERIFY(!run.started());
    CHECK_BOXES();
    QCOMPARE(fileHash(lib.path()), before);
    QCOMPARE(QDir(lib.folder()).entryList(QDir::Files), filesBefore);
    QVERIFY(MainForm == nullptr && MastData == nullptr);
}

void TestLibraryFile::lockedFileIsRefused()
{
    LibraryFixture lib;
    runSqlOn(lib.path(), kLibraryTables);
    const QByteArray before = fileHash(lib.path());
    sqlite3 *other = nullptr;
    sqlite3_open(lib.path().toUtf8().constData(), &other);
    QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    MessageBoxes::expectNext(MessageBoxes::Ok,
                             QString("无法打开资料库文件 %1：\n文件被另一个程序锁定，等待后仍无法读取\n\n程序将退出，文件保持原样。")
                                 .arg(lib.path()));
    {
        ProgramRun run;
        QVERIFY(!run.started());
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    CHECK_BOXES();
    QCOMPARE(fileHash(lib.path()), before);
}

void TestLibraryFile::folderInPlaceOfFileIsRefused()
{
    LibraryFixture lib;
    QVERIFY(QDir(lib.folder()).mkdir("wenk.dat"));
    MessageBoxes::expectNext(MessageBoxes::Ok,
                             QString("无法打开资料库文件 %1：\n这是一个文件夹，不是资料库文件\n\n程序将退出，文件保持原样。")
                                 .arg(lib.path()));
    ProgramRun run;
    QVERIFY(!run.started());
    QVERIFY(QFileInfo(lib.path()).isDir());
    CHECK_BOXES();
}

WENK_TEST_MAIN(TestLibraryFile)
#include "tst_libraryfile.moc"
