// Start-up order, the worker's hand-over, and shutdown.
#include "app/UnitMYTH.h"
#include "app/main.h"
#include "app/startup.h"
#include "data/Unit1.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"
#include "topics/topictree.h"

#include <QApplication>
#include <QAction>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>
#include <sqlite3.h>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void objectsAndDatasetsInOrder();
    void documentDatasetsOpenOnceTheLoopRuns();
    void workerErrorIsShown();
    void firstActivationLoadsTreeInLibraryMode();
    void iconAndLibraryFileShown();
    void exitWithNoEditorEndsAtOnce();
    void editInProgressAtExitIsDropped();
};

void TestStartup::objectsAndDatasetsInOrder()
{
    LibraryFixture lib;
    lib.write();
    ProgramRun run;
    QVERIFY(run.started());
    QCOMPARE(QApplication::applicationDisplayName(), QString("云笈研读书匣"));
    QCOMPARE(MainForm->windowTitle(), QString("云笈研读书匣"));
    QStringList made = startupTrace().mid(0, 5);
    QCOMPARE(made, (QStringList{"TMainForm", "TMastData", "TForm3", "Tfrmselectnode", "Tfrmget"}));
    const QStringList opened = startupTrace().mid(startupTrace().indexOf("MYTH") + 1, 12);
    QCOMPARE(opened, (QStringList{"ADOTable1", "ADOTable2", "ADOTable3", "ADOTable4", "ADOTable5", "ADOTable6",
                                  "ADOTable7", "ADOTable8", "ADOTable1check", "ADOTgl2", "ADOTzt", "ADOTtemp"}));
    // The document datasets open after all of those, and after the window is shown.
    const QStringList rest = startupTrace().mid(startupTrace().indexOf("ADOTtemp") + 1);
    QCOMPARE(rest, (QStringList{"shown", "ADOTmain", "ADOTfile"}));
    QVERIFY(MainForm->isMaximized());
}

void TestStartup::documentDatasetsOpenOnceTheLoopRuns()
{
    LibraryFixture lib;
    lib.document("文");
    lib.write();
    QVERIFY(startProgram());
    // startProgram returns before any event is served: the worker is still
    // waiting and the document datasets are closed.
    QVERIFY(!MastData->ADOTmain->active());
    QVERIFY(!MastData->ADOTfile->active());
    QVERIFY(MastData->ADOTtemp->active());
    QCOMPARE(startupWorker()->objectName(), QString("MYOPEN"));
    QVERIFY(!startupWorker()->requestServed());
    QElapsedTimer t;
    t.start();
    while (!startupWorker()->isFinished() && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QVERIFY(startupWorker()->requestServed());
    QVERIFY(MastData->ADOTmain->active());
    QVERIFY(MastData->ADOTfile->active());
    QCOMPARE(MastData->ADOTmain->recordCount(), 1);
    stopProgram();
    QVERIFY(MainForm == nullptr && MastData == nullptr);
}

void TestStartup::workerErrorIsShown()
{
    LibraryFixture lib;
    lib.write();
    QVERIFY(startProgram());
    // Take the documents table away before the worker's request runs.
    sqlite3 *other = nullptr;
    sqlite3_open(lib.path().toUtf8().constData(), &other);
    sqlite3_exec(other, "ALTER TABLE mainfile RENAME TO gone", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    MastData->database().markAllChanged();
    MessageBoxes::expectNext(MessageBoxes::Ok, "no such table: mainfile", "云笈研读书匣");
    QElapsedTimer t;
    t.start();
    while (!startupWorker()->isFinished() && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCOMPARE(startupWorker()->error(), QString("no such table: mainfile"));
    QVERIFY(!MastData->ADOTmain->active());
    stopProgram();
    CHECK_BOXES();
}

// The windows carry the program's icon, and the status bar's tooltip names
// the library file in use.
void TestStartup::iconAndLibraryFileShown()
{
    LibraryFixture lib;
    lib.write();
    ProgramRun run;
    QVERIFY(run.started());
    QCOMPARE(MainForm->StatusBar1->toolTip(), QStringLiteral("资料库：") + lib.path());
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    QVERIFY2(sizes.contains(QSize(48, 48)) && sizes.contains(QSize(256, 256)), qPrintable(QString::number(sizes.size())));
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("net.wenk.Shuxia"));
}

void TestStartup::firstActivationLoadsTreeInLibraryMode()
{
    LibraryFixture lib;
    lib.topics("甲\n");
    lib.write();
    ProgramRun run;
    QCOMPARE(treeText(MainForm->tree->TreeView1), QString("甲[0/0]\n"));
    QVERIFY(MainForm->inLibraryMode());
    // The reload enabled "M"; entering library mode disabled it again.
    QVERIFY(!MainForm->SpeedButton5->isEnabled());
    QVERIFY(MainForm->SpeedButton2->isEnabled());
}

void TestStartup::exitWithNoEditorEndsAtOnce()
{
    LibraryFixture lib;
    lib.write();
    ProgramRun run;
    QVERIFY(MainForm->isVisible());
    MainForm->N20->trigger();
    QVERIFY(!MainForm->isVisible());
    CHECK_BOXES();
}

// Rows in edit in a master and its details when the program ends: none of
// them reaches the file.
void TestStartup::editInProgressAtExitIsDropped()
{
    LibraryFixture lib;
    lib.topics("甲\n");
    const qint64 doc = lib.document("原题", "原文");
    lib.write();
    {
        ProgramRun run;
        run.settle();
        TMastData *d = MastData;
        QVERIFY(d->ADOTmain->locate("id", doc));
        d->ADOTmain->edit();
        d->ADOTmain->setFieldValue("name", "改题");
        d->ADOTfile->edit();  // no body row yet: a new one
        d->ADOTfile->setFieldValue("richtext", QByteArray("{\\rtf1 x}"));
        d->ADOTable1->first();
        d->ADOTable5->append();
        d->ADOTable5->setFieldValue("fileid", doc);
    }
    QCOMPARE(lib.query("SELECT name, text FROM mainfile"), (QList<QVariantList>{{"原题", "原文"}}));
    QCOMPARE(lib.scalar("SELECT count(*) FROM richfile").toInt(), 0);
    QCOMPARE(lib.scalar("SELECT count(*) FROM gl").toInt(), 0);
}

WENK_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
