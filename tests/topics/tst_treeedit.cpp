// Editing the topic tree in place, in the main window and in the picker:
// what the tree shows and what the file holds afterwards.
#include "app/main.h"
#include "data/Unit1.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"
#include "tests/support/treedriver.h"
#include "topics/Unitselectnode.h"
#include "topics/topictree.h"

#include <QApplication>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

class TestTreeEdit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void addBeside_data();
    void addBeside();
    void addRootInEmptyTree();
    void addBelow_data();
    void addBelow();
    void editorOpensWithStoredName();
    void acceptedText_data();
    void acceptedText();
    void slowSecondClickEdits();
    void zeroOnAddedNode_data();
    void zeroOnAddedNode();
    void cancelledAddLeavesNothing();
    void tooLongNameRefused_data();
    void tooLongNameRefused();
    void failedStoreKeepsNodeUnstored();
    void deleteTopic_data();
    void deleteTopic();
    void failedDeleteKeepsTopicAndLinks();
    void move_data();
    void move();
    void failedMoveKeepsOrder();
    void moveAfterOtherWindowMovedDatasets();
    void commandsEnabling();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<ProgramRun> run;
    void start(const QString &outline = QString(), const QStringList &sql = {});
};

namespace {

// 唐诗 (1) ─ 唐诗选 (2, three documents) ─ 李白 (3)
//          │                              └ 杜甫 (4) ─ 绝句 (5)
//          └ 宋词 (6, one document)
// 元曲 (7)
const char *kOutline = R"(
唐诗
  唐诗选
    李白
    杜甫
      绝句
  宋词
元曲
)";

TTopicTree *treeOf(const QString &window)
{
    if (window == "picker") {
        // Shown without its modal loop; the showing reloads its tree.
        frmselectnode->show();
        return frmselectnode->tree;
    }
    return MainForm->tree;
}

QTreeWidgetItem *node(TTopicTree *tree, const QString &name)
{
    return nodeNamed(tree->TreeView1, name);
}

void click(TTopicTree *tree, const QString &name)
{
    clickNode(tree->TreeView1, node(tree, name));
}

const QList<bool> kAllEnabled{true, true, true, true, true, true};
const QList<bool> kAllDisabled{false, false, false, false, false, false};

}  // namespace

void TestTreeEdit::init()
{
    lib = std::make_unique<LibraryFixture>();
    lib->useAutoincrement(true);
}

void TestTreeEdit::cleanup()
{
    run.reset();
    lib.reset();
    CHECK_BOXES();
}

void TestTreeEdit::start(const QString &outline, const QStringList &sql)
{
    lib->topics(outline.isNull() ? QString::fromUtf8(kOutline) : outline);
    if (outline.isNull()) {
        for (const char *doc : {"静夜思", "春望", "登高"}) lib->link(lib->document(QString::fromUtf8(doc)), "唐诗选");
        lib->link(lib->document("念奴娇"), "宋词");
    }
    lib->setCounter(100);
    for (const QString &s : sql) lib->sql(s);
    lib->write();
    run = std::make_unique<ProgramRun>();
    QVERIFY(run->started());
}

// ---- adding ---------------------------------------------------------------

void TestTreeEdit::addBeside_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("parent");  // empty: a root
    for (const char *window : {"main", "picker"}) {
        QTest::addRow("%s: beside a root, preid 0", window) << window << "元曲" << "";
        QTest::addRow("%s: beside a level-2 topic, its parent", window) << window << "宋词" << "唐诗";
        QTest::addRow("%s: beside a level-4 topic, its parent", window) << window << "绝句" << "杜甫";
    }
}

