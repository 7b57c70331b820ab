// Filing documents under topics and unfiling them, the link information
// pane, and the filing question of the save: the rows in the file, the
// counts in the tree, the list's selection.
#include "app/main.h"
#include "data/Unit1.h"
#include "editor/childwin.h"
#include "tests/editor/editordriver.h"
#include "tests/support/fixture.h"
#include "tests/support/listdriver.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"
#include "tests/support/treedriver.h"
#include "topics/Unitselectnode.h"
#include "topics/topictree.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMdiArea>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

class TestLinking : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void linkSelectedDocuments_data();
    void linkSelectedDocuments();
    void duplicateEndsTheCommand();
    void duplicateRule_data();
    void duplicateRule();
    void stopsWithoutWriting_data();
    void stopsWithoutWriting();
    void editingModeLinksTheActiveDocument();
    void saveOffersFiling_data();
    void saveOffersFiling();
    void closeQuestionFilesItsOwnWindow();
    void unlink_data();
    void unlink();
    void unlinkAfterThePickerMovedTheDatasets();
    void linkInformation_data();
    void linkInformation();
    void linkInformationShowsNamesAsTheyAreNow();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<ProgramRun> run;
    void start(const std::function<void(LibraryFixture &)> &more = {});
};

namespace {

// 甲 (1) ─ 乙 (2) ─ 丙 (3) ─ 丁 (4)
//        └ 乙二 (5)
// 戊 (6)
const char *kOutline = R"(
甲
  乙
    丙
      丁
  乙二
戊
)";

const QString kConfirm = QStringLiteral("提示   \n    确定将当前所选的文件与主题区的专题分类关联吗？");
const QString kDuplicate = QStringLiteral("重复关联。操作被退回。");
const QString kUnlink = QStringLiteral("提示   \n    确定取消关联吗？");

void expectConfirmation(MessageBoxes::Answer answer)
{
    MessageBoxes::expectNext(answer, kConfirm, QStringLiteral("执行关联确认"));
}

QList<int> selectedRows()
{
    QList<int> rows;
    for (const QModelIndex &i : MainForm->DBGrid13->selectionModel()->selectedRows()) rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The label of the main tree's node for the topic.
QString labelOf(const QString &topic)
{
    QTreeWidgetItem *node = nodeNamed(MainForm->tree->TreeView1, topic);
    return node ? node->text(0) : QString();
}

}  // namespace

void TestLinking::init()
{
    lib = std::make_unique<LibraryFixture>();
    lib->topics(kOutline);
}

void TestLinking::cleanup()
{
    run.reset();
    lib.reset();
    CHECK_BOXES();
}

void TestLinking::start(const std::function<void(LibraryFixture &)> &more)
{
    for (const char *name : {"文1", "文2", "文3", "文4"}) lib->document(QString::fromUtf8(name), "正文", rtfOf("正文"));
    if (more) more(*lib);
    lib->write();
    run = std::make_unique<ProgramRun>();
    QVERIFY(run->started());
}

void TestLinking::linkSelectedDocuments_data()
{
    QTest::addColumn<QString>("list");  // "search" or a topic listed
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QList<QVariantList>>("paths");  // aztid, bztid, cztid, dztid of the new links
    const QVariant none;
    QTest::newRow("three documents of the search list to a level-3 topic")
        << "search" << "丙" << QList<QVariantList>{{qint64(1), qint64(2), qint64(3), none}};
    QTest::newRow("from a topic's list, by fileid, to a level-4 topic")
        << "戊" << "丁" << QList<QVariantList>{{qint64(1), qint64(2), qint64(3), qint64(4)}};
    QTest::newRow("to a root") << "search" << "甲" << QList<QVariantList>{{qint64(1), none, none, none}};
    QTest::newRow("to a level-2 topic") << "search" << "乙二" << QList<QVariantList>{{qint64(1), qint64(5), none, none}};
}

void TestLinking::linkSelectedDocuments()
{
    QFETCH(QString, list);
    QFETCH(QString, topic);
    QFETCH(QList<QVariantList>, paths);
    start([](LibraryFixture &l) {
        for (qint64 doc : {1, 2, 3}) l.link(doc, "戊");
    });
    if (list == "search")
        searchFor("");
    else
        clickTopic(list);
    selectRowsNamed({"文1", "文2", "文3"});
    const QString before = labelOf(topic);
    whenPickerShowsPick(topic);
    expectConfirmation(MessageBoxes::Yes);
    MainForm->SpeedButton7->click();
    CHECK_BOXES();

    const qint64 id = lib->topicId(topic);
    const QList<QVariantList> links =
        lib->query(QString("SELECT fileid, aztid, bztid, cztid, dztid FROM gl WHERE ztid = %1 ORDER BY id").arg(id));
    QList<QVariantList> expected;
    for (qint64 doc : {1, 2, 3}) expected << (QVariantList{doc} + paths.first());
    QCOMPARE(links, expected);
    // The tree was read again: the topic counts three more.
    const int count = before.section('[', 1).section('/', 0, 0).toInt();
    QVERIFY2(labelOf(topic).startsWith(topic + '[' + QString::number(count + 3) + '/'), qPrintable(labelOf(topic)));
    QVERIFY(selectedRows().isEmpty());
    QVERIFY(MainForm->tree->CurrentNode == nullptr);
}

