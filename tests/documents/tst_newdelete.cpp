// New document and delete document.
#include "app/main.h"
#include "data/Unit1.h"
#include "editor/childwin.h"
#include "tests/editor/editordriver.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

class TestNewDelete : public QObject {
    Q_OBJECT
private slots:
    void newDocumentFromEachEntry_data();
    void newDocumentFromEachEntry();
    void newDocumentTwice();
    void newDocumentLeavesOpenWindowsAlone();
    void deleteDocument_data();
    void deleteDocument();
    void deleteAnsweredNo();
    void deleteWithoutEditorDoesNothing();
    void refusedDeleteLeavesTheDocumentWhole();
};

namespace {

const QString kTitle = QStringLiteral("云笈研读书匣");

qint64 count(const LibraryFixture &lib, const QString &select)
{
    return lib.scalar(select).toLongLong();
}

QString deleteQuestion(const QString &name)
{
    return QStringLiteral("确定删除 ") + name + QStringLiteral(" 文件吗？");
}

}  // namespace

void TestNewDelete::newDocumentFromEachEntry_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("fromLibraryMode");
    QTest::newRow("mode toolbar button, library mode") << "ToolButton26" << true;
    QTest::newRow("mode toolbar button, editing mode") << "ToolButton26" << false;
    QTest::newRow("新建文件 of the library-mode menu (N18)") << "N18" << true;
    QTest::newRow("新建文件 of the editing-mode menu (N2)") << "N2" << false;
}

void TestNewDelete::newDocumentFromEachEntry()
{
    QFETCH(QString, entry);
    QFETCH(bool, fromLibraryMode);
    LibraryFixture lib;
    lib.document(QStringLiteral("已有"), QStringLiteral("文"), rtfOf(QStringLiteral("文")));
    lib.write();
    ProgramRun run;
    if (fromLibraryMode)
        MainForm->EnterLibraryMode();
    else
        MainForm->EnterEditingMode();

    if (entry == "ToolButton26")
        MainForm->ToolButton26->click();
    else
        MainForm->findChild<QAction *>(entry)->trigger();
    CHECK_BOXES();

    const QList<QVariantList> rows =
        lib.query("SELECT id, name, text, times, othersource, othersourceb FROM mainfile ORDER BY id");
    QCOMPARE(rows.size(), 2);
    const QVariantList created = rows.last();
    QCOMPARE(created[1].toString(), QStringLiteral("未命名"));
    for (int column = 2; column < created.size(); ++column) QVERIFY(created[column].isNull());
    const qint64 id = created[0].toLongLong();
    QCOMPARE(count(lib, QStringLiteral("SELECT count(*) FROM richfile WHERE fileid = %1").arg(id)), 0);
    QCOMPARE(count(lib, QStringLiteral("SELECT count(*) FROM gl WHERE fileid = %1").arg(id)), 0);

    TMDIChild *editor = MainForm->activeEditor();
    QVERIFY(editor);
    QCOMPARE(editor->documentId(), id);
    QCOMPARE(editor->windowTitle(), QStringLiteral("02《未命名》"));
    QCOMPARE(editor->Edit1->text(), QStringLiteral("未命名"));
    QCOMPARE(editor->RichEdit1->toPlainText(), QString());
    QVERIFY(!editor->isModified());
    QVERIFY(!MainForm->inLibraryMode());
    QVERIFY(!MainForm->ToolBar2->isHidden());
}

void TestNewDelete::newDocumentTwice()
{
    LibraryFixture lib;
    lib.write();
    ProgramRun run;
    MainForm->ToolButton26->click();
    MainForm->ToolButton26->click();
    CHECK_BOXES();
    const QList<QVariantList> rows = lib.query("SELECT id, name FROM mainfile ORDER BY id");
    QCOMPARE(rows.size(), 2);
    QVERIFY(rows[0][0] != rows[1][0]);
    QCOMPARE(rows[0][1].toString(), QStringLiteral("未命名"));
    QCOMPARE(rows[1][1].toString(), QStringLiteral("未命名"));
    QStringList captions;
    for (TMDIChild *editor : MainForm->editorWindows()) captions << editor->windowTitle();
    QCOMPARE(captions, (QStringList{QStringLiteral("02《未命名》"), QStringLiteral("01《未命名》")}));
}