void TestTreeEdit::addBeside()
{
    QFETCH(QString, window);
    QFETCH(QString, selected);
    QFETCH(QString, parent);
    start();
    TTopicTree *tree = treeOf(window);
    click(tree, selected);
    tree->SpeedButton8->click();
    QVERIFY(labelEditor(tree->TreeView1));
    QCOMPARE(labelEditor(tree->TreeView1)->text(), QString());
    QCOMPARE(enabledCommands(tree), kAllDisabled);
    acceptEdit(tree->TreeView1, "新专题");

    const QList<QVariantList> rows = lib->query("SELECT id, preid, itno FROM zt WHERE name = '新专题'");
    QCOMPARE(rows.size(), 1);
    const qint64 parentId = parent.isEmpty() ? 0 : lib->topicId(parent);
    QCOMPARE(rows[0][1].toLongLong(), parentId);
    QCOMPARE(rows[0][2].toLongLong(), 100);
    QCOMPARE(lib->scalar("SELECT num FROM temp").toLongLong(), 101);
    // The new node: last among its siblings, labelled with the bare name,
    // carrying the stored id, current and located.
    QTreeWidgetItem *added = node(tree, "新专题");
    QVERIFY(added);
    QCOMPARE(added->text(0), QString("新专题"));
    QCOMPARE(TTopicTree::topicId(added), rows[0][0].toLongLong());
    QCOMPARE(TTopicTree::topicId(added->parent()), parentId);
    const int siblings = added->parent() ? added->parent()->childCount() : tree->TreeView1->topLevelItemCount();
    QCOMPARE(added->parent() ? added->parent()->indexOfChild(added) : tree->TreeView1->indexOfTopLevelItem(added),
             siblings - 1);
    QCOMPARE(tree->CurrentNode, added);
    QCOMPARE(enabledCommands(tree), kAllEnabled);
    // After a reload it sorts last among its siblings, with counts.
    tree->SpeedButton16Click();
    QVERIFY(node(tree, "新专题"));
    QCOMPARE(node(tree, "新专题")->text(0), QString("新专题[0/0]"));
}

void TestTreeEdit::addRootInEmptyTree()
{
    start("");
    TTopicTree *tree = MainForm->tree;
    // Nothing was removed at the first load: add topic stays enabled.
    QVERIFY(tree->SpeedButton8->isEnabled());
    tree->SpeedButton8->click();
    acceptEdit(tree->TreeView1, "第一");
    QCOMPARE(lib->query("SELECT name, preid, itno FROM zt"),
             (QList<QVariantList>{{QString("第一"), qint64(0), qint64(100)}}));
    tree->SpeedButton16Click();
    QCOMPARE(treeText(tree->TreeView1), QString("第一[0/0]\n"));
}

void TestTreeEdit::addBelow_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("added");
    QTest::newRow("under a root") << "元曲" << true;
    QTest::newRow("under a level-3 topic") << "杜甫" << true;
    QTest::newRow("under a level-4 topic: nothing") << "绝句" << false;
}

void TestTreeEdit::addBelow()
{
    QFETCH(QString, selected);
    QFETCH(bool, added);
    start();
    TTopicTree *tree = MainForm->tree;
    const int topicsBefore = lib->scalar("SELECT count(*) FROM zt").toInt();
    click(tree, selected);
    tree->SpeedButton9->click();
    if (!added) {
        QVERIFY(!labelEditor(tree->TreeView1));
        QCOMPARE(node(tree, selected)->childCount(), 0);
        QCOMPARE(lib->scalar("SELECT count(*) FROM zt").toInt(), topicsBefore);
        return;
    }
    QVERIFY(node(tree, selected)->isExpanded());
    acceptEdit(tree->TreeView1, "子");
    QCOMPARE(lib->scalar("SELECT preid FROM zt WHERE name = '子'").toLongLong(), lib->topicId(selected));
    QCOMPARE(node(tree, "子")->parent(), node(tree, selected));
}

// ---- the in-place edit -------------------------------------------------------

void TestTreeEdit::editorOpensWithStoredName()
{
    start();
    TTopicTree *tree = MainForm->tree;
    QCOMPARE(node(tree, "唐诗选")->text(0), QString("唐诗选[3/2]"));
    click(tree, "唐诗选");
    tree->SpeedButton13->click();
    QCOMPARE(labelEditor(tree->TreeView1)->text(), QString("唐诗选"));
    // Accepting it unchanged stores the name, never the counts.
    acceptEdit(tree->TreeView1, labelEditor(tree->TreeView1)->text());
    QCOMPARE(lib->scalar("SELECT name FROM zt WHERE id = 2").toString(), QString("唐诗选"));
    QCOMPARE(node(tree, "唐诗选")->text(0), QString("唐诗选"));
    tree->SpeedButton16Click();
    QCOMPARE(node(tree, "唐诗选")->text(0), QString("唐诗选[3/2]"));
}

