// Annotation markers in the editor and the annotation list of the library
// panel: the lines listed, the positions they carry, and the documents they
// open.
#include "app/main.h"
#include "data/Unit1.h"
#include "editor/annotations.h"
#include "editor/childwin.h"
#include "rtf/rtfcodec.h"
#include "tests/editor/editordriver.h"
#include "tests/support/fixture.h"
#include "tests/support/listdriver.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>
#include <memory>

class TestAnnotations : public QObject {
    Q_OBJECT
private slots:
    void cleanup();

    void listedLines_data();
    void listedLines();
    void groupsAreAppendedNeverCleared();
    void positionsAreTheEditorsPositions();
    void doubleClickOpensAtTheAnnotation_data();
    void doubleClickOpensAtTheAnnotation();
    void topicListNamesAndMissingDocuments();
    void markersInsertedInRed_data();
    void markersInsertedInRed();
    void listShowsTheSavedText();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<ProgramRun> run;
    void start(const QList<QPair<QString, QString>> &documents, const QString &sql = QString());
};

namespace {

// The annotation list as "group|注1: a@1|注2: b@9" lines, one per group.
QStringList listed()
{
    QStringList out;
    QTreeWidget *view = MainForm->TreeView4;
    for (int g = 0; g < view->topLevelItemCount(); ++g) {
        QTreeWidgetItem *group = view->topLevelItem(g);
        QString line = group->text(0);
        for (int i = 0; i < group->childCount(); ++i) {
            QTreeWidgetItem *a = group->child(i);
            line += '|' + a->text(0) + '@' + QString::number(TAnnotationList::positionOf(a));
        }
        out << line;
    }
    return out;
}

void showAnnotationPage()
{
    MainForm->PageControl3->setCurrentIndex(1);
}

}  // namespace

void TestAnnotations::cleanup()
{
    run.reset();
    lib.reset();
    CHECK_BOXES();
}

void TestAnnotations::start(const QList<QPair<QString, QString>> &documents, const QString &sql)
{
    lib = std::make_unique<LibraryFixture>();
    lib->topics("甲\n");
    for (const auto &[name, body] : documents) {
        const qint64 id = lib->document(name, body, body.isNull() ? QByteArray() : rtfOf(body));
        lib->link(id, "甲");
    }
    if (!sql.isEmpty()) lib->sql(sql);
    lib->write();
    run = std::make_unique<ProgramRun>();
    QVERIFY(run->started());
}

void TestAnnotations::listedLines_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("expected");  // "" for no group at all
    QTest::newRow("two annotations and their positions") << "a/<one>/b/<two>/c" << "文|注1: one@1|注2: two@9";
    QTest::newRow("back to back") << "/<a>//<b>/" << "文|注1: a@0|注2: b@5";
    QTest::newRow("a closing marker's slash never opens") << "/<a>/<b>/" << "文|注1: a@0";
    QTest::newRow("an empty annotation, then the next") << "/<>/x/<y>/" << "文|注1: @0|注2: y@5";
    QTest::newRow("an opening marker inside is text") << "/<x/<y>/" << "文|注1: x/<y@0";
    QTest::newRow("an unclosed opening marker ends the scan") << "/<a>/ /<b c" << "文|注1: a@0";
    QTest::newRow("a closing marker alone is ignored") << ">/ x /<a>/" << "文|注1: a@5";
    QTest::newRow("line breaks stay in the text") << "前/<第一\n第二>/后" << "文|注1: 第一\n第二@1";
    QTest::newRow("no opening marker") << "没有标注 >/" << "文[无标注信息]";
    QTest::newRow("an empty document adds nothing") << "" << "";
    QTest::newRow("no body row adds nothing") << QString() << "";
}

void TestAnnotations::listedLines()
{
    QFETCH(QString, body);
    QFETCH(QString, expected);
    start({{"文", body}});
    showAnnotationPage();
    clickTopic("甲");
    clickRow(0);
    QCOMPARE(listed(), expected.isEmpty() ? QStringList{} : QStringList{expected});
    // The group is not expanded, and carries no document.
    if (!expected.isEmpty()) {
        QTreeWidgetItem *group = MainForm->TreeView4->topLevelItem(0);
        QVERIFY(!group->isExpanded());
        QCOMPARE(TAnnotationList::documentOf(group), 0);
        if (group->childCount()) QCOMPARE(TAnnotationList::documentOf(group->child(0)), 1);
    }
}

void TestAnnotations::groupsAreAppendedNeverCleared()
{
    start({{"一", "/<甲>/"}, {"二", "无"}});
    clickTopic("甲");
    // The link pane is active: a click fills it, not the annotation list.
    clickRow(0);
    QCOMPARE(listed(), QStringList{});
    showAnnotationPage();  // switching to the page refreshes it
    QCOMPARE(listed(), QStringList{"一|注1: 甲@0"});
    clickRow(0);
    clickRow(1);
    QCOMPARE(listed(), (QStringList{"一|注1: 甲@0", "一|注1: 甲@0", "二[无标注信息]"}));
    // Back on the link pane, a click shows the links again.
    MainForm->PageControl3->setCurrentIndex(0);
    clickRow(0);
    QCOMPARE(listed().size(), 3);
    QCOMPARE(MainForm->Memo1->toPlainText(), QStringLiteral("\\甲"));
}

