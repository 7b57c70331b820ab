// The edit and character-format commands on the focused text control.
#include "app/about.h"
#include "app/finddialog.h"
#include "app/main.h"
#include "tests/editor/editordriver.h"
#include "tests/support/dialogdriver.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <QAction>
#include <QCheckBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QToolButton>
#include <memory>

class TestEditCommands : public QObject {
    Q_OBJECT
private slots:
    void formatToggles_data();
    void formatToggles();
    void formatWithoutSelectionAppliesToTyping();
    void cutAndPasteInTheTitle();
    void undoFollowsTheFocusedControl();
    void shortcutsAndHints_data();
    void shortcutsAndHints();
    void checkMarksFollowTheCaret();
    void alignment_data();
    void alignment();
    void bulletsOnAndOff();
    void fontCommand();
    void fontCommandWithoutEditor();
    void find_data();
    void find();
    void findNextRepeats();
    void keysThatRunNothing();
    void aboutBox();
    void closeAndCycleWithKeys();
};

namespace {

void openOne(LibraryFixture &lib)
{
    lib.document(QStringLiteral("标题"), QString(), rtfOf(QStringLiteral("床前明月光")));
    lib.write();
}

// A library of one document, "标题" with the body 床前明月光, and the program
// started on it; opened, the document is in the active editor window.
struct OneDocument {
    explicit OneDocument(bool opened = true)
    {
        openOne(lib);
        run = std::make_unique<ProgramRun>();
        if (opened) editor = openDocument(1);
    }
    LibraryFixture lib;
    std::unique_ptr<ProgramRun> run;
    TMDIChild *editor = nullptr;
};

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
    OneDocument one;
    TMDIChild *editor = one.editor;
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
    OneDocument one;
    TMDIChild *editor = one.editor;
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
    OneDocument one;
    TMDIChild *editor = one.editor;
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
    OneDocument one;
    TMDIChild *editor = one.editor;
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

void TestEditCommands::shortcutsAndHints_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("cut") << "EditCut1" << "Ctrl+X" << "Cut";
    QTest::newRow("copy") << "EditCopy1" << "Ctrl+C" << "Copy";
    QTest::newRow("paste") << "EditPaste1" << "Ctrl+V" << "Paste";
    QTest::newRow("undo") << "EditUndo1" << "Ctrl+Z" << "Undo";
    QTest::newRow("select all") << "EditSelectAll1" << "Ctrl+A" << "Select All";
    QTest::newRow("bold") << "RichEditBold2" << "Ctrl+B" << "Bold";
    QTest::newRow("italic") << "RichEditItalic1" << "Ctrl+I" << "Italic";
    QTest::newRow("underline") << "RichEditUnderline1" << "Ctrl+U" << "Underline";
    QTest::newRow("strike-out") << "RichEditStrikeOut1" << "" << "Strikeout";
    QTest::newRow("centre") << "RichEditAlignCenter1" << "" << "Center";
    QTest::newRow("left") << "RichEditAlignLeft1" << "" << "Align Left";
    QTest::newRow("right") << "RichEditAlignRight1" << "" << "Align Right";
    QTest::newRow("bullets") << "RichEditBullets1" << "" << "Bullets";
    QTest::newRow("find") << "SearchFind1" << "Ctrl+F" << "Find";
    QTest::newRow("find next") << "SearchFindNext1" << "F3" << "Find Next";
    QTest::newRow("exit") << "FileExit1" << "" << "Exit";
}

void TestEditCommands::shortcutsAndHints()
{
    QFETCH(QString, action);
    QFETCH(QString, shortcut);
    QFETCH(QString, tooltip);
    OneDocument one(false);
    QAction *a = MainForm->findChild<QAction *>(action);
    QVERIFY(a);
    QCOMPARE(a->shortcut().toString(), shortcut);
    QCOMPARE(a->toolTip(), tooltip);
}

