// Arranging the editor windows.
#include "app/main.h"
#include "tests/editor/editordriver.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

class TestWindowArrange : public QObject {
    Q_OBJECT
private slots:
    void offeredOnlyWithEditorWindows();
    void tiles_data();
    void tiles();
    void cascadeAndMinimizeAll();
};

namespace {

void writeThreeDocuments(LibraryFixture &lib)
{
    for (const char *name : {"甲", "乙", "丙"}) lib.document(QString::fromUtf8(name), QString(), rtfOf("x"));
    lib.write();
}

QList<QAction *> windowActions()
{
    return {MainForm->WindowCascade1, MainForm->WindowTileHorizontal1, MainForm->WindowTileVertical1,
            MainForm->WindowMinimizeAll1};
}

}  // namespace

void TestWindowArrange::offeredOnlyWithEditorWindows()
{
    LibraryFixture lib;
    writeThreeDocuments(lib);
    ProgramRun run;
    for (QAction *a : windowActions()) QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    TMDIChild *editor = openDocument(1);
    for (QAction *a : windowActions()) QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
    QVERIFY(closeWindow(editor));
    settleDeletes();
    for (QAction *a : windowActions()) QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    CHECK_BOXES();
}

void TestWindowArrange::tiles_data()
{
    QTest::addColumn<bool>("sideBySide");
    QTest::newRow("tile vertically: side by side, full height") << true;
    QTest::newRow("tile horizontally: one above the other, full width") << false;
}

void TestWindowArrange::tiles()
{
    QFETCH(bool, sideBySide);
    LibraryFixture lib;
    writeThreeDocuments(lib);
    ProgramRun run;
    for (qint64 id : {1, 2, 3}) openDocument(id);
    (sideBySide ? MainForm->WindowTileVertical1 : MainForm->WindowTileHorizontal1)->trigger();
    const QRect area = MainForm->mdiArea->viewport()->rect();
    const QList<QMdiSubWindow *> subs = MainForm->mdiArea->subWindowList(QMdiArea::CreationOrder);
    QCOMPARE(subs.size(), 3);
    int covered = 0;
    for (int i = 0; i < 3; ++i) {
        const QRect g = subs[i]->geometry();
        if (sideBySide) {
            QCOMPARE(g.top(), 0);
            QCOMPARE(g.height(), area.height());
            QCOMPARE(g.left(), covered);
            covered += g.width();
        } else {
            QCOMPARE(g.left(), 0);
            QCOMPARE(g.width(), area.width());
            QCOMPARE(g.top(), covered);
            covered += g.height();
        }
    }
    QCOMPARE(covered, sideBySide ? area.width() : area.height());
    CHECK_BOXES();
}

void TestWindowArrange::cascadeAndMinimizeAll()
{
    LibraryFixture lib;
    writeThreeDocuments(lib);
    ProgramRun run;
    for (qint64 id : {1, 2}) openDocument(id);
    MainForm->WindowCascade1->trigger();
    const QList<QMdiSubWindow *> subs = MainForm->mdiArea->subWindowList(QMdiArea::CreationOrder);
    QVERIFY(subs[0]->geometry().topLeft() != subs[1]->geometry().topLeft());
    MainForm->WindowMinimizeAll1->trigger();
    for (QMdiSubWindow *sub : subs) QVERIFY(sub->isMinimized());
    CHECK_BOXES();
}

WENK_TEST_MAIN(TestWindowArrange)
#include "tst_windowarrange.moc"
