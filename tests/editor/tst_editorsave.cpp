// Saving an editor window: the rows it writes, what the window shows after,
// formats kept across a save and a reopening, and a save the file refuses.
#include "app/main.h"
#include "data/Unit1.h"
#include "editor/childwin.h"
#include "rtf/rtfcodec.h"
#include "tests/editor/editordriver.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

class TestEditorSave : public QObject {
    Q_OBJECT
private slots:
    void saveWritesTheDocument_data();
    void saveWritesTheDocument();
    void titleChangeKeepsTheCaption();
    void plainTextStandsInForAMissingBody_data();
    void plainTextStandsInForAMissingBody();
    void eachWindowSavesItsOwnRow_data();
    void eachWindowSavesItsOwnRow();
    void formatsSurviveSaveAndReopen();
    void refusedSaveLeavesTheFileAsBefore_data();
    void refusedSaveLeavesTheFileAsBefore();
    void saveWithoutEditorDoesNothing();
    void titleOfTwoHundredCharactersKept_data();
    void titleOfTwoHundredCharactersKept();
};

namespace {


QVariant columnOf(const LibraryFixture &lib, const QString &column, qint64 id)
{
    return lib.scalar(QStringLiteral("SELECT %1 FROM mainfile WHERE id = %2").arg(column).arg(id));
}

QList<QVariantList> bodyRows(const LibraryFixture &lib, qint64 id)
{
    return lib.query(QStringLiteral("SELECT richtext FROM richfile WHERE fileid = %1").arg(id));
}

}  // namespace

void TestEditorSave::saveWritesTheDocument_data()
{
    QTest::addColumn<QString>("body");  // null: no richfile row
    QTest::addColumn<bool>("emptyIt");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("storedText");

    QTest::newRow("existing body replaced, paragraphs end in CRLF")
        << QStringLiteral("第一段\n第二段") << false << QStringLiteral("加") << QStringLiteral("第一段\r\n第二段加");
    QTest::newRow("new document: the first save creates its richfile row")
        << QString() << false << QStringLiteral("新文") << QStringLiteral("新文");
    QTest::newRow("emptied body is stored empty") << QStringLiteral("旧的正文") << true << QString() << QString("");
}

void TestEditorSave::saveWritesTheDocument()
{
    QFETCH(QString, body);
    QFETCH(bool, emptyIt);
    QFETCH(QString, typed);
    QFETCH(QString, storedText);
    LibraryFixture lib;
    const qint64 first = lib.document(QStringLiteral("别的"), QStringLiteral("别的正文"), rtfOf(QStringLiteral("别的正文")));
    const qint64 id = lib.document(QStringLiteral("题目"), body, body.isNull() ? QByteArray() : rtfOf(body));
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(id);
    if (emptyIt) {
        editor->RichEdit1->selectAll();
        QTest::keyClick(editor->RichEdit1, Qt::Key_Delete);
    }
    typeAtEnd(editor->RichEdit1, typed);
    QVERIFY(editor->isModified());

    expectFilingQuestion();
    MainForm->ToolButton31->click();
    CHECK_BOXES();

    QCOMPARE(columnOf(lib, "text", id).toString(), storedText);
    QCOMPARE(columnOf(lib, "name", id).toString(), QStringLiteral("题目"));
    QCOMPARE(columnOf(lib, "othersource", id).toString(), QString());
    const QList<QVariantList> rows = bodyRows(lib, id);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rtf::plainText(rows.first().first().toByteArray()), QString(storedText).replace("\r\n", "\n"));
    // The other document's body is untouched.
    QCOMPARE(bodyRows(lib, first).first().first().toByteArray(), rtfOf(QStringLiteral("别的正文")));

    QVERIFY(!editor->isModified());
    QCOMPARE(caretOf(editor), 0);
    QVERIFY(!editor->RichEdit1->textCursor().hasSelection());
    QCOMPARE(editor->windowTitle(), QStringLiteral("02《题目》"));
    // The document table was read afresh: it stands on its first row.
    QCOMPARE(MastData->ADOTmain->fieldInt("id"), first);
}

void TestEditorSave::plainTextStandsInForAMissingBody_data()
{
    QTest::addColumn<QString>("bodySql");  // how the body row is made; empty: none
    QTest::newRow("no body row") << QString();
    QTest::newRow("empty body") << QStringLiteral("INSERT INTO richfile (fileid, richtext) VALUES (1, X'')");
    QTest::newRow("NULL body") << QStringLiteral("INSERT INTO richfile (fileid, richtext) VALUES (1, NULL)");
    QTest::newRow("body that reads as nothing")
        << QStringLiteral("INSERT INTO richfile (fileid, richtext) VALUES (1, CAST('{\\rtf1 }' AS BLOB))");
}