void TestEditCommands::checkMarksFollowTheCaret()
{
    OneDocument one;
    TMDIChild *editor = one.editor;
    editor->RichEdit1->setFocus();
    QTextCursor c = editor->RichEdit1->textCursor();
    c.setPosition(0);
    c.setPosition(2, QTextCursor::KeepAnchor);
    editor->RichEdit1->setTextCursor(c);
    MainForm->RichEditBold2->trigger();
    QVERIFY(MainForm->RichEditBold2->isChecked());
    c.setPosition(4);
    editor->RichEdit1->setTextCursor(c);
    QVERIFY(!MainForm->RichEditBold2->isChecked());
    QVERIFY(MainForm->RichEditAlignLeft1->isChecked());
    c.setPosition(1);
    editor->RichEdit1->setTextCursor(c);
    QVERIFY(MainForm->RichEditBold2->isChecked());
    // Without a rich-text control in focus a click changes no check mark.
    editor->Edit1->setFocus();
    QVERIFY(!MainForm->RichEditBold2->isChecked());
    MainForm->RichEditItalic1->trigger();
    QVERIFY(!MainForm->RichEditItalic1->isChecked());
}

void TestEditCommands::alignment_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("alignment");
    QTest::newRow("centre") << "RichEditAlignCenter1" << int(Qt::AlignHCenter);
    QTest::newRow("right") << "RichEditAlignRight1" << int(Qt::AlignRight);
    QTest::newRow("left again") << "RichEditAlignLeft1" << int(Qt::AlignLeft);
}

void TestEditCommands::alignment()
{
    QFETCH(QString, action);
    QFETCH(int, alignment);
    OneDocument one;
    TMDIChild *editor = one.editor;
    editor->RichEdit1->setFocus();
    if (action == "RichEditAlignLeft1") editor->RichEdit1->setAlignment(Qt::AlignRight);
    QAction *a = MainForm->findChild<QAction *>(action);
    a->trigger();
    QCOMPARE(int(editor->RichEdit1->alignment() & Qt::AlignHorizontal_Mask), alignment);
    QVERIFY(a->isChecked());
    for (const char *other : {"RichEditAlignCenter1", "RichEditAlignLeft1", "RichEditAlignRight1"})
        if (action != other) QVERIFY2(!MainForm->findChild<QAction *>(other)->isChecked(), other);
    QVERIFY(editor->isModified());
}

void TestEditCommands::bulletsOnAndOff()
{
    LibraryFixture lib;
    lib.document(QStringLiteral("标题"), QString(), rtfOf(QStringLiteral("一\n二\n三")));
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(1);
    editor->RichEdit1->setFocus();
    QTextDocument *doc = editor->RichEdit1->document();
    QTextCursor c(doc);
    c.setPosition(0);
    c.setPosition(3, QTextCursor::KeepAnchor);  // the first two paragraphs
    editor->RichEdit1->setTextCursor(c);
    MainForm->RichEditBullets1->trigger();
    QVERIFY(doc->findBlockByNumber(0).textList());
    QCOMPARE(doc->findBlockByNumber(0).textList(), doc->findBlockByNumber(1).textList());
    QVERIFY(!doc->findBlockByNumber(2).textList());
    QVERIFY(MainForm->RichEditBullets1->isChecked());
    MainForm->RichEditBullets1->trigger();
    QVERIFY(!doc->findBlockByNumber(0).textList());
    QVERIFY(!doc->findBlockByNumber(1).textList());
    QVERIFY(!MainForm->RichEditBullets1->isChecked());
}