void TestNewDelete::newDocumentLeavesOpenWindowsAlone()
{
    LibraryFixture lib;
    const qint64 id = lib.document(QStringLiteral("已有"), QStringLiteral("文"), rtfOf(QStringLiteral("文")));
    lib.write();
    ProgramRun run;
    TMDIChild *open = openDocument(id);
    typeAtEnd(open->RichEdit1, QStringLiteral("未存"));
    MainForm->ToolButton26->click();
    CHECK_BOXES();
    QCOMPARE(MainForm->editorWindows().size(), 2);
    QVERIFY(MainForm->activeEditor() != open);
    QCOMPARE(open->RichEdit1->toPlainText(), QStringLiteral("文未存"));
    QVERIFY(open->isModified());
}

void TestNewDelete::deleteDocument_data()
{
    QTest::addColumn<bool>("saved");      // has its richfile row
    QTest::addColumn<int>("links");       // topics it is filed under
    QTest::addColumn<bool>("unsavedEdits");
    QTest::addColumn<QString>("entry");   // what the user presses
    QTest::newRow("saved document filed under three topics") << true << 3 << false << "ToolButton29";
    QTest::newRow("never saved document with a link: no body to delete") << false << 1 << false << "ToolButton29";
    QTest::newRow("unsaved edits are dropped without the save question") << true << 0 << true << "ToolButton29";
    QTest::newRow("删除文件 menu item (N5) deletes too") << true << 1 << false << "N5";
}

void TestNewDelete::deleteDocument()
{
    QFETCH(bool, saved);
    QFETCH(int, links);
    QFETCH(bool, unsavedEdits);
    QFETCH(QString, entry);
    LibraryFixture lib;
    lib.topics("甲\n  乙\n丙\n");
    const qint64 keep = lib.document(QStringLiteral("留下"), QStringLiteral("留"), rtfOf(QStringLiteral("留")));
    const qint64 id = lib.document(QStringLiteral("要删"), QStringLiteral("删"), saved ? rtfOf(QStringLiteral("删")) : QByteArray());
    const QStringList topics = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")};
    for (int i = 0; i < links; ++i) lib.link(id, topics[i]);
    lib.link(keep, QStringLiteral("乙"));
    lib.write();
    ProgramRun run;
    openDocument(keep);
    QPointer<TMDIChild> editor = openDocument(id);
    if (unsavedEdits) {
        typeText(editor->Edit1, QStringLiteral("改"));
        typeAtEnd(editor->RichEdit1, QStringLiteral("改"));
    }

    MessageBoxes::expectNext(MessageBoxes::Yes, deleteQuestion(QStringLiteral("要删")), kTitle);
    if (entry == "N5")
        MainForm->N5->trigger();
    else
        MainForm->ToolButton29->click();
    settleDeletes();
    CHECK_BOXES();

    QVERIFY(editor.isNull());
    QCOMPARE(MainForm->editorWindows().size(), 1);
    QCOMPARE(MainForm->CurrentDocId, id);
    QCOMPARE(count(lib, QStringLiteral("SELECT count(*) FROM mainfile WHERE id = %1").arg(id)), 0);
    QCOMPARE(count(lib, QStringLiteral("SELECT count(*) FROM richfile WHERE fileid = %1").arg(id)), 0);
    QCOMPARE(count(lib, QStringLiteral("SELECT count(*) FROM gl WHERE fileid = %1").arg(id)), 0);
    // The other document keeps its row, body and link.
    QCOMPARE(count(lib, "SELECT count(*) FROM mainfile"), 1);
    QCOMPARE(count(lib, QStringLiteral("SELECT count(*) FROM richfile WHERE fileid = %1").arg(keep)), 1);
    QCOMPARE(count(lib, QStringLiteral("SELECT count(*) FROM gl WHERE fileid = %1").arg(keep)), 1);
}