void TestLinking::duplicateEndsTheCommand()
{
    start([](LibraryFixture &l) { l.link(2, "丙"); });
    searchFor("");
    selectRowsNamed({"文1", "文2", "文3"});
    const QString before = labelOf("丙");
    whenPickerShowsPick("丙");
    expectConfirmation(MessageBoxes::Yes);
    MessageBoxes::expectNext(MessageBoxes::Ok, kDuplicate);
    MainForm->SpeedButton7->click();
    CHECK_BOXES();
    // The first is filed, the second refused, the third never tried.
    QCOMPARE(lib->query("SELECT fileid FROM gl WHERE ztid = 3 ORDER BY id"),
             (QList<QVariantList>{{qint64(2)}, {qint64(1)}}));
    QCOMPARE(selectedRows().size(), 3);
    QCOMPARE(labelOf("丙"), before);
}

void TestLinking::duplicateRule_data()
{
    QTest::addColumn<QString>("existing");  // "aztid,bztid,cztid,dztid" of a link of document 1
    QTest::addColumn<QString>("topic");
    QTest::addColumn<bool>("duplicate");
    QTest::newRow("filed under the level-2 topic: its parent is no duplicate") << "1,2,," << "甲" << false;
    QTest::newRow("filed under the level-2 topic: its child is no duplicate") << "1,2,," << "丙" << false;
    QTest::newRow("the same level-2 topic") << "1,2,," << "乙" << true;
    QTest::newRow("a 0 below the topic counts as empty") << "1,2,0," << "乙" << true;
    QTest::newRow("a root with 0 below") << "6,0,0,0" << "戊" << true;
    QTest::newRow("the same level-4 path") << "1,2,3,4" << "丁" << true;
    QTest::newRow("ztid is not compared, the path is") << "6,,," << "戊" << true;
}

void TestLinking::duplicateRule()
{
    QFETCH(QString, existing);
    QFETCH(QString, topic);
    QFETCH(bool, duplicate);
    start([existing](LibraryFixture &l) {
        QStringList v = existing.split(',');
        for (QString &s : v)
            if (s.isEmpty()) s = "NULL";
        // ztid 99: a topic that no longer exists.
        l.sql(QString("INSERT INTO gl (ztid, fileid, aztid, bztid, cztid, dztid) VALUES (99, 1, %1)").arg(v.join(',')));
    });
    searchFor("文1");
    selectRowsNamed({"文1"});
    whenPickerShowsPick(topic);
    expectConfirmation(MessageBoxes::Yes);
    if (duplicate) MessageBoxes::expectNext(MessageBoxes::Ok, kDuplicate);
    MainForm->SpeedButton7->click();
    CHECK_BOXES();
    QCOMPARE(lib->scalar("SELECT count(*) FROM gl").toInt(), duplicate ? 1 : 2);
}

void TestLinking::stopsWithoutWriting_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("selectionKept");
    QTest::addColumn<bool>("treeReloaded");
    QTest::newRow("No to the confirmation: selection cleared") << "no" << false << false;
    QTest::newRow("picker cancelled: selection kept") << "cancel" << true << false;
    QTest::newRow("picker with no stored topic: tree read again, no message") << "unstored" << false << true;
    QTest::newRow("nothing selected in the list: no picker") << "nothing" << false << false;
}

void TestLinking::stopsWithoutWriting()
{
    QFETCH(QString, how);
    QFETCH(bool, selectionKept);
    QFETCH(bool, treeReloaded);
    start();
    clickTopic("乙二");
    searchFor("");
    if (how != "nothing") selectRowsNamed({"文1", "文2"});
    if (how == "no") {
        whenPickerShowsPick("丙");
        expectConfirmation(MessageBoxes::No);
    } else if (how == "cancel") {
        whenPickerShowsCancel();
    } else if (how == "unstored") {
        whenPickerShows([](Tfrmselectnode *picker) {
            QTreeWidget *tree = picker->tree->TreeView1;
            clickNode(tree, nodeNamed(tree, "戊"));
            picker->tree->SpeedButton8->click();
            acceptEdit(tree, "0");
            picker->SpeedButton2->click();
        });
        expectConfirmation(MessageBoxes::Yes);
    }
    MainForm->SpeedButton7->click();
    CHECK_BOXES();
    QCOMPARE(lib->scalar("SELECT count(*) FROM gl").toInt(), 0);
    QCOMPARE(selectedRows().size(), selectionKept ? 2 : 0);
    // The main tree's reload clears its current node.
    QCOMPARE(MainForm->tree->CurrentNode == nullptr, treeReloaded);
    if (how == "nothing") QVERIFY(!frmselectnode->isVisible());
}

