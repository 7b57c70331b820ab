// Backups: made at start when the library changed, the last five kept, and
// one restored through the menu with the current file kept first.
#include "app/main.h"
#include "app/restorebackup.h"
#include "app/startup.h"
#include "data/Unit1.h"
#include "data/backups.h"
#include "data/database.h"
#include "data/dataerror.h"
#include "tests/support/dialogdriver.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <QAction>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <sqlite3.h>

namespace {


QString titleIn(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT group_concat(name, ',') FROM (SELECT name FROM mainfile ORDER BY id)", -1, &st,
                       nullptr);
    QString names;
    if (sqlite3_step(st) == SQLITE_ROW) names = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return names;
}

// Starts the program, waits for its backup, and stops it.
QString startOnce()
{
    ProgramRun run;
    if (!run.started() || !startupBackup()) return QStringLiteral("not started");
    startupBackup()->wait();
    return startupBackup()->error().isEmpty() ? startupBackup()->result() : startupBackup()->error();
}

}  // namespace

class TestBackups : public QObject {
    Q_OBJECT
private slots:
    void madeAtStartOnlyWhenChanged();
    void lastFiveKept();
    void restoredThroughTheMenu();
    void noBackupYet();
    void restoreRefusedWhileAnotherProgramHasTheFile();
    void damagedLibraryIsKeptAsItIsAndReplaced();
};

void TestBackups::madeAtStartOnlyWhenChanged()
{
    LibraryFixture lib;
    lib.document(QStringLiteral("甲"), QStringLiteral("正文"));
    lib.write();
    const QString first = startOnce();
    QVERIFY2(first.startsWith(backups::folderOf(lib.path())), qPrintable(first));
    QCOMPARE(titleIn(first), QStringLiteral("甲"));
    // Nothing changed: no second copy.
    QCOMPARE(startOnce(), QString());
    // Another program writes: the next start copies again.
    runSqlOn(lib.path(), "INSERT INTO mainfile (name, text) VALUES ('乙', '')");
    const QString second = startOnce();
    QVERIFY(!second.isEmpty() && second != first);
    QCOMPARE(titleIn(second), QStringLiteral("甲,乙"));
    QCOMPARE(backups::list(lib.path()).size(), size_t(2));
    QCOMPARE(backups::list(lib.path()).front().path, second);
}

void TestBackups::lastFiveKept()
{
    LibraryFixture lib;
    lib.write();
    QStringList made;
    for (int i = 0; i < 7; ++i) made << backups::make(lib.path(), true);
    QStringList kept;
    for (const backups::Backup &b : backups::list(lib.path())) kept << b.path;
    std::reverse(made.begin(), made.end());
    QCOMPARE(kept, made.mid(0, 5));
    QCOMPARE(QDir(backups::folderOf(lib.path())).entryList(QDir::Files).size(), 5);

    // A part-written copy of a killed program goes after a day, not before.
    const QDir dir(backups::folderOf(lib.path()));
    for (const char *name : {"wenk-old.dat.part", "wenk-new.dat.part"}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("part");
        f.flush();
        if (QByteArray(name).contains("old"))
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    }
    backups::make(lib.path(), true);
    QVERIFY(!QFileInfo::exists(dir.filePath("wenk-old.dat.part")));
    QVERIFY(QFileInfo::exists(dir.filePath("wenk-new.dat.part")));
}