void TestAnnotations::positionsAreTheEditorsPositions()
{
    // A body as rich-edit controls write it: paragraphs, a bold run, a tab,
    // a colour, GBK bytes.
    lib = std::make_unique<LibraryFixture>();
    lib->topics("甲\n");
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;}\\pard\\f0\\fs20 \\'b5\\'da\\'d2\\'bb\\'b6\\'ce\\par "
        "\\b bold\\b0\\tab x\\cf1 /<\\cf0 \\'d7\\'a2\\'ca\\'cd\\cf1 >/\\cf0\\par\\pard\\qc "
        "\\'ce\\'b2/<end>/\\par}";
    lib->link(lib->document("文", QString(), rtf), "甲");
    lib->write();
    run = std::make_unique<ProgramRun>();
    showAnnotationPage();
    clickTopic("甲");
    clickRow(0);
    QTreeWidgetItem *group = MainForm->TreeView4->topLevelItem(0);
    QVERIFY(group);
    QCOMPARE(group->childCount(), 2);
    QCOMPARE(group->child(0)->text(0), QStringLiteral("注1: 注释"));
    for (int i = 0; i < 2; ++i) {
        MainForm->TreeView4->setCurrentItem(group->child(i));
        MainForm->BitBtn4Click();
        TMDIChild *editor = MainForm->activeEditor();
        QVERIFY(editor);
        const QString text = editor->RichEdit1->document()->toPlainText();
        QCOMPARE(caretOf(editor), TAnnotationList::positionOf(group->child(i)));
        QVERIFY2(text.mid(caretOf(editor), 2) == kOpeningMarker, qPrintable(text));
        MainForm->SpeedButton1Click();  // back to the library
    }
}

void TestAnnotations::doubleClickOpensAtTheAnnotation_data()
{
    QTest::addColumn<int>("line");  // -1: the group
    QTest::addColumn<int>("caret");
    QTest::newRow("the second annotation") << 1 << 9;
    QTest::newRow("the group: the current document at the start") << -1 << 0;
}

void TestAnnotations::doubleClickOpensAtTheAnnotation()
{
    QFETCH(int, line);
    QFETCH(int, caret);
    start({{"文", "a/<one>/b/<two>/c"}});
    showAnnotationPage();
    clickTopic("甲");
    clickRow(0);
    QTreeWidget *view = MainForm->TreeView4;
    QTreeWidgetItem *group = view->topLevelItem(0);
    group->setExpanded(true);
    QTreeWidgetItem *item = line < 0 ? group : group->child(line);
    view->scrollToItem(item);
    const QPoint at = view->visualItemRect(item).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    TMDIChild *editor = MainForm->activeEditor();
    QVERIFY(editor);
    QCOMPARE(editor->documentId(), 1);
    QCOMPARE(caretOf(editor), caret);
    QVERIFY(!MainForm->inLibraryMode());
    QCOMPARE(MainForm->PendingCaret, 0);
}

void TestAnnotations::topicListNamesAndMissingDocuments()
{
    // A link whose document is gone: nothing is scanned in its place.
    start({{"在", "/<有>/"}}, "INSERT INTO gl (ztid, fileid, aztid) VALUES (1, 99, 1)");
    showAnnotationPage();
    clickTopic("甲");
    QCOMPARE(gridRows(), (QStringList{"1|在", "99|"}));
    clickRow(1);
    QCOMPARE(listed(), QStringList{});
    clickRow(0);
    QCOMPARE(listed(), QStringList{"在|注1: 有@0"});
}

void TestAnnotations::markersInsertedInRed_data()
{
    QTest::addColumn<bool>("opening");
    QTest::addColumn<bool>("withSelection");
    QTest::addColumn<QString>("expected");
    QTest::newRow("opening marker replaces the selection") << true << true << "前/<后";
    QTest::newRow("closing marker at the caret") << false << false << "前>/中后";
}

void TestAnnotations::markersInsertedInRed()
{
    QFETCH(bool, opening);
    QFETCH(bool, withSelection);
    QFETCH(QString, expected);
    start({{"文", "前中后"}});
    TMDIChild *editor = openDocument(1);
    QTextCursor c = editor->RichEdit1->textCursor();
    c.setPosition(1);
    if (withSelection) c.setPosition(2, QTextCursor::KeepAnchor);
    editor->RichEdit1->setTextCursor(c);
    (opening ? editor->N1 : editor->N2)->trigger();
    QCOMPARE(editor->RichEdit1->toPlainText(), expected);
    QVERIFY(editor->isModified());
    // Both marker characters are red; the text around keeps its colour.
    const int at = expected.indexOf(opening ? kOpeningMarker : kClosingMarker);
    for (int i = 0; i < 3; ++i) {
        QTextCursor probe(editor->RichEdit1->document());
        probe.setPosition(at + i);
        probe.setPosition(at + i + 1, QTextCursor::KeepAnchor);
        const QColor colour = probe.charFormat().foreground().color();
        if (i < 2)
            QCOMPARE(colour, QColor(255, 0, 0));
        else
            QVERIFY(colour != QColor(255, 0, 0));
    }
}

void TestAnnotations::listShowsTheSavedText()
{
    start({{"文", "正文"}});
    TMDIChild *editor = openDocument(1);
    QTextCursor c = editor->RichEdit1->textCursor();
    c.setPosition(0);
    editor->RichEdit1->setTextCursor(c);
    editor->N1->trigger();
    c.movePosition(QTextCursor::End);
    editor->RichEdit1->setTextCursor(c);
    editor->N2->trigger();
    MainForm->SpeedButton1Click();
    showAnnotationPage();
    clickTopic("甲");
    clickRow(0);
    QCOMPARE(listed(), QStringList{"文[无标注信息]"});
    MainForm->SpeedButton1Click();
    MainForm->mdiArea->setActiveSubWindow(subWindowOf(editor));
    MainForm->ToolButton31Click();
    MainForm->SpeedButton1Click();
    clickTopic("甲");
    clickRow(0);
    QCOMPARE(listed(), (QStringList{"文[无标注信息]", "文|注1: 正文@0"}));
}

WENK_TEST_MAIN(TestAnnotations)
#include "tst_annotations.moc"