void TestTreeEdit::acceptedText_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QList<bool>>("commands");
    for (const char *window : {"main", "picker"}) {
        QTest::addRow("%s: a new name is stored", window)
            << window << "全唐诗" << "全唐诗" << "全唐诗" << kAllEnabled;
        QTest::addRow("%s: an empty name is accepted", window) << window << "" << "" << "" << kAllEnabled;
        QTest::addRow("%s: \"0\" is refused silently", window)
            << window << "0" << "唐诗选" << "唐诗选[3/2]" << kAllDisabled;
        QTest::addRow("%s: a name with [ and / is kept as typed", window)
            << window << "唐[诗]/选" << "唐[诗]/选" << "唐[诗]/选" << kAllEnabled;
    }
}

void TestTreeEdit::acceptedText()
{
    QFETCH(QString, window);
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QFETCH(QString, label);
    QFETCH(QList<bool>, commands);
    start();
    TTopicTree *tree = treeOf(window);
    QTreeWidgetItem *item = node(tree, "唐诗选");
    click(tree, "唐诗选");
    tree->SpeedButton13->click();
    acceptEdit(tree->TreeView1, text);
    QCOMPARE(lib->scalar("SELECT name FROM zt WHERE id = 2").toString(), stored);
    QCOMPARE(item->text(0), label);
    QCOMPARE(lib->scalar("SELECT count(*) FROM zt").toInt(), 7);
    QCOMPARE(enabledCommands(tree), commands);
    QCOMPARE(tree->CurrentNode, item);
    QCOMPARE(tree->CurrentLevel, 2);
}

void TestTreeEdit::slowSecondClickEdits()
{
    start();
    TTopicTree *tree = MainForm->tree;
    click(tree, "宋词");
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    click(tree, "宋词");
    QTRY_VERIFY(labelEditor(tree->TreeView1));
    QCOMPARE(labelEditor(tree->TreeView1)->text(), QString("宋词"));
    acceptEdit(tree->TreeView1, "宋词选");
    QCOMPARE(lib->scalar("SELECT name FROM zt WHERE id = 6").toString(), QString("宋词选"));
}

void TestTreeEdit::zeroOnAddedNode_data()
{
    QTest::addColumn<bool>("withSelection");
    QTest::addColumn<int>("storedTopics");
    QTest::addColumn<bool>("nodeCarriesId");
    QTest::newRow("beside a selected topic: nothing stored, the node carries -1") << true << 0 << false;
    QTest::newRow("a root with nothing selected: stored as \"0\" before the check") << false << 1 << true;
}

void TestTreeEdit::zeroOnAddedNode()
{
    QFETCH(bool, withSelection);
    QFETCH(int, storedTopics);
    QFETCH(bool, nodeCarriesId);
    start();
    TTopicTree *tree = MainForm->tree;
    if (withSelection) click(tree, "元曲");
    tree->SpeedButton8->click();
    acceptEdit(tree->TreeView1, "0");
    QCOMPARE(lib->scalar("SELECT count(*) FROM zt WHERE name = '0'").toInt(), storedTopics);
    QTreeWidgetItem *added = tree->TreeView1->topLevelItem(tree->TreeView1->topLevelItemCount() - 1);
    QCOMPARE(added->text(0), QString());
    QCOMPARE(TTopicTree::topicId(added) > 0, nodeCarriesId);
    if (!nodeCarriesId) QCOMPARE(TTopicTree::topicId(added), -1);
    QCOMPARE(enabledCommands(tree), kAllDisabled);
}

void TestTreeEdit::cancelledAddLeavesNothing()
{
    start();
    TTopicTree *tree = MainForm->tree;
    const int roots = tree->TreeView1->topLevelItemCount();
    click(tree, "元曲");
    tree->SpeedButton8->click();
    cancelEdit(tree->TreeView1);
    // The empty node goes, and nothing was stored or counted.
    QCOMPARE(tree->TreeView1->topLevelItemCount(), roots);
    QVERIFY(!tree->AddingTopic);
    QVERIFY(!tree->AddingRoot);
    QCOMPARE(lib->scalar("SELECT count(*) FROM zt").toInt(), 7);
    QCOMPARE(lib->scalar("SELECT num FROM temp").toLongLong(), 100);
    QCOMPARE(enabledCommands(tree), kAllDisabled);
    // The next accepted edit is a rename, not a new topic.
    click(tree, "宋词");
    tree->SpeedButton13->click();
    acceptEdit(tree->TreeView1, "宋词三百首");
    QCOMPARE(lib->scalar("SELECT count(*) FROM zt").toInt(), 7);
    QCOMPARE(lib->scalar("SELECT name FROM zt WHERE id = 6").toString(), QString("宋词三百首"));

    // So also after a cancelled root with nothing selected.
    tree->SpeedButton16Click();
    tree->EnableTreeCommands();
    tree->SpeedButton8->click();
    cancelEdit(tree->TreeView1);
    click(tree, "元曲");
    tree->SpeedButton13->click();
    acceptEdit(tree->TreeView1, "元曲选");
    QCOMPARE(lib->scalar("SELECT count(*) FROM zt").toInt(), 7);
    QCOMPARE(lib->scalar("SELECT name FROM zt WHERE id = 7").toString(), QString("元曲选"));
}