void TestBackups::restoredThroughTheMenu()
{
    LibraryFixture lib;
    lib.document(QStringLiteral("旧题"), QStringLiteral("正文"));
    lib.write();
    ProgramRun run;
    QVERIFY(run.started());
    startupBackup()->wait();
    const QString backup = startupBackup()->result();
    QVERIFY(!backup.isEmpty());
    runSqlOn(lib.path(), "UPDATE mainfile SET name = '新题'");

    const backups::Backup listed = backups::list(lib.path()).front();
    QStringList shownRows;
    whenModalShows([&](QWidget *w) {
        auto *dialog = qobject_cast<TRestoreDialog *>(w);
        if (!dialog) return false;
        for (int r = 0; r < dialog->BackupList->rowCount(); ++r)
            shownRows << dialog->BackupList->item(r, 0)->text() + " " + dialog->BackupList->item(r, 1)->text();
        dialog->findChild<QPushButton *>("RestoreButton")->click();
        return true;
    });
    const QString when = listed.made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    MessageBoxes::expectNext(MessageBoxes::Yes,
                             QStringLiteral("用 %1 的备份替换现在的资料库吗？\n替换之前，现在的资料库会先另存为一个备份。").arg(when));
    MessageBoxes::expectNext(MessageBoxes::Ok, QStringLiteral("已恢复 %1 的备份。恢复前的资料库已另存为一个备份。").arg(when));
    QPointer<TMainForm> before = MainForm;
    MainForm->RestoreBackup1->trigger();
    // The program starts again on the restored file.
    QTRY_VERIFY(!before && MainForm && MainForm->isVisible());
    CHECK_BOXES();
    QCOMPARE(shownRows.size(), 1);
    QVERIFY2(shownRows.first().startsWith(when + " "), qPrintable(shownRows.first()));

    QCOMPARE(titleIn(lib.path()), QStringLiteral("旧题"));
    MastData->ADOTmain->open();
    QCOMPARE(MastData->ADOTmain->fieldText("name"), QStringLiteral("旧题"));
    // The file it replaced is a backup now.
    QStringList kept;
    for (const backups::Backup &b : backups::list(lib.path())) kept << titleIn(b.path);
    QVERIFY2(kept.contains(QStringLiteral("新题")) && kept.contains(QStringLiteral("旧题")), qPrintable(kept.join(",")));
}

void TestBackups::noBackupYet()
{
    LibraryFixture lib;
    lib.write();
    ProgramRun run;
    startupBackup()->wait();
    QDir(backups::folderOf(lib.path())).removeRecursively();
    MessageBoxes::expectNext(MessageBoxes::Ok, QStringLiteral("还没有备份。程序每次启动时把资料库备份到 %1 中。")
                                                   .arg(QDir::toNativeSeparators(backups::folderOf(lib.path()))));
    MainForm->RestoreBackup1->trigger();
    CHECK_BOXES();
}

void TestBackups::restoreRefusedWhileAnotherProgramHasTheFile()
{
    LibraryFixture lib;
    lib.document(QStringLiteral("旧题"));
    lib.write();
    const QString backup = backups::make(lib.path(), true);
    runSqlOn(lib.path(), "PRAGMA journal_mode=WAL; UPDATE mainfile SET name = '新题'");
    Database other;  // another copy of the program, on the same file
    other.openLibrary(lib.path());
    QString refusal;
    try {
        backups::restore(lib.path(), backup);
    } catch (const DataError &e) {
        refusal = e.message();
    }
    QVERIFY2(refusal.startsWith(QStringLiteral("另一个程序正在使用资料库文件")), qPrintable(refusal));
    other.close();
    QCOMPARE(titleIn(lib.path()), QStringLiteral("新题"));
    QVERIFY(!QFileInfo::exists(lib.path() + ".restoring"));
}

// A library the engine cannot copy is kept byte for byte, and replaced.
void TestBackups::damagedLibraryIsKeptAsItIsAndReplaced()
{
    LibraryFixture lib;
    for (int i = 0; i < 200; ++i) lib.document(QStringLiteral("文%1").arg(i), QString(500, QChar(0x6587)));
    lib.write();
    const QString backup = backups::make(lib.path(), true);
    QFile f(lib.path());
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.seek(8192);
    f.write(QByteArray(20000, '\xAB'));
    f.close();
    QFile damagedFile(lib.path());
    QVERIFY(damagedFile.open(QIODevice::ReadOnly));
    const QByteArray damaged = damagedFile.readAll();
    damagedFile.close();

    backups::restore(lib.path(), backup);
    QVERIFY(titleIn(lib.path()).startsWith(QStringLiteral("文0,文1,")));
    bool kept = false;
    for (const backups::Backup &b : backups::list(lib.path())) {
        QFile copy(b.path);
        copy.open(QIODevice::ReadOnly);
        kept |= copy.readAll() == damaged;
    }
    QVERIFY(kept);
}

WENK_TEST_MAIN(TestBackups)
#include "tst_backups.moc"