// Libraries brought in from elsewhere hold documents whose plain text has no
// rich-text body: the editor shows the text, and a save keeps it.
void TestEditorSave::plainTextStandsInForAMissingBody()
{
    QFETCH(QString, bodySql);
    LibraryFixture lib;
    const qint64 id = lib.document(QStringLiteral("题目"), QStringLiteral("第一段\r\n第二段 alpha"), QByteArray(), 1);
    if (!bodySql.isEmpty()) lib.sql(bodySql);
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(id);
    QCOMPARE(editor->RichEdit1->toPlainText(), QStringLiteral("第一段\n第二段 alpha"));
    QVERIFY(!editor->isModified());

    expectFilingQuestion();
    MainForm->ToolButton31->click();
    CHECK_BOXES();
    QCOMPARE(columnOf(lib, "text", id).toString(), QStringLiteral("第一段\r\n第二段 alpha"));
    const QList<QVariantList> rows = bodyRows(lib, id);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rtf::plainText(rows.first().first().toByteArray()), QStringLiteral("第一段\n第二段 alpha"));
}

void TestEditorSave::titleChangeKeepsTheCaption()
{
    LibraryFixture lib;
    const qint64 id = lib.document(QStringLiteral("旧题"), QStringLiteral("文"), rtfOf(QStringLiteral("文")));
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(id);
    editor->Edit1->selectAll();
    typeText(editor->Edit1, QStringLiteral("新题"));
    expectFilingQuestion();
    MainForm->ToolButton31->click();
    CHECK_BOXES();
    QCOMPARE(columnOf(lib, "name", id).toString(), QStringLiteral("新题"));
    QCOMPARE(editor->windowTitle(), QStringLiteral("01《旧题》"));
    QVERIFY(!editor->isModified());

    // The new title shows once the window is opened again.
    QVERIFY(closeWindow(editor));
    QCOMPARE(openDocument(id)->windowTitle(), QStringLiteral("01《新题》"));
    CHECK_BOXES();
}

void TestEditorSave::eachWindowSavesItsOwnRow_data()
{
    QTest::addColumn<qint64>("id");
    QTest::newRow("document 7") << qint64(7);
    QTest::newRow("document 99") << qint64(99);
    QTest::newRow("document 100") << qint64(100);
    QTest::newRow("document 123") << qint64(123);
}

void TestEditorSave::eachWindowSavesItsOwnRow()
{
    QFETCH(qint64, id);
    const QList<qint64> ids = {7, 10, 99, 100, 123};
    LibraryFixture lib;
    for (qint64 d : ids) lib.document(QStringLiteral("ABC"), QStringLiteral("文"), rtfOf(QStringLiteral("文")), d);
    lib.write();
    ProgramRun run;
    TMDIChild *target = nullptr;
    for (qint64 d : ids) {
        TMDIChild *editor = openDocument(d);
        if (d == id) target = editor;
    }
    MainForm->mdiArea->setActiveSubWindow(subWindowOf(target));
    typeAtEnd(target->RichEdit1, QStringLiteral("改"));
    expectFilingQuestion();
    MainForm->ToolButton31->click();
    CHECK_BOXES();

    for (qint64 d : ids) {
        const QString expected = d == id ? QStringLiteral("文改") : QStringLiteral("文");
        QCOMPARE(columnOf(lib, "text", d).toString(), expected);
        QCOMPARE(rtf::plainText(bodyRows(lib, d).first().first().toByteArray()), expected);
    }
}