void TestTreeEdit::tooLongNameRefused_data()
{
    QTest::addColumn<QString>("how");  // rename, beside, root
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("stored");
    const QString fifty = QString(49, QChar(0x5B57)) + QString::fromUcs4(U"\U00020000");
    const QString fiftyOne = QString(51, QChar(0x5B57));
    for (const char *how : {"rename", "beside", "root"}) {
        QTest::addRow("%s: 51 characters refused", how) << how << fiftyOne << false;
        QTest::addRow("%s: 50 characters, one outside the BMP, stored", how) << how << fifty << true;
    }
}

void TestTreeEdit::tooLongNameRefused()
{
    QFETCH(QString, how);
    QFETCH(QString, name);
    QFETCH(bool, stored);
    start();
    TTopicTree *tree = MainForm->tree;
    if (how == "root") {
        tree->SpeedButton8->click();
    } else {
        click(tree, "宋词");
        (how == "rename" ? tree->SpeedButton13 : tree->SpeedButton8)->click();
    }
    if (!stored)
        MessageBoxes::expectNext(MessageBoxes::Ok,
                                 QStringLiteral("专题名称最多 50 个字符，输入的名称有 51 个字符。名称没有保存。"));
    acceptEdit(tree->TreeView1, name);
    CHECK_BOXES();
    const QList<QVariantList> names = lib->query("SELECT name FROM zt");
    bool found = false;
    for (const QVariantList &r : names) found = found || r[0].toString() == name;
    QCOMPARE(found, stored);
    if (!stored) {
        // Nothing written, not even the counter; the node keeps its label.
        QCOMPARE(lib->scalar("SELECT num FROM temp").toLongLong(), 100);
        QCOMPARE(lib->scalar("SELECT name FROM zt WHERE id = 6").toString(), QString("宋词"));
        if (how == "rename") QCOMPARE(node(tree, "宋词")->text(0), QString("宋词[1/0]"));
        QVERIFY(!tree->AddingTopic && !tree->AddingRoot);
    }
}

void TestTreeEdit::failedStoreKeepsNodeUnstored()
{
    start(QString(), {"CREATE TRIGGER refuse BEFORE INSERT ON zt WHEN new.name = '坏' "
                      "BEGIN SELECT RAISE(ABORT, 'refused by test'); END"});
    TTopicTree *tree = MainForm->tree;
    click(tree, "宋词");
    tree->SpeedButton8->click();
    MessageBoxes::expectNext(MessageBoxes::Ok, "refused by test");
    acceptEdit(tree->TreeView1, "坏");
    CHECK_BOXES();
    QTreeWidgetItem *added = node(tree, "宋词")->parent()->child(2);
    QCOMPARE(TTopicTree::topicId(added), -1);
    QCOMPARE(added->text(0), QString());
    QVERIFY(!tree->AddingTopic && !tree->AddingRoot);
    // The next accepted edit of a stored topic is a rename.
    click(tree, "宋词");
    tree->SpeedButton13->click();
    acceptEdit(tree->TreeView1, "宋词二");
    QCOMPARE(lib->scalar("SELECT count(*) FROM zt").toInt(), 7);
    QCOMPARE(lib->scalar("SELECT name FROM zt WHERE id = 6").toString(), QString("宋词二"));
}

// ---- deleting ----------------------------------------------------------------

void TestTreeEdit::deleteTopic_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<int>("answer");  // -1: no question expected
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("deleted");
    const QString question = QStringLiteral(
        "提示   \n    确定删除所选专题-%1吗？\n    （删除专题分类后，相应的关联信息会被删除，但文件本身不会被删除。）");
    for (const char *window : {"main", "picker"}) {
        QTest::addRow("%s: a topic with a document, Yes", window)
            << window << "宋词" << int(MessageBoxes::Yes) << question.arg("宋词[1/0]") << true;
        QTest::addRow("%s: No keeps it", window)
            << window << "宋词" << int(MessageBoxes::No) << question.arg("宋词[1/0]") << false;
        QTest::addRow("%s: a topic with sub-topics is refused", window)
            << window << "唐诗选" << -1 << QStringLiteral("因还含有子类，不能删除。操作返回。") << false;
    }
}

