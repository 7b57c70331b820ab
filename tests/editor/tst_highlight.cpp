// The keyword highlight view of an editor window: every occurrence in blue,
// and the editor's caret where the view was clicked.
#include "app/main.h"
#include "editor/childwin.h"
#include "tests/editor/editordriver.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <memory>

class TestHighlight : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void colouredOccurrences_data();
    void colouredOccurrences();
    void releaseReturnsTheCaret_data();
    void releaseReturnsTheCaret();
    void formattingIsNotCarried();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<ProgramRun> run;
    TMDIChild *open(const QString &body);
};

namespace {

// The view's text with its blue characters in brackets: "x[ab]y".
QString marked(QPlainTextEdit *view)
{
    QString out;
    bool inBlue = false;
    const QString text = view->document()->toPlainText();
    for (int i = 0; i < text.size(); ++i) {
        QTextCursor c(view->document());
        c.setPosition(i + 1);
        // A paragraph end has no colour of its own.
        const bool blue = text[i] != '\n' && c.charFormat().foreground().color() == QColor(0, 0, 255);
        if (blue != inBlue) out += blue ? '[' : ']';
        inBlue = blue;
        out += text[i];
    }
    return inBlue ? out + ']' : out;
}

}  // namespace

void TestHighlight::cleanup()
{
    run.reset();
    lib.reset();
    CHECK_BOXES();
}

TMDIChild *TestHighlight::open(const QString &body)
{
    lib = std::make_unique<LibraryFixture>();
    lib->topics("甲\n");
    lib->link(lib->document("文", body, body.isEmpty() ? QByteArray() : rtfOf(body)), "甲");
    lib->write();
    run = std::make_unique<ProgramRun>();
    return openDocument(1);
}

void TestHighlight::colouredOccurrences_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("keyword");  // null: the box's initial text
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("selectionStart");  // of the view, after
    QTest::newRow("one occurrence") << "xaby" << "ab" << "x[ab]y" << 1;
    QTest::newRow("case-sensitive") << "Word word Word" << "Word" << "[Word] word [Word]" << 10;
    QTest::newRow("overlapping by one character") << "ababa" << "aba" << "[ababa]" << 2;
    QTest::newRow("one character, each once") << "a,aa" << "a" << "[a],[aa]" << 3;
    QTest::newRow("the initial keyword text") << "看关键词反显" << QString() << "看[关键词反显]" << 1;
    QTest::newRow("across paragraphs, near the end") << "一\n二明月\n明月" << "明月" << "一\n二[明月]\n[明月]" << 6;
    QTest::newRow("empty keyword: no colour") << "xaby" << "" << "xaby" << 0;
    QTest::newRow("not found") << "xaby" << "zz" << "xaby" << 0;
    QTest::newRow("empty document") << "" << "ab" << "" << 0;
}

void TestHighlight::colouredOccurrences()
{
    QFETCH(QString, body);
    QFETCH(QString, keyword);
    QFETCH(QString, expected);
    QFETCH(int, selectionStart);
    TMDIChild *editor = open(body);
    QCOMPARE(editor->Edit2->text(), QStringLiteral("关键词反显"));
    if (!keyword.isNull()) editor->Edit2->setText(keyword);
    editor->RichEdit1->moveCursor(QTextCursor::End);
    editor->SpeedButton3->click();
    QVERIFY(editor->SpeedButton3->isChecked());
    QCOMPARE(editor->BodyArea->currentWidget(), editor->RichEdit3);
    QCOMPARE(marked(editor->RichEdit3), expected);
    QCOMPARE(editor->RichEdit3->textCursor().selectionStart(), selectionStart);
    QCOMPARE(caretOf(editor), 0);
    QVERIFY(editor->RichEdit3->isReadOnly());
}

void TestHighlight::releaseReturnsTheCaret_data()
{
    QTest::addColumn<int>("clickAt");  // -1: no click in the view
    QTest::addColumn<int>("caret");
    QTest::newRow("clicked before y") << 3 << 3;
    QTest::newRow("no click: the start of the last occurrence") << -1 << 1;
}

void TestHighlight::releaseReturnsTheCaret()
{
    QFETCH(int, clickAt);
    QFETCH(int, caret);
    TMDIChild *editor = open("xaby");
    editor->Edit2->setText("ab");
    editor->SpeedButton3->click();
    if (clickAt >= 0) {
        QTextCursor c(editor->RichEdit3->document());
        c.setPosition(clickAt);
        const QRect at = editor->RichEdit3->cursorRect(c);
        QTest::mouseClick(editor->RichEdit3->viewport(), Qt::LeftButton, {}, at.center() + QPoint(1, 0));
    }
    editor->SpeedButton3->click();
    QVERIFY(!editor->SpeedButton3->isChecked());
    QCOMPARE(editor->BodyArea->currentWidget(), editor->RichEdit1);
    QCOMPARE(caretOf(editor), caret);
    // The view keeps its colours until the next press.
    QCOMPARE(marked(editor->RichEdit3), QStringLiteral("x[ab]y"));
}

void TestHighlight::formattingIsNotCarried()
{
    TMDIChild *editor = open("粗体字");
    editor->RichEdit1->selectAll();
    MainForm->RichEditBold2Execute();
    QTextCharFormat red;
    red.setForeground(Qt::red);
    editor->RichEdit1->textCursor().mergeCharFormat(red);
    editor->Edit2->setText("体");
    editor->SpeedButton3->click();
    QCOMPARE(marked(editor->RichEdit3), QStringLiteral("粗[体]字"));
    QTextCursor c(editor->RichEdit3->document());
    c.setPosition(1);
    QVERIFY(c.charFormat().fontWeight() < QFont::Bold);
    QVERIFY(c.charFormat().foreground().color() != QColor(Qt::red));
}

WENK_TEST_MAIN(TestHighlight)
#include "tst_highlight.moc"