void TestEditCommands::fontCommand()
{
    OneDocument one;
    TMDIChild *editor = one.editor;
    editor->RichEdit1->setFocus();
    // The selected text has another font; the dialog shows the editor's own.
    QTextCursor c = editor->RichEdit1->textCursor();
    c.setPosition(0);
    c.setPosition(2, QTextCursor::KeepAnchor);
    QTextCharFormat other;
    other.setFontPointSize(30);
    c.mergeCharFormat(other);
    editor->RichEdit1->setTextCursor(c);
    QFont shown;
    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPointSize(21);
    chosen.setItalic(true);
    whenModalShows([&](QWidget *w) {
        auto *dialog = qobject_cast<QFontDialog *>(w);
        if (!dialog) return false;
        shown = dialog->currentFont();
        dialog->setCurrentFont(chosen);
        dialog->accept();
        return true;
    });
    MainForm->SpeedButton17->click();
    const QFontInfo base(editor->RichEdit1->font());
    QCOMPARE(shown.family(), base.family());
    QCOMPARE(QFontInfo(shown).pixelSize(), 15);
    // Applied to the selection only.
    QTextCursor probe(editor->RichEdit1->document());
    probe.setPosition(1);
    QVERIFY(probe.charFormat().fontItalic());
    QCOMPARE(probe.charFormat().fontPointSize(), 21.0);
    probe.setPosition(4);
    QVERIFY(!probe.charFormat().fontItalic());
    // With nothing selected, the text typed next takes the font.
    editor->RichEdit1->moveCursor(QTextCursor::End);
    whenModalShows([&](QWidget *w) {
        auto *dialog = qobject_cast<QFontDialog *>(w);
        if (!dialog) return false;
        dialog->setCurrentFont(chosen);
        dialog->accept();
        return true;
    });
    MainForm->SpeedButton17->click();
    probe.setPosition(5);
    QVERIFY(!probe.charFormat().fontItalic());
    QTest::keyClicks(editor->RichEdit1, "z");
    probe.setPosition(6);
    QVERIFY(probe.charFormat().fontItalic());
    CHECK_BOXES();
}

void TestEditCommands::fontCommandWithoutEditor()
{
    OneDocument one(false);
    bool shown = false;
    whenModalShows([&](QWidget *w) {
        shown = qobject_cast<QFontDialog *>(w);
        if (shown) static_cast<QDialog *>(w)->reject();
        return shown;
    });
    MainForm->SpeedButton17Click();
    QTest::qWait(50);
    QVERIFY(!shown);
}

void TestEditCommands::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("caret");      // before the search
    QTest::addColumn<int>("foundAt");    // -1: not found
    // The body: "Moon moonlight moon 明月"
    QTest::newRow("down from the start, any case") << "moon" << false << false << false << 0 << 0;
    QTest::newRow("matching case") << "moon" << true << false << false << 0 << 5;
    QTest::newRow("whole words only") << "moon" << true << true << false << 1 << 15;
    QTest::newRow("up from the end") << "moon" << false << false << true << 22 << 15;
    QTest::newRow("Chinese") << "明月" << false << false << false << 0 << 20;
    QTest::newRow("not found: a message naming the text") << "sun" << false << false << false << 0 << -1;
}

void TestEditCommands::find()
{
    QFETCH(QString, text);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(bool, up);
    QFETCH(int, caret);
    QFETCH(int, foundAt);
    LibraryFixture lib;
    lib.document(QStringLiteral("标题"), QString(), rtfOf(QStringLiteral("Moon moonlight moon 明月")));
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(1);
    editor->RichEdit1->setFocus();
    QTextCursor c = editor->RichEdit1->textCursor();
    c.setPosition(caret);
    editor->RichEdit1->setTextCursor(c);
    QTest::keyClick(editor->RichEdit1, Qt::Key_F, Qt::ControlModifier);
    TFindDialog *dialog = MainForm->FindDialog1;
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("查找"));
    dialog->FindText->setText(text);
    dialog->MatchCase->setChecked(matchCase);
    dialog->WholeWord->setChecked(wholeWord);
    (up ? dialog->Up : dialog->Down)->setChecked(true);
    if (foundAt < 0) MessageBoxes::expectNext(MessageBoxes::Ok, QStringLiteral("找不到“sun”。"), QStringLiteral("查找"));
    dialog->FindNext->click();
    CHECK_BOXES();
    const QTextCursor after = editor->RichEdit1->textCursor();
    if (foundAt < 0) {
        QVERIFY(!after.hasSelection());
        return;
    }
    QCOMPARE(after.selectionStart(), foundAt);
    QCOMPARE(after.selectedText(), editor->RichEdit1->toPlainText().mid(foundAt, text.size()));
}