void TestNewDelete::deleteAnsweredNo()
{
    LibraryFixture lib;
    lib.topics("甲\n");
    const qint64 id = lib.document(QStringLiteral("要删"), QStringLiteral("删"), rtfOf(QStringLiteral("删")));
    lib.link(id, QStringLiteral("甲"));
    lib.write();
    ProgramRun run;
    QPointer<TMDIChild> editor = openDocument(id);
    typeAtEnd(editor->RichEdit1, QStringLiteral("改"));
    MessageBoxes::expectNext(MessageBoxes::No, deleteQuestion(QStringLiteral("要删")), kTitle);
    MainForm->ToolButton29->click();
    settleDeletes();
    CHECK_BOXES();
    QVERIFY(!editor.isNull());
    QVERIFY(editor->isModified());
    QVERIFY(!editor->DocumentDeleted);
    QCOMPARE(count(lib, "SELECT count(*) FROM mainfile"), 1);
    QCOMPARE(count(lib, "SELECT count(*) FROM richfile"), 1);
    QCOMPARE(count(lib, "SELECT count(*) FROM gl"), 1);
}

void TestNewDelete::deleteWithoutEditorDoesNothing()
{
    LibraryFixture lib;
    lib.document(QStringLiteral("文"), QStringLiteral("文"), rtfOf(QStringLiteral("文")));
    lib.write();
    ProgramRun run;
    MainForm->ToolButton29->click();
    CHECK_BOXES();
    QCOMPARE(count(lib, "SELECT count(*) FROM mainfile"), 1);
    QCOMPARE(count(lib, "SELECT count(*) FROM richfile"), 1);
}

void TestNewDelete::refusedDeleteLeavesTheDocumentWhole()
{
    LibraryFixture lib;
    lib.topics("甲\n丙\n");
    const qint64 id = lib.document(QStringLiteral("要删"), QStringLiteral("删"), rtfOf(QStringLiteral("删")));
    lib.link(id, QStringLiteral("甲"));
    lib.link(id, QStringLiteral("丙"));
    lib.sql("CREATE TRIGGER refuse BEFORE DELETE ON mainfile BEGIN SELECT RAISE(ABORT, '不许删除'); END");
    lib.write();
    ProgramRun run;
    QPointer<TMDIChild> editor = openDocument(id);
    MessageBoxes::expectNext(MessageBoxes::Yes, deleteQuestion(QStringLiteral("要删")), kTitle);
    MainForm->ToolButton29->click();
    settleDeletes();
    const ErrorBoxes boxes = takeErrorBoxes();
    QVERIFY2(boxes.otherFailures.isEmpty(), qPrintable(boxes.otherFailures.join("; ")));
    QVERIFY2(boxes.texts.size() == 1, qPrintable(boxes.texts.join(" | ")));
    QVERIFY2(boxes.texts.first().contains(QStringLiteral("不许删除")), qPrintable(boxes.texts.first()));

    // The window closed before the rows went; the rows are all still there.
    QVERIFY(editor.isNull());
    QCOMPARE(count(lib, "SELECT count(*) FROM mainfile"), 1);
    QCOMPARE(count(lib, "SELECT count(*) FROM richfile"), 1);
    QCOMPARE(count(lib, "SELECT count(*) FROM gl"), 2);
    // The document can be opened again, with its body.
    TMDIChild *again = openDocument(id);
    QVERIFY(again);
    QCOMPARE(again->RichEdit1->toPlainText(), QStringLiteral("删"));
    CHECK_BOXES();
}

WENK_TEST_MAIN(TestNewDelete)
#include "tst_newdelete.moc"