void TestLinking::editingModeLinksTheActiveDocument()
{
    start();
    openDocument(1);
    TMDIChild *active = openDocument(3);
    QVERIFY(!MainForm->inLibraryMode());
    const QString before = labelOf("丙");
    whenPickerShowsPick("丙");
    MainForm->SpeedButton7->click();  // no confirmation in editing mode
    CHECK_BOXES();
    QCOMPARE(lib->query("SELECT fileid, aztid, bztid, cztid, dztid FROM gl"),
             (QList<QVariantList>{{qint64(3), qint64(1), qint64(2), qint64(3), {}}}));
    QCOMPARE(MainForm->CurrentDocId, 3);
    QCOMPARE(MainForm->ActiveEditor, active);
    QCOMPARE(labelOf("丙"), before);  // the tree is not read again
    // ADOTgl2 was read again: it lists the new link.
    QVERIFY(MastData->ADOTmain->locate("id", 3));
    QCOMPARE(MastData->ADOTgl2->recordCount(), 1);
}

void TestLinking::saveOffersFiling_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("picker");  // a topic, or "cancel"
    QTest::addColumn<int>("links");
    QTest::newRow("Yes and a topic picked: filed, then saved") << int(MessageBoxes::Yes) << "乙" << 1;
    QTest::newRow("Yes and the picker cancelled: saved unfiled") << int(MessageBoxes::Yes) << "cancel" << 0;
    QTest::newRow("No: saved unfiled") << int(MessageBoxes::No) << "" << 0;
}

void TestLinking::saveOffersFiling()
{
    QFETCH(int, answer);
    QFETCH(QString, picker);
    QFETCH(int, links);
    start();
    TMDIChild *editor = openDocument(2);
    typeAtEnd(editor->RichEdit1, "加");
    expectFilingQuestion(MessageBoxes::Answer(answer));
    if (picker == "cancel")
        whenPickerShowsCancel();
    else if (!picker.isEmpty())
        whenPickerShowsPick(picker);
    MainForm->ToolButton31->click();
    CHECK_BOXES();
    QCOMPARE(lib->scalar("SELECT text FROM mainfile WHERE id = 2").toString(), QString("正文加"));
    QCOMPARE(lib->scalar("SELECT count(*) FROM gl WHERE fileid = 2").toInt(), links);
    if (links) QCOMPARE(lib->scalar("SELECT bztid FROM gl WHERE fileid = 2").toLongLong(), 2);
    QVERIFY(!editor->isModified());
    // Asked again at the next save while still filed nowhere; not once filed.
    if (!links) expectFilingQuestion(MessageBoxes::No);
    MainForm->ToolButton31->click();
    CHECK_BOXES();
}

void TestLinking::closeQuestionFilesItsOwnWindow()
{
    start();
    TMDIChild *first = openDocument(1);
    TMDIChild *second = openDocument(2);
    QCOMPARE(MainForm->activeEditor(), second);
    typeText(first->Edit1, "改");
    // Closing the window that is not active: its own document is filed.
    MessageBoxes::expectNext(MessageBoxes::Yes, QStringLiteral("是否保存对 文1改 修改？"), QStringLiteral("文1改"));
    expectFilingQuestion(MessageBoxes::Yes);
    whenPickerShowsPick("戊");
    bool canClose = false;
    first->FormCloseQuery(canClose);
    CHECK_BOXES();
    QVERIFY(canClose);
    QCOMPARE(lib->query("SELECT fileid, ztid FROM gl"), (QList<QVariantList>{{qint64(1), qint64(6)}}));
    QCOMPARE(lib->scalar("SELECT name FROM mainfile WHERE id = 1").toString(), QString("文1改"));
}

void TestLinking::unlink_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QList<qint64>>("left");  // documents still filed under 丙
    QTest::newRow("two selected rows: exactly their two links") << "two" << QList<qint64>{3};
    QTest::newRow("No keeps the links and the selection") << "no" << QList<qint64>{1, 2, 3};
    QTest::newRow("the search list: nothing") << "search" << QList<qint64>{1, 2, 3};
    QTest::newRow("editing mode: nothing") << "editing" << QList<qint64>{1, 2, 3};
}

