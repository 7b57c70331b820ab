// The editor window: opening, finding it again, the close question, colours.
#include "app/main.h"
#include "data/Unit1.h"
#include "editor/childwin.h"
#include "tests/editor/editordriver.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void captionAndReopenAmongOthers_data();
    void captionAndReopenAmongOthers();
    void tenAndHundredAreDifferentWindows();
    void triggeringTheHiddenOpenButtonOpens();
    void newWindowsLieInsideTheArea();
    void openFillsTheWindow_data();
    void openFillsTheWindow();
    void coverThatFailsToLoad_data();
    void coverThatFailsToLoad();
    void pendingCaret_data();
    void pendingCaret();
    void reopenKeepsUnsavedEdits();
    void closeQuestion_data();
    void closeQuestion();
    void closedWindowIsDestroyed();
    void closingMainWindow_data();
    void closingMainWindow();
    void textColours_data();
    void textColours();
    void colourWithoutSelectionAppliesToTyping();
    void contextMenuItems();
};

namespace {


// Documents 7, 10, 99, 100 and 123, each with a one-paragraph body.
void writeNumberedLibrary(LibraryFixture &lib)
{
    for (qint64 id : {7, 10, 99, 100, 123}) {
        const QString body = QStringLiteral("正文%1").arg(id);
        lib.document(QStringLiteral("ABC"), body, rtfOf(body), id);
    }
    lib.write();
}

}  // namespace

void TestEditor::captionAndReopenAmongOthers_data()
{
    QTest::addColumn<qint64>("id");
    QTest::addColumn<QString>("caption");
    QTest::newRow("id 7 gets a leading zero") << qint64(7) << QStringLiteral("07《ABC》");
    QTest::newRow("id 99, two digits") << qint64(99) << QStringLiteral("99《ABC》");
    QTest::newRow("id 100, three digits") << qint64(100) << QStringLiteral("100《ABC》");
    QTest::newRow("id 123") << qint64(123) << QStringLiteral("123《ABC》");
}

void TestEditor::captionAndReopenAmongOthers()
{
    QFETCH(qint64, id);
    QFETCH(QString, caption);
    LibraryFixture lib;
    writeNumberedLibrary(lib);
    ProgramRun run;
    QVERIFY(run.started());

    for (qint64 other : {7, 10, 99, 100, 123})
        if (other != id) openDocument(other);
    TMDIChild *editor = openDocument(id);
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), caption);
    QCOMPARE(subWindowOf(editor)->windowTitle(), caption);
    QCOMPARE(editor->documentId(), id);
    QCOMPARE(editor->RichEdit1->toPlainText(), QStringLiteral("正文%1").arg(id));
    QCOMPARE(MainForm->editorWindows().size(), 5);

    // Another window comes to the front; opening again finds this one.
    openDocument(id == 10 ? 7 : 10);
    QVERIFY(MainForm->activeEditor() != editor);
    QCOMPARE(openDocument(id), editor);
    QCOMPARE(MainForm->editorWindows().size(), 5);
    CHECK_BOXES();
}

void TestEditor::tenAndHundredAreDifferentWindows()
{
    LibraryFixture lib;
    writeNumberedLibrary(lib);
    ProgramRun run;
    TMDIChild *hundred = openDocument(100);
    TMDIChild *ten = openDocument(10);
    QVERIFY(ten != hundred);
    QCOMPARE(ten->windowTitle(), QStringLiteral("10《ABC》"));
    QCOMPARE(openDocument(100), hundred);
    QCOMPARE(MainForm->editorWindows().size(), 2);
    CHECK_BOXES();
}

void TestEditor::triggeringTheHiddenOpenButtonOpens()
{
    LibraryFixture lib;
    writeNumberedLibrary(lib);
    ProgramRun run;
    QVERIFY(MastData->ADOTmain->locate("id", 99));
    MainForm->BitBtn3->click();
    QCOMPARE(MainForm->editorWindows().size(), 1);
    QCOMPARE(MainForm->editorWindows().first()->windowTitle(), QStringLiteral("99《ABC》"));
    CHECK_BOXES();
}