void TestTreeEdit::deleteTopic()
{
    QFETCH(QString, window);
    QFETCH(QString, topic);
    QFETCH(int, answer);
    QFETCH(QString, box);
    QFETCH(bool, deleted);
    start();
    TTopicTree *tree = treeOf(window);
    const qint64 id = lib->topicId(topic);
    const int links = lib->scalar(QString("SELECT count(*) FROM gl WHERE ztid = %1").arg(id)).toInt();
    click(tree, topic);
    if (answer < 0)
        MessageBoxes::expectNext(MessageBoxes::Ok, box, MessageBoxes::programTitle());
    else
        MessageBoxes::expectNext(MessageBoxes::Answer(answer), box, QStringLiteral("云笈软件-删除确认"));
    tree->SpeedButton12->click();
    CHECK_BOXES();
    QCOMPARE(lib->scalar(QString("SELECT count(*) FROM zt WHERE id = %1").arg(id)).toInt(), deleted ? 0 : 1);
    QCOMPARE(lib->scalar(QString("SELECT count(*) FROM gl WHERE ztid = %1").arg(id)).toInt(), deleted ? 0 : links);
    QCOMPARE(lib->scalar("SELECT count(*) FROM mainfile").toInt(), 4);  // documents are never deleted
    QCOMPARE(node(tree, topic) == nullptr, deleted);
    if (deleted) {
        QVERIFY(tree->CurrentNode == nullptr);
        QCOMPARE(tree->CurrentLevel, 0);
        QCOMPARE(enabledCommands(tree), kAllDisabled);
        // The parent's counts stay until the next reload.
        QCOMPARE(node(tree, "唐诗")->text(0), QString("唐诗[0/2]"));
    }
}

void TestTreeEdit::failedDeleteKeepsTopicAndLinks()
{
    start(QString(), {"CREATE TRIGGER refuse BEFORE DELETE ON zt BEGIN SELECT RAISE(ABORT, 'refused by test'); END"});
    TTopicTree *tree = MainForm->tree;
    click(tree, "宋词");
    MessageBoxes::expectNext(MessageBoxes::Yes, QStringLiteral(
        "提示   \n    确定删除所选专题-宋词[1/0]吗？\n    （删除专题分类后，相应的关联信息会被删除，但文件本身不会被删除。）"));
    MessageBoxes::expectNext(MessageBoxes::Ok, "refused by test");
    tree->SpeedButton12->click();
    CHECK_BOXES();
    QCOMPARE(lib->scalar("SELECT count(*) FROM zt WHERE id = 6").toInt(), 1);
    QCOMPARE(lib->scalar("SELECT count(*) FROM gl WHERE ztid = 6").toInt(), 1);
    QVERIFY(node(tree, "宋词"));
}

// ---- moving ------------------------------------------------------------------

void TestTreeEdit::move_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<bool>("down");
    QTest::addColumn<QString>("expected");  // the tree after the move's reload
    const QString unchanged =
        "唐诗[0/2]\n  唐诗选[3/2]\n    李白[0/0]\n    杜甫[0/1]\n      绝句[0/0]\n  宋词[1/0]\n元曲[0/0]\n";
    for (const char *window : {"main", "picker"}) {
        QTest::addRow("%s: a root down", window)
            << window << "唐诗" << true
            << "元曲[0/0]\n唐诗[0/2]\n  唐诗选[3/2]\n    李白[0/0]\n    杜甫[0/1]\n      绝句[0/0]\n  宋词[1/0]\n";
        QTest::addRow("%s: a level-3 topic up", window)
            << window << "杜甫" << false
            << "唐诗[0/2]\n  唐诗选[3/2]\n    杜甫[0/1]\n      绝句[0/0]\n    李白[0/0]\n  宋词[1/0]\n元曲[0/0]\n";
        QTest::addRow("%s: the last sibling down: nothing exchanged", window) << window << "宋词" << true << unchanged;
        QTest::addRow("%s: the first sibling up: nothing exchanged", window) << window << "李白" << false << unchanged;
        QTest::addRow("%s: an only child down", window) << window << "绝句" << true << unchanged;
    }
}

