// Marks of places in documents and the jump window: their labels, going to
// one, and stepping to the mark made before or after.
#include "app/main.h"
#include "data/Unit1.h"
#include "documents/Unit3.h"
#include "editor/childwin.h"
#include "tests/editor/editordriver.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

class TestMarks : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void labels();
    void markWithoutEditorDoesNothing();
    void goToSelected();
    void goToADeletedDocument();
    void caretBeyondTheEnd();
    void steps_data();
    void steps();
    void jumpWindow();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<ProgramRun> run;
};

namespace {

// Puts the caret of the editor at from, selecting up to to.
void select(TMDIChild *editor, int from, int to)
{
    QTextCursor c = editor->RichEdit1->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    editor->RichEdit1->setTextCursor(c);
}

QStringList marks()
{
    QStringList out;
    for (int i = 0; i < Form3->TreeView1->topLevelItemCount(); ++i) out << Form3->TreeView1->topLevelItem(i)->text(0);
    return out;
}

int selectedMark()
{
    QTreeWidgetItem *m = Form3->selectedMark();
    return m ? TForm3::ordinalOf(m) : -1;
}

}  // namespace

void TestMarks::init()
{
    lib = std::make_unique<LibraryFixture>();
    lib->topics("甲\n");
    for (const char *name : {"甲文", "乙文", "丙文"}) {
        const qint64 id = lib->document(QString::fromUtf8(name), "一二三四五六七八九十", rtfOf("一二三四五六七八九十"));
        lib->link(id, "甲");
    }
    lib->write();
    run = std::make_unique<ProgramRun>();
    QVERIFY(run->started());
}

void TestMarks::cleanup()
{
    run.reset();
    lib.reset();
    CHECK_BOXES();
}

void TestMarks::labels()
{
    TMDIChild *editor = openDocument(1);
    select(editor, 2, 4);
    // The stored title, not one being edited.
    typeText(editor->Edit1, "改");
    MainForm->SpeedButton5->click();
    select(editor, 6, 6);
    MainForm->SpeedButton5->click();
    MainForm->SpeedButton5->click();
    QCOMPARE(marks(), (QStringList{"0《甲文》 三四", "1《甲文》 ", "2《甲文》 "}));
    QCOMPARE(MainForm->MarkCount, 3);
    QCOMPARE(MainForm->CurrentDocId, 1);
    QCOMPARE(selectedMark(), 2);
    QTreeWidgetItem *first = Form3->TreeView1->topLevelItem(0);
    QCOMPARE(TForm3::documentOf(first), 1);
    QCOMPARE(TForm3::caretOf(first), 2);
    QVERIFY(!Form3->isVisible());
}

void TestMarks::markWithoutEditorDoesNothing()
{
    MainForm->SpeedButton5Click();
    QVERIFY(marks().isEmpty());
    QCOMPARE(MainForm->MarkCount, 0);
}