void TestEditor::newWindowsLieInsideTheArea()
{
    LibraryFixture lib;
    writeNumberedLibrary(lib);
    ProgramRun run;
    const QRect area = MainForm->mdiArea->viewport()->rect();
    for (qint64 id : {7, 10, 99}) {
        QMdiSubWindow *sub = subWindowOf(openDocument(id));
        QVERIFY2(area.contains(sub->geometry()),
                 qPrintable(QStringLiteral("window %1 at %2,%3 %4x%5")
                                .arg(id)
                                .arg(sub->x())
                                .arg(sub->y())
                                .arg(sub->width())
                                .arg(sub->height())));
        // Wide enough for the body beside the side panel.
        QVERIFY(sub->width() >= 640);
    }
}

void TestEditor::openFillsTheWindow_data()
{
    QTest::addColumn<QString>("attachment");  // null: the column stays null
    QTest::addColumn<QString>("cover");
    QTest::addColumn<bool>("openEnabled");
    QTest::newRow("attachment and cover") << QStringLiteral("docs\\a.pdf") << QStringLiteral("cover.bmp") << true;
    QTest::newRow("cover only, 打开 disabled") << QString() << QStringLiteral("cover.bmp") << false;
    QTest::newRow("empty attachment name, 打开 disabled") << QStringLiteral("") << QString() << false;
}

void TestEditor::openFillsTheWindow()
{
    QFETCH(QString, attachment);
    QFETCH(QString, cover);
    QFETCH(bool, openEnabled);
    LibraryFixture lib;
    const qint64 id = lib.document(QStringLiteral("静夜思"), QString(), rtfOf(QStringLiteral("床前明月光")));
    auto quoted = [](const QString &s) { return s.isNull() ? QStringLiteral("NULL") : "'" + s + "'"; };
    lib.sql(QStringLiteral("UPDATE mainfile SET othersource = %1, othersourceb = %2 WHERE id = %3")
                .arg(quoted(attachment), quoted(cover))
                .arg(id));
    lib.write();
    QImage picture(20, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(QDir(lib.folder()).filePath("cover.bmp")));
    ProgramRun run;
    MainForm->EnterLibraryMode();

    TMDIChild *editor = openDocument(id);
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), QStringLiteral("01《静夜思》"));
    QCOMPARE(editor->Edit1->text(), QStringLiteral("静夜思"));
    QCOMPARE(editor->RichEdit1->toPlainText(), QStringLiteral("床前明月光"));
    QCOMPARE(editor->Edit3->toPlainText(), attachment);
    QCOMPARE(editor->Edit5->text(), cover);
    QCOMPARE(editor->Image1->pixmap().isNull(), cover.isNull());
    QCOMPARE(editor->SpeedButton2->isEnabled(), openEnabled);
    QVERIFY(!editor->isModified());
    // Editing mode, with the editing toolbar shown.
    QVERIFY(!MainForm->inLibraryMode());
    QVERIFY(!MainForm->ToolBar2->isHidden());
    CHECK_BOXES();
}

void TestEditor::coverThatFailsToLoad_data()
{
    QTest::addColumn<QByteArray>("fileContent");  // null: no file at all
    QTest::newRow("cover file missing") << QByteArray();
    QTest::newRow("cover file is not a picture") << QByteArray("not a picture at all");
}