void TestEditorSave::formatsSurviveSaveAndReopen()
{
    LibraryFixture lib;
    const qint64 id = lib.document(QStringLiteral("格式"));
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(id);
    QTextEdit *body = editor->RichEdit1;
    QCOMPARE(body->toPlainText(), QString());

    // Bold Chinese, a centred red line, a right-aligned mixed line.
    typeText(body, QStringLiteral("粗体字"));
    body->selectAll();
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    body->mergeCurrentCharFormat(bold);
    body->moveCursor(QTextCursor::End);
    bold.setFontWeight(QFont::Normal);
    body->mergeCurrentCharFormat(bold);
    body->textCursor().insertBlock();
    body->setAlignment(Qt::AlignHCenter);
    editor->N5->trigger();
    typeText(body, QStringLiteral("红色的字"));
    body->textCursor().insertBlock();
    body->setAlignment(Qt::AlignRight);
    editor->N4->trigger();
    typeText(body, QStringLiteral("English 与中文"));
    expectFilingQuestion();
    MainForm->ToolButton31->click();
    CHECK_BOXES();
    QVERIFY(closeWindow(editor));
    CHECK_BOXES();

    editor = openDocument(id);
    QTextDocument *doc = editor->RichEdit1->document();
    QCOMPARE(doc->toPlainText(), QStringLiteral("粗体字\n红色的字\nEnglish 与中文"));
    auto formatAt = [doc](int position) {
        QTextCursor c(doc);
        c.setPosition(position);
        return c.charFormat();
    };
    QCOMPARE(formatAt(2).fontWeight(), int(QFont::Bold));
    QCOMPARE(formatAt(6).fontWeight(), int(QFont::Normal));
    QCOMPARE(formatAt(6).foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatAt(14).foreground().color(), QColor(0, 0, 0));
    QCOMPARE(doc->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(doc->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(doc->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QVERIFY(!editor->isModified());
}

void TestEditorSave::refusedSaveLeavesTheFileAsBefore_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<bool>("hasBody");
    QTest::newRow("document row refused after the body was written")
        << "BEFORE UPDATE ON mainfile" << true;
    QTest::newRow("changed body row refused") << "BEFORE UPDATE ON richfile" << true;
    QTest::newRow("new body row refused") << "BEFORE INSERT ON richfile" << false;
    QTest::newRow("document row refused after a new body row") << "BEFORE UPDATE ON mainfile" << false;
}

void TestEditorSave::refusedSaveLeavesTheFileAsBefore()
{
    QFETCH(QString, trigger);
    QFETCH(bool, hasBody);
    LibraryFixture lib;
    const QByteArray oldBody = rtfOf(QStringLiteral("旧文"));
    const qint64 id = lib.document(QStringLiteral("旧题"), QStringLiteral("旧文"), hasBody ? oldBody : QByteArray());
    lib.sql(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, '磁盘拒绝写入'); END").arg(trigger));
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(id);
    editor->Edit1->selectAll();
    typeText(editor->Edit1, QStringLiteral("新题"));
    typeAtEnd(editor->RichEdit1, QStringLiteral("新文"));

    expectFilingQuestion();
    MainForm->ToolButton31->click();
    const ErrorBoxes boxes = takeErrorBoxes();
    QVERIFY2(boxes.otherFailures.isEmpty(), qPrintable(boxes.otherFailures.join("; ")));
    QVERIFY2(boxes.texts.size() == 1, qPrintable(boxes.texts.join(" | ")));
    QVERIFY2(boxes.texts.first().contains(QStringLiteral("磁盘拒绝写入")), qPrintable(boxes.texts.first()));

    // The file is as it was: neither row changed, no body row added.
    QCOMPARE(columnOf(lib, "name", id).toString(), QStringLiteral("旧题"));
    QCOMPARE(columnOf(lib, "text", id).toString(), QStringLiteral("旧文"));
    const QList<QVariantList> rows = bodyRows(lib, id);
    QCOMPARE(rows.size(), hasBody ? 1 : 0);
    if (hasBody) QCOMPARE(rows.first().first().toByteArray(), oldBody);
    // The datasets show the file, not the refused change.
    QVERIFY(MastData->ADOTmain->locate("id", id));
    QCOMPARE(MastData->ADOTmain->fieldText("name"), QStringLiteral("旧题"));
    QCOMPARE(MastData->ADOTfile->recordCount(), hasBody ? 1 : 0);

    // The window keeps its changes, so closing still asks.
    QVERIFY(editor->isModified());
    QCOMPARE(editor->Edit1->text(), QStringLiteral("新题"));
    // Without a body row the editor opened with the plain text.
    QCOMPARE(editor->RichEdit1->toPlainText(), QStringLiteral("旧文新文"));
    MessageBoxes::expectNext(MessageBoxes::No, QStringLiteral("是否保存对 新题 修改？"), QStringLiteral("新题"));
    QVERIFY(closeWindow(editor));
    CHECK_BOXES();
}

void TestEditorSave::titleOfTwoHundredCharactersKept_data()
{
    // 200 characters as the title column counts them.
    QTest::addColumn<QString>("title");
    QTest::newRow("plain Chinese") << QString(200, QChar(0x5B57));
    QTest::newRow("50 characters beyond 16 bits (250 UTF-16 units)")
        << QString(150, QChar(0x5B57)) + QString::fromUcs4(U"\U00020000").repeated(50);
}

void TestEditorSave::titleOfTwoHundredCharactersKept()
{
    QFETCH(QString, title);
    LibraryFixture lib;
    const qint64 id = lib.document(title, QStringLiteral("文"), rtfOf(QStringLiteral("文")));
    lib.write();
    ProgramRun run;
    TMDIChild *editor = openDocument(id);
    QCOMPARE(editor->Edit1->text(), title);
    // The box is full: one more character is refused.
    editor->Edit1->end(false);
    typeText(editor->Edit1, QStringLiteral("多"));
    QCOMPARE(editor->Edit1->text(), title);

    typeAtEnd(editor->RichEdit1, QStringLiteral("加"));
    expectFilingQuestion();
    MainForm->ToolButton31->click();
    CHECK_BOXES();
    QCOMPARE(columnOf(lib, "name", id).toString(), title);
    QCOMPARE(columnOf(lib, "text", id).toString(), QStringLiteral("文加"));
}

void TestEditorSave::saveWithoutEditorDoesNothing()
{
    LibraryFixture lib;
    const qint64 id = lib.document(QStringLiteral("题"), QStringLiteral("文"));
    lib.write();
    ProgramRun run;
    MastData->ADOTmain->locate("id", id);
    MainForm->ToolButton31->click();
    CHECK_BOXES();
    QVERIFY(bodyRows(lib, id).isEmpty());
    QCOMPARE(columnOf(lib, "text", id).toString(), QStringLiteral("文"));
}

WENK_TEST_MAIN(TestEditorSave)
#include "tst_editorsave.moc"