void TestLinking::unlink()
{
    QFETCH(QString, how);
    QFETCH(QList<qint64>, left);
    start([](LibraryFixture &l) {
        for (qint64 doc : {1, 2, 3}) l.link(doc, "丙");
        l.link(1, "乙");  // another topic's link of the same document stays
    });
    clickTopic("丙");
    QCOMPARE(gridRows(), (QStringList{"1|文1", "2|文2", "3|文3"}));
    if (how == "search") searchFor("");
    selectRowsNamed({"文1", "文2"});
    if (how == "two") MessageBoxes::expectNext(MessageBoxes::Yes, kUnlink, QStringLiteral("云笈研读书匣"));
    if (how == "no") MessageBoxes::expectNext(MessageBoxes::No, kUnlink, QStringLiteral("云笈研读书匣"));
    if (how == "editing") MainForm->SpeedButton1Click();
    MainForm->SpeedButton2Click();
    CHECK_BOXES();
    QList<qint64> filed;
    for (const QVariantList &r : lib->query("SELECT fileid FROM gl WHERE ztid = 3 ORDER BY fileid"))
        filed << r[0].toLongLong();
    QCOMPARE(filed, left);
    QCOMPARE(lib->scalar("SELECT count(*) FROM gl WHERE ztid = 2").toInt(), 1);
    if (how == "two") {
        // The rows stay listed; the selection is cleared and the tree read again.
        QCOMPARE(gridRows().size(), 3);
        QVERIFY(selectedRows().isEmpty());
        QCOMPARE(labelOf("丙"), QString("丙[1/1]"));
    }
    if (how == "no") QCOMPARE(selectedRows().size(), 2);
}

void TestLinking::unlinkAfterThePickerMovedTheDatasets()
{
    start([](LibraryFixture &l) {
        for (qint64 doc : {1, 2}) l.link(doc, "丙");
    });
    clickTopic("丙");
    selectRowsNamed({"文1"});
    // The picker, shown and cancelled meanwhile, moved the shared datasets.
    whenPickerShows([](Tfrmselectnode *picker) {
        clickNode(picker->tree->TreeView1, nodeNamed(picker->tree->TreeView1, "戊"));
        picker->SpeedButton3->click();
    });
    QVERIFY(!pickTopic());
    MessageBoxes::expectNext(MessageBoxes::Yes, kUnlink);
    MainForm->SpeedButton2Click();
    CHECK_BOXES();
    QCOMPARE(lib->query("SELECT fileid FROM gl"), (QList<QVariantList>{{qint64(2)}}));
}

void TestLinking::linkInformation_data()
{
    QTest::addColumn<QStringList>("links");  // "aztid,bztid,cztid,dztid" per link of document 1, in id order
    QTest::addColumn<QString>("memo");
    QTest::newRow("no link: empty") << QStringList{} << "";
    QTest::newRow("three links, three lines in link order")
        << QStringList{"1,2,3,", "6,,,", "1,5,,"} << "\\甲\\乙\\丙\n\\戊\n\\甲\\乙二";
    QTest::newRow("a level-4 link names four topics") << QStringList{"1,2,3,4"} << "\\甲\\乙\\丙\\丁";
    QTest::newRow("aztid empty or 0: an empty line") << QStringList{",,,", "0,2,,", "6,,,"} << "\n\n\\戊";
    QTest::newRow("a missing topic ends its line") << QStringList{"1,99,3,", "98,,,"} << "\\甲\n";
    QTest::newRow("the same link twice: two lines") << QStringList{"6,,,", "6,,,"} << "\\戊\n\\戊";
}

void TestLinking::linkInformation()
{
    QFETCH(QStringList, links);
    QFETCH(QString, memo);
    start([links](LibraryFixture &l) {
        for (const QString &path : links) {
            QStringList v = path.split(',');
            for (QString &s : v)
                if (s.isEmpty()) s = "NULL";
            l.sql(QString("INSERT INTO gl (ztid, fileid, aztid, bztid, cztid, dztid) VALUES (0, 1, %1)").arg(v.join(',')));
        }
    });
    MainForm->Memo1->setPlainText("typed by the user");
    searchFor("");
    clickRow(0);
    QCOMPARE(MainForm->Memo1->toPlainText(), memo);
    CHECK_BOXES();
}

void TestLinking::linkInformationShowsNamesAsTheyAreNow()
{
    start([](LibraryFixture &l) { l.link(1, "丙"); });
    clickTopic("丙");
    MainForm->tree->SpeedButton13->click();
    acceptEdit(MainForm->tree->TreeView1, "丙\\改");
    searchFor("文1");
    clickRow(0);
    QCOMPARE(MainForm->Memo1->toPlainText(), QStringLiteral("\\甲\\乙\\丙\\改"));
}

WENK_TEST_MAIN(TestLinking)
#include "tst_linking.moc"