void TestEditor::coverThatFailsToLoad()
{
    QFETCH(QByteArray, fileContent);
    LibraryFixture lib;
    const qint64 id = lib.document(QStringLiteral("封面坏了"), QString(), rtfOf(QStringLiteral("正文")));
    lib.sql(QStringLiteral("UPDATE mainfile SET othersource = 'a.pdf', othersourceb = 'bad.jpg' WHERE id = %1").arg(id));
    lib.write();
    const QString coverPath = QDir(lib.folder()).absoluteFilePath("bad.jpg");
    if (!fileContent.isNull()) {
        QFile f(coverPath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(fileContent);
    }
    ProgramRun run;
    MainForm->EnterLibraryMode();

    TMDIChild *editor = openDocument(id);
    // The error is shown, naming the picture file.
    const ErrorBoxes boxes = takeErrorBoxes();
    QVERIFY2(boxes.otherFailures.isEmpty(), qPrintable(boxes.otherFailures.join("; ")));
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY2(boxes.texts.first().contains(coverPath), qPrintable(boxes.texts.first()));

    // The window is filled, and the steps after the picture still ran.
    QVERIFY(editor);
    QCOMPARE(editor->Edit5->text(), QStringLiteral("bad.jpg"));
    QCOMPARE(editor->RichEdit1->toPlainText(), QStringLiteral("正文"));
    QVERIFY(editor->SpeedButton2->isEnabled());
    QVERIFY(!editor->isModified());
    QVERIFY(!MainForm->inLibraryMode());
    // A window that was never edited closes without the save question.
    QVERIFY(closeWindow(editor));
    QVERIFY(MainForm->editorWindows().isEmpty());
    CHECK_BOXES();
}

void TestEditor::pendingCaret_data()
{
    QTest::addColumn<bool>("alreadyOpen");
    QTest::addColumn<int>("pending");
    QTest::addColumn<int>("caret");
    QTest::newRow("new window, caret at the pending place") << false << 3 << 3;
    QTest::newRow("re-activated window, caret at the pending place") << true << 4 << 4;
    QTest::newRow("re-activated window, nothing pending: start") << true << 0 << 0;
    QTest::newRow("pending place past the end: end of text") << false << 500 << 10;
}

void TestEditor::pendingCaret()
{
    QFETCH(bool, alreadyOpen);
    QFETCH(int, pending);
    QFETCH(int, caret);
    LibraryFixture lib;
    const qint64 id = lib.document("d", QString(), rtfOf("0123456789"));
    lib.write();
    ProgramRun run;
    if (alreadyOpen) {
        TMDIChild *editor = openDocument(id);
        editor->placeCaret(7);
    }
    MainForm->PendingCaret = pending;
    TMDIChild *editor = openDocument(id);
    QCOMPARE(caretOf(editor), caret);
    QCOMPARE(MainForm->PendingCaret, 0);
    CHECK_BOXES();
}

void TestEditor::reopenKeepsUnsavedEdits()
{
    LibraryFixture lib;
    const qint64 id = lib.document("d", QString(), rtfOf("abc"));
    const qint64 other = lib.document("e", QString(), rtfOf("xyz"));
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(id);
    typeAtEnd(editor->RichEdit1, QStringLiteral("新字"));
    openDocument(other);
    QCOMPARE(openDocument(id), editor);
    QCOMPARE(editor->RichEdit1->toPlainText(), QStringLiteral("abc新字"));
    QVERIFY(editor->isModified());
    QCOMPARE(caretOf(editor), 0);
    CHECK_BOXES();
}

void TestEditor::closeQuestion_data()
{
    QTest::addColumn<QString>("newTitle");  // typed over the title; empty: untouched
    QTest::addColumn<QString>("typedBody");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<int>("answer");  // MessageBoxes::Answer, -1: no question expected
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QString>("storedText");

    const QString none;
    QTest::newRow("unchanged: closes without a question")
        << none << none << false << -1 << true << QStringLiteral("旧题") << QStringLiteral("旧文");
    QTest::newRow("title changed, Yes: saved, closed, question captioned with the new title")
        << QStringLiteral("新题") << none << false << int(MessageBoxes::Yes) << true << QStringLiteral("新题")
        << QStringLiteral("旧文");
    QTest::newRow("body changed, Yes: body saved")
        << none << QStringLiteral("加") << false << int(MessageBoxes::Yes) << true << QStringLiteral("旧题")
        << QStringLiteral("旧文加");
    QTest::newRow("body changed, No: closed, nothing saved")
        << none << QStringLiteral("加") << false << int(MessageBoxes::No) << true << QStringLiteral("旧题")
        << QStringLiteral("旧文");
    QTest::newRow("title changed, Cancel: the window stays")
        << QStringLiteral("新题") << none << false << int(MessageBoxes::Cancel) << false << QStringLiteral("旧题")
        << QStringLiteral("旧文");
    QTest::newRow("deleted document: closes without a question")
        << QStringLiteral("新题") << QStringLiteral("加") << true << -1 << true << QStringLiteral("旧题")
        << QStringLiteral("旧文");
}

void TestEditor::closeQuestion()
{
    QFETCH(QString, newTitle);
    QFETCH(QString, typedBody);
    QFETCH(bool, deleted);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(QString, storedName);
    QFETCH(QString, storedText);
    LibraryFixture lib;
    const qint64 id = lib.document(QStringLiteral("旧题"), QStringLiteral("旧文"), rtfOf(QStringLiteral("旧文")));
    lib.write();
    ProgramRun run;
    QPointer<TMDIChild> editor = openDocument(id);
    if (!newTitle.isEmpty()) {
        editor->Edit1->selectAll();
        typeText(editor->Edit1, newTitle);
    }
    if (!typedBody.isEmpty()) typeAtEnd(editor->RichEdit1, typedBody);
    editor->DocumentDeleted = deleted;
    const QString title = newTitle.isEmpty() ? QStringLiteral("旧题") : newTitle;
    if (answer >= 0)
        MessageBoxes::expectNext(MessageBoxes::Answer(answer), QStringLiteral("是否保存对 ") + title + QStringLiteral(" 修改？"),
                                 title);
    if (answer == MessageBoxes::Yes) expectFilingQuestion();

    QCOMPARE(closeWindow(editor), closed);
    CHECK_BOXES();
    QCOMPARE(editor.isNull(), closed);
    QCOMPARE(MainForm->editorWindows().size(), closed ? 0 : 1);
    if (!closed) {
        QCOMPARE(editor->Edit1->text(), title);
        QVERIFY(editor->isModified());
    }
    QCOMPARE(lib.scalar(QStringLiteral("SELECT name FROM mainfile WHERE id = %1").arg(id)).toString(), storedName);
    QCOMPARE(lib.scalar(QStringLiteral("SELECT text FROM mainfile WHERE id = %1").arg(id)).toString(), storedText);
}

void TestEditor::closedWindowIsDestroyed()
{
    LibraryFixture lib;
    const qint64 id = lib.document("d", "x", rtfOf("x"));
    lib.write();
    ProgramRun run;
    QPointer<TMDIChild> editor = openDocument(id);
    QPointer<QMdiSubWindow> sub = subWindowOf(editor);
    QVERIFY(closeWindow(editor));
    QVERIFY(editor.isNull());
    QVERIFY(sub.isNull());
    // Opening again makes a fresh window.
    QVERIFY(openDocument(id));
    QCOMPARE(MainForm->editorWindows().size(), 1);
}

void TestEditor::closingMainWindow_data()
{
    // Two changed windows: "乙" was opened last, so it is asked first.
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("programEnds");
    QTest::addColumn<QString>("storedSecond");
    QTest::newRow("first asked cancels: the other is not asked")
        << QList<int>{MessageBoxes::Cancel} << false << QStringLiteral("乙");
    QTest::newRow("No, then Cancel: everything stays open")
        << QList<int>{MessageBoxes::No, MessageBoxes::Cancel} << false << QStringLiteral("乙");
    QTest::newRow("Yes, then No: saved and the program ends")
        << QList<int>{MessageBoxes::Yes, MessageBoxes::No} << true << QStringLiteral("乙改");
}

void TestEditor::closingMainWindow()
{
    QFETCH(QList<int>, answers);
    QFETCH(bool, programEnds);
    QFETCH(QString, storedSecond);
    LibraryFixture lib;
    const qint64 first = lib.document(QStringLiteral("甲"), QStringLiteral("一"), rtfOf(QStringLiteral("一")));
    const qint64 second = lib.document(QStringLiteral("乙"), QStringLiteral("二"), rtfOf(QStringLiteral("二")));
    lib.write();
    ProgramRun run;
    TMDIChild *a = openDocument(first);
    TMDIChild *b = openDocument(second);
    typeText(a->Edit1, QStringLiteral("改"));
    typeText(b->Edit1, QStringLiteral("改"));
    const QStringList titles = {b->Edit1->text(), a->Edit1->text()};
    for (int i = 0; i < answers.size(); ++i) {
        MessageBoxes::expectNext(MessageBoxes::Answer(answers[i]),
                                 QStringLiteral("是否保存对 ") + titles[i] + QStringLiteral(" 修改？"), titles[i]);
        if (answers[i] == MessageBoxes::Yes) expectFilingQuestion();
    }

    MainForm->close();
    CHECK_BOXES();
    QCOMPARE(MainForm->isVisible(), !programEnds);
    QCOMPARE(MainForm->editorWindows().size(), 2);
    if (!programEnds) {
        QVERIFY(a->isModified());
        QCOMPARE(a->Edit1->text(), titles[1]);
    }
    QCOMPARE(lib.scalar(QStringLiteral("SELECT name FROM mainfile WHERE id = %1").arg(first)).toString(),
             QStringLiteral("甲"));
    QCOMPARE(lib.scalar(QStringLiteral("SELECT name FROM mainfile WHERE id = %1").arg(second)).toString(), storedSecond);
}

void TestEditor::textColours_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("N4 black") << "N4" << QColor(0, 0, 0);
    QTest::newRow("N5 red") << "N5" << QColor(255, 0, 0);
    QTest::newRow("N6 blue") << "N6" << QColor(0, 0, 255);
    QTest::newRow("N7 green is 0,128,0") << "N7" << QColor(0, 128, 0);
}