void TestEditCommands::findNextRepeats()
{
    LibraryFixture lib;
    lib.document(QStringLiteral("标题"), QString(), rtfOf(QStringLiteral("ab ab ab")));
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(1);
    editor->RichEdit1->setFocus();
    MainForm->SearchFind1->trigger();
    MainForm->FindDialog1->FindText->setText("ab");
    MainForm->FindDialog1->FindNext->click();
    MainForm->FindDialog1->hide();
    editor->RichEdit1->setFocus();
    QCOMPARE(editor->RichEdit1->textCursor().selectionStart(), 0);
    QTest::keyClick(editor->RichEdit1, Qt::Key_F3);
    QCOMPARE(editor->RichEdit1->textCursor().selectionStart(), 3);
    QTest::keyClick(editor->RichEdit1, Qt::Key_F3);
    QCOMPARE(editor->RichEdit1->textCursor().selectionStart(), 6);
    // The title box has its own text: F3 searches there.
    editor->Edit1->setText("xab");
    editor->Edit1->setFocus();
    editor->Edit1->setCursorPosition(0);
    QTest::keyClick(editor->Edit1, Qt::Key_F3);
    QCOMPARE(editor->Edit1->selectedText(), QStringLiteral("ab"));
    CHECK_BOXES();
}

void TestEditCommands::keysThatRunNothing()
{
    OneDocument one;
    TMDIChild *editor = one.editor;
    editor->RichEdit1->setFocus();
    typeAtEnd(editor->RichEdit1, "改");
    for (const char *key : {"Ctrl+S", "Ctrl+N", "Ctrl+O"}) {
        const QKeySequence seq(key);
        QTest::keySequence(editor->RichEdit1, seq);
    }
    CHECK_BOXES();
    QCOMPARE(MainForm->editorWindows().size(), 1);
    QVERIFY(editor->isModified());
    QCOMPARE(one.lib.scalar("SELECT count(*) FROM mainfile").toInt(), 1);
    QCOMPARE(one.lib.scalar("SELECT text FROM mainfile").toString(), QString());
}

void TestEditCommands::aboutBox()
{
    OneDocument one(false);
    QSize size;
    QString title, button;
    QSize picture;
    bool isDefault = false;
    whenModalShows([&](QWidget *w) {
        auto *box = qobject_cast<TAboutBox *>(w);
        if (!box) return false;
        size = box->size();
        title = box->windowTitle();
        button = box->OKButton->text();
        isDefault = box->OKButton->isDefault();
        picture = box->ProgramIcon->pixmap().size();
        box->OKButton->click();
        return true;
    });
    MainForm->HelpAbout1->trigger();
    QCOMPARE(size, QSize(327, 284));
    QCOMPARE(title, QStringLiteral("关于作者"));
    QCOMPARE(button, QStringLiteral("返回"));
    QVERIFY(isDefault);
    QCOMPARE(picture, QSize(289, 193));
}

void TestEditCommands::closeAndCycleWithKeys()
{
    LibraryFixture lib;
    for (const char *name : {"一", "二", "三"}) lib.document(QString::fromUtf8(name), QString(), rtfOf("x"));
    lib.write();
    ProgramRun run;
    openDocument(1);
    openDocument(2);
    TMDIChild *third = openDocument(3);
    third->RichEdit1->setFocus();
    QTest::keyClick(third->RichEdit1, Qt::Key_Tab, Qt::ControlModifier);
    TMDIChild *next = MainForm->activeEditor();
    QVERIFY(next != third);
    next->RichEdit1->setFocus();
    QTest::keyClick(next->RichEdit1, Qt::Key_F4, Qt::ControlModifier);
    settleDeletes();
    QCOMPARE(MainForm->editorWindows().size(), 2);
    TMDIChild *left = MainForm->activeEditor();
    QVERIFY(left);
    typeAtEnd(left->RichEdit1, "改");
    // Through the close question, like the close box.
    MessageBoxes::expectNext(MessageBoxes::No, QStringLiteral("是否保存对 ") + left->Edit1->text() +
                                                   QStringLiteral(" 修改？"));
    left->RichEdit1->setFocus();
    QTest::keyClick(left->RichEdit1, Qt::Key_W, Qt::ControlModifier);
    settleDeletes();
    CHECK_BOXES();
    QCOMPARE(MainForm->editorWindows().size(), 1);
}

WENK_TEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"