void TestTreeEdit::move()
{
    QFETCH(QString, window);
    QFETCH(QString, topic);
    QFETCH(bool, down);
    QFETCH(QString, expected);
    start();
    TTopicTree *tree = treeOf(window);
    const QList<QVariantList> before = lib->query("SELECT id, itno FROM zt ORDER BY id");
    click(tree, topic);
    (down ? tree->SpeedButton14 : tree->SpeedButton15)->click();
    QCOMPARE(treeText(tree->TreeView1), expected);
    // Two order keys exchanged, none made anew.
    QList<qint64> itnosBefore, itnosAfter;
    for (const QVariantList &r : before) itnosBefore << r[1].toLongLong();
    for (const QVariantList &r : lib->query("SELECT id, itno FROM zt ORDER BY id")) itnosAfter << r[1].toLongLong();
    std::sort(itnosBefore.begin(), itnosBefore.end());
    std::sort(itnosAfter.begin(), itnosAfter.end());
    QCOMPARE(itnosAfter, itnosBefore);
    QCOMPARE(lib->scalar("SELECT num FROM temp").toLongLong(), 100);
    // The reload leaves nothing selected and the commands disabled.
    QVERIFY(tree->TreeView1->selectedItems().isEmpty());
    QVERIFY(tree->CurrentNode == nullptr);
    QCOMPARE(enabledCommands(tree), kAllDisabled);
}

void TestTreeEdit::failedMoveKeepsOrder()
{
    // The second of the two writes fails: the first is undone with it.
    start(QString(), {"CREATE TRIGGER refuse BEFORE UPDATE OF itno ON zt WHEN old.id = 1 "
                      "BEGIN SELECT RAISE(ABORT, 'refused by test'); END"});
    TTopicTree *tree = MainForm->tree;
    click(tree, "唐诗");
    MessageBoxes::expectNext(MessageBoxes::Ok, "refused by test");
    tree->SpeedButton14->click();
    CHECK_BOXES();
    QCOMPARE(lib->query("SELECT id, itno FROM zt WHERE preid = 0 ORDER BY id"),
             (QList<QVariantList>{{qint64(1), qint64(1)}, {qint64(7), qint64(7)}}));
    tree->SpeedButton16Click();
    QCOMPARE(tree->TreeView1->topLevelItem(0)->text(0), QString("唐诗[0/2]"));
}

void TestTreeEdit::moveAfterOtherWindowMovedDatasets()
{
    start();
    TTopicTree *tree = MainForm->tree;
    click(tree, "李白");
    // The picker, shown meanwhile, stands the shared datasets elsewhere.
    TTopicTree *picker = treeOf("picker");
    click(picker, "元曲");
    frmselectnode->hide();
    tree->SpeedButton14->click();
    // 李白 and 杜甫 exchanged their keys; the roots kept theirs.
    QCOMPARE(lib->query("SELECT id, itno FROM zt WHERE id IN (1, 3, 4, 7) ORDER BY id"),
             (QList<QVariantList>{{qint64(1), qint64(1)}, {qint64(3), qint64(4)}, {qint64(4), qint64(3)},
                                  {qint64(7), qint64(7)}}));
}

// ---- enabling ----------------------------------------------------------------

void TestTreeEdit::commandsEnabling()
{
    start();
    TTopicTree *tree = MainForm->tree;
    // Loaded over an empty tree at start: as created.
    QCOMPARE(enabledCommands(tree), (QList<bool>{true, false, false, false, true, true}));
    click(tree, "宋词");
    QCOMPARE(enabledCommands(tree), kAllEnabled);
    tree->SpeedButton13->click();
    QCOMPARE(enabledCommands(tree), kAllDisabled);
    cancelEdit(tree->TreeView1);
    QCOMPARE(enabledCommands(tree), kAllDisabled);
    click(tree, "宋词");
    tree->SpeedButton13->click();

    acceptEdit(tree->TreeView1, "宋词");
    QCOMPARE(enabledCommands(tree), kAllEnabled);
    tree->SpeedButton16->click();
    QCOMPARE(enabledCommands(tree), kAllDisabled);
    QVERIFY(tree->SpeedButton16->isEnabled());
}

WENK_TEST_MAIN(TestTreeEdit)
#include "tst_treeedit.moc"