void TestEditor::textColours()
{
    QFETCH(QString, item);
    QFETCH(QColor, colour);
    LibraryFixture lib;
    const qint64 id = lib.document("d", QString(), "{\\rtf1\\ansi{\\colortbl;\\red200\\green100\\blue50;}\\cf1 abcdef}");
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(id);
    QTextCursor select(editor->RichEdit1->document());
    select.setPosition(1);
    select.setPosition(4, QTextCursor::KeepAnchor);
    editor->RichEdit1->setTextCursor(select);
    editor->PopupMenu1->findChild<QAction *>(item)->trigger();

    auto colourAt = [editor](int position) {
        QTextCursor c(editor->RichEdit1->document());
        c.setPosition(position);
        return c.charFormat().foreground().color();
    };
    QCOMPARE(colourAt(2), colour);  // inside the selection
    QCOMPARE(colourAt(4), colour);  // its last character
    QCOMPARE(colourAt(1), QColor(200, 100, 50));  // before it
    QCOMPARE(colourAt(5), QColor(200, 100, 50));  // after it
    QVERIFY(editor->isModified());
}

void TestEditor::colourWithoutSelectionAppliesToTyping()
{
    LibraryFixture lib;
    const qint64 id = lib.document("d", QString(), rtfOf("ab"));
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(id);
    editor->RichEdit1->moveCursor(QTextCursor::End);
    editor->N5->trigger();
    QVERIFY(!editor->isModified());
    typeText(editor->RichEdit1, QStringLiteral("红"));
    QTextCursor c(editor->RichEdit1->document());
    c.setPosition(3);
    QCOMPARE(c.charFormat().foreground().color(), QColor(255, 0, 0));
    c.setPosition(2);
    QVERIFY(c.charFormat().foreground().color() != QColor(255, 0, 0));
}

void TestEditor::contextMenuItems()
{
    LibraryFixture lib;
    const qint64 id = lib.document("d");
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(id);
    QStringList items;
    for (QAction *a : editor->PopupMenu1->actions()) items << (a->isSeparator() ? "-" : a->objectName() + ":" + a->text());
    QCOMPARE(items, (QStringList{QStringLiteral("N1:插入前标号"), QStringLiteral("N2:插入后标号"), "-",
                                 QStringLiteral("N4:  黑 色"), QStringLiteral("N5:  红 色"),
                                 QStringLiteral("N6:  蓝 色"), QStringLiteral("N7:  绿 色")}));
    QCOMPARE(editor->RichEdit1->contextMenuPolicy(), Qt::CustomContextMenu);
}

WENK_TEST_MAIN(TestEditor)
#include "tst_editor.moc"
