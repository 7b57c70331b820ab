// The edit and character-format commands on the focused text control.
#include "app/main.h"
#include "tests/editor/editordriver.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <QAction>
#include <QLineEdit>
#include <QTextCursor>
#include <QTextEdit>

class TestEditCommands : public QObject {
    Q_OBJECT
private slots:
    void formatToggles_data();
    void formatToggles();
    void formatWithoutSelectionAppliesToTyping();
    void cutAndPasteInTheTitle();
    void undoFollowsTheFocusedControl();
};

namespace {

void openOne(LibraryFixture &lib)
{
    lib.document(QStringLiteral("标题"), QString(), rtfOf(QStringLiteral("床前明月光")));
    lib.write();
}

}  // namespace

void TestEditCommands::formatToggles_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("which");  // 0 bold, 1 italic, 2 underline, 3 strike-out
    QTest::newRow("bold") << "RichEditBold2" << 0;
    QTest::newRow("italic") << "RichEditItalic1" << 1;
    QTest::newRow("underline") << "RichEditUnderline1" << 2;
    QTest::newRow("strike-out") << "RichEditStrikeOut1" << 3;
}

void TestEditCommands::formatToggles()
{
    QFETCH(QString, action);
    QFETCH(int, which);
    LibraryFixture lib;
    openOne(lib);
    ProgramRun run;
    TMDIChild *editor = openDocument(1);
    QVERIFY(editor);
    editor->RichEdit1->setFocus();
    editor->RichEdit1->selectAll();
    auto has = [&](int pos) {
        QTextCursor c(editor->RichEdit1->document());
        c.setPosition(pos + 1);
        const QTextCharFormat f = c.charFormat();
        switch (which) {
        case 0: return f.fontWeight() >= QFont::Bold;
        case 1: return f.fontItalic();
        case 2: return f.fontUnderline();
        default: return f.fontStrikeOut();
        }
    };
    QVERIFY(!has(0));
    QAction *a = MainForm->findChild<QAction *>(action);
    QVERIFY(a);
    a->trigger();
    QVERIFY(has(0) && has(4));
    a->trigger();
    QVERIFY(!has(0) && !has(4));
    CHECK_BOXES();
}

void TestEditCommands::formatWithoutSelectionAppliesToTyping()
{
    LibraryFixture lib;
    openOne(lib);
    ProgramRun run;
    TMDIChild *editor = openDocument(1);
    editor->RichEdit1->setFocus();
    editor->RichEdit1->moveCursor(QTextCursor::End);
    MainForm->RichEditBold2->trigger();
    QTest::keyClicks(editor->RichEdit1, "ab");
    QTextCursor c(editor->RichEdit1->document());
    c.setPosition(1);
    QVERIFY(c.charFormat().fontWeight() < QFont::Bold);  // existing text unchanged
    c.setPosition(editor->RichEdit1->document()->characterCount() - 1);
    QVERIFY(c.charFormat().fontWeight() >= QFont::Bold);
    QCOMPARE(editor->RichEdit1->toPlainText(), QStringLiteral("床前明月光ab"));
}

void TestEditCommands::cutAndPasteInTheTitle()
{
    LibraryFixture lib;
    openOne(lib);
    ProgramRun run;
    TMDIChild *editor = openDocument(1);
    editor->Edit1->setFocus();
    editor->Edit1->selectAll();
    MainForm->EditCut1->trigger();
    QCOMPARE(editor->Edit1->text(), QString());
    MainForm->EditPaste1->trigger();
    MainForm->EditPaste1->trigger();
    QCOMPARE(editor->Edit1->text(), QStringLiteral("标题标题"));
    MainForm->EditSelectAll1->trigger();
    QCOMPARE(editor->Edit1->selectedText(), QStringLiteral("标题标题"));
}

void TestEditCommands::undoFollowsTheFocusedControl()
{
    LibraryFixture lib;
    openOne(lib);
    ProgramRun run;
    TMDIChild *editor = openDocument(1);
    editor->RichEdit1->setFocus();
    QVERIFY(!MainForm->EditUndo1->isEnabled());
    QTest::keyClicks(editor->RichEdit1, "x");
    QVERIFY(MainForm->EditUndo1->isEnabled());
    MainForm->EditUndo1->trigger();
    QCOMPARE(editor->RichEdit1->toPlainText(), QStringLiteral("床前明月光"));
    QVERIFY(!MainForm->EditUndo1->isEnabled());
    editor->Edit1->setFocus();
    QVERIFY(!MainForm->EditUndo1->isEnabled());
}

WENK_TEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