void TestMarks::goToSelected()
{
    TMDIChild *first = openDocument(1);
    select(first, 7, 7);
    MainForm->SpeedButton5->click();
    TMDIChild *second = openDocument(2);
    MainForm->SpeedButton5->click();
    QVERIFY(closeWindow(first));
    MainForm->SpeedButton4->click();
    QCoreApplication::processEvents();  // the jump window becomes the active one
    QVERIFY(Form3->isVisible());
    Form3->TreeView1->setCurrentItem(Form3->TreeView1->topLevelItem(0));
    Form3->SpeedButton1->click();
    QCoreApplication::processEvents();
    // The closed document opens again, with the caret at the mark.
    QVERIFY(!Form3->isVisible());
    TMDIChild *opened = MainForm->activeEditor();
    QVERIFY(opened && opened != second);
    QCOMPARE(opened->documentId(), 1);
    QCOMPARE(caretOf(opened), 7);
    QVERIFY(!MainForm->inLibraryMode());
    QCOMPARE(MainForm->PendingCaret, 0);
    // A double click does the same.
    MainForm->SpeedButton4->click();
    QCoreApplication::processEvents();
    QTreeWidget *list = Form3->TreeView1;
    const QPoint at = list->visualItemRect(list->topLevelItem(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QCoreApplication::processEvents();
    QCOMPARE(MainForm->activeEditor(), second);
    QVERIFY(!Form3->isVisible());
    QVERIFY(!MainForm->inLibraryMode());
}

void TestMarks::goToADeletedDocument()
{
    TMDIChild *editor = openDocument(3);
    MainForm->SpeedButton5->click();
    MessageBoxes::expectNext(MessageBoxes::Yes, QStringLiteral("确定删除 丙文 文件吗？"));
    MainForm->ToolButton29Click();
    CHECK_BOXES();
    QVERIFY(MainForm->editorWindows().isEmpty());
    Q_UNUSED(editor);
    // Still listed and selectable; going to it opens nothing.
    QCOMPARE(marks(), QStringList{"0《丙文》 "});
    Form3->SpeedButton1->click();
    QVERIFY(MainForm->editorWindows().isEmpty());
}

void TestMarks::caretBeyondTheEnd()
{
    TMDIChild *editor = openDocument(1);
    select(editor, 10, 10);
    MainForm->SpeedButton5->click();
    editor->RichEdit1->selectAll();
    QTest::keyClick(editor->RichEdit1, Qt::Key_Delete);
    typeText(editor->RichEdit1, "短");
    Form3->SpeedButton1->click();
    QCOMPARE(caretOf(editor), 1);
}

void TestMarks::steps_data()
{
    QTest::addColumn<int>("from");     // the mark selected; -1 none
    QTest::addColumn<QString>("step");  // "<" or ">"
    QTest::addColumn<int>("to");       // the mark selected after
    QTest::addColumn<qint64>("opened");  // the active document after; 0 when nothing opened
    QTest::addColumn<int>("caret");
    // Marks: 0 in 甲文 at 1, 1 in 乙文 at 5, 2 in 甲文 at 8.
    QTest::newRow("< from the last: the one made before, in another document") << 2 << "<" << 1 << qint64(2) << 5;
    QTest::newRow("> from the first") << 0 << ">" << 1 << qint64(2) << 5;
    QTest::newRow("> from the middle to a document opened again") << 1 << ">" << 2 << qint64(1) << 8;
    QTest::newRow("< at the first: nothing") << 0 << "<" << 0 << qint64(0) << 0;
    QTest::newRow("> at the last: nothing, no wrap-around") << 2 << ">" << 2 << qint64(0) << 0;
    QTest::newRow("nothing selected: nothing") << -1 << ">" << -1 << qint64(0) << 0;
}

void TestMarks::steps()
{
    QFETCH(int, from);
    QFETCH(QString, step);
    QFETCH(int, to);
    QFETCH(qint64, opened);
    QFETCH(int, caret);
    const QList<QPair<qint64, int>> places = {{1, 1}, {2, 5}, {1, 8}};
    for (const auto &[doc, at] : places) {
        TMDIChild *editor = openDocument(doc);
        select(editor, at, at);
        MainForm->SpeedButton5->click();
    }
    // Every window closed again, so a step shows what it opened.
    for (TMDIChild *e : MainForm->editorWindows()) QVERIFY(closeWindow(e));
    if (from < 0)
        Form3->TreeView1->clearSelection();
    else
        Form3->selectMark(from);
    (step == "<" ? MainForm->SpeedButton11 : MainForm->SpeedButton10)->click();
    QCOMPARE(selectedMark(), to);
    TMDIChild *active = MainForm->activeEditor();
    QCOMPARE(active ? active->documentId() : 0, opened);
    if (active) QCOMPARE(caretOf(active), caret);
    QVERIFY(!Form3->isVisible());
}

void TestMarks::jumpWindow()
{
    QCOMPARE(Form3->windowTitle(), QStringLiteral("跳转选择窗"));
    QVERIFY(Form3->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(Form3->windowFlags() & Qt::WindowMinimizeButtonHint));
    TMDIChild *editor = openDocument(2);
    Q_UNUSED(editor);
    MainForm->SpeedButton5->click();
    MainForm->SpeedButton4->click();
    QVERIFY(Form3->isVisible());
    QVERIFY(!Form3->isModal());
    Form3->SpeedButton2->click();
    QVERIFY(!Form3->isVisible());
    MainForm->SpeedButton4->click();
    Form3->close();
    QVERIFY(!Form3->isVisible());
    // Marks and selection stay while it is hidden.
    QCOMPARE(marks(), QStringList{"0《乙文》 "});
    QCOMPARE(selectedMark(), 0);
    // "<", ">" and "JUMP" are always offered; "M" in editing mode only.
    MainForm->SpeedButton1Click();
    QVERIFY(MainForm->inLibraryMode());
    QVERIFY(MainForm->SpeedButton4->isEnabled() && MainForm->SpeedButton10->isEnabled() &&
            MainForm->SpeedButton11->isEnabled());
    QVERIFY(!MainForm->SpeedButton5->isEnabled());
}

WENK_TEST_MAIN(TestMarks)
#include "tst_marks.moc"
