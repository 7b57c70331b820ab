// Clicking a topic stands the eight level datasets on its path.
#include "app/main.h"
#include "data/Unit1.h"
#include "tests/support/fixture.h"
#include "tests/support/listdriver.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"
#include "tests/support/treedriver.h"

#include <memory>
#include "topics/topictree.h"

#include <QTreeWidget>

class TestNodeLocate : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void positionsPerLevel_data();
    void positionsPerLevel();
    void unstoredNode_data();
    void unstoredNode();
    void deepThenShallowKeepsTheDeeperLevels();
    void noSelectionClearsCurrentNodeOnly();
    void appendedLinkIsFiledUnderTheNode();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<ProgramRun> run;
};

namespace {

// 甲 (1) ─ 乙 (2) ─ 丙 (3) ─ 丁 (4), 丁二 (5)
//        │        └ 丙二 (6)
//        └ 乙二 (7)
// 戊 (8)
const char *kOutline = R"(
甲
  乙
    丙
      丁
      丁二
    丙二
  乙二
戊
)";

// A level dataset as "current id, filter text, row count": "2 preid ='1' 2".
QString state(TDataSet *ds)
{
    QString s = ds->recNo() > 0 ? QString::number(ds->fieldInt("id")) : QStringLiteral("-");
    if (ds->filtered() && ds != MastData->ADOTable1) s += ' ' + ds->filter();
    return s + ' ' + QString::number(ds->recordCount());
}

QStringList topicStates()
{
    QStringList out;
    for (int k = 1; k <= 4; ++k) out << state(MastData->topicLevel(k));
    return out;
}

}  // namespace

void TestNodeLocate::init()
{
    lib = std::make_unique<LibraryFixture>();
    lib->topics(kOutline);
    // Two documents under 乙, one under each other topic but 乙二.
    lib->link(lib->document("a"), "甲");
    lib->link(lib->document("b"), "乙");
    lib->link(lib->document("c"), "乙");
    lib->link(lib->document("d"), "丙");
    lib->link(lib->document("e"), "丁");
    lib->link(lib->document("f"), "丁二");
    lib->link(lib->document("g"), "戊");
    lib->write();
    run = std::make_unique<ProgramRun>();
    QVERIFY(run->started());
}

void TestNodeLocate::cleanup()
{
    run.reset();
    lib.reset();
    CHECK_BOXES();
}

void TestNodeLocate::positionsPerLevel_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<int>("level");
    QTest::addColumn<QStringList>("topics");  // ADOTable1..4: "current filter count"
    QTest::addColumn<int>("ownLinks");        // in the link dataset of the node's level

    QTest::newRow("level 1: its children below, first current")
        << "甲" << 1 << QStringList{"1 2", "2 preid ='1' 2", "- 0", "- 0"} << 1;
    QTest::newRow("level 2: the parent above, its children below")
        << "乙" << 2 << QStringList{"1 2", "2 preid ='1' 2", "3 preid ='2' 2", "- 0"} << 2;
    QTest::newRow("level 3: path above, children below")
        << "丙" << 3 << QStringList{"1 2", "2 preid ='1' 2", "3 preid ='2' 2", "4 preid ='3' 2"} << 1;
    QTest::newRow("level 4: among its siblings, no children shown")
        << "丁二" << 4 << QStringList{"1 2", "2 preid ='1' 2", "3 preid ='2' 2", "5 preid ='3' 2"} << 1;
    QTest::newRow("level 2 without children: the level below filtered to nothing")
        << "乙二" << 2 << QStringList{"1 2", "7 preid ='1' 2", "- preid ='7' 0", "- 0"} << 0;
    QTest::newRow("level 1 without children: level 2 empty")
        << "戊" << 1 << QStringList{"8 2", "- preid ='8' 0", "- 0", "- 0"} << 1;
}

void TestNodeLocate::positionsPerLevel()
{
    QFETCH(QString, node);
    QFETCH(int, level);
    QFETCH(QStringList, topics);
    QFETCH(int, ownLinks);
    // After the reload the level datasets below 1 stand wherever the walk
    // left them (unfiltered); only what the locate touches is compared.
    QTreeWidgetItem *item = nodeNamed(MainForm->tree->TreeView1, node);
    QVERIFY(item);
    clickNode(MainForm->tree->TreeView1, item);
    TTopicTree *tree = MainForm->tree;
    QCOMPARE(tree->CurrentNode, item);
    QCOMPARE(tree->CurrentLevel, level);
    const QStringList now = topicStates();
    for (int k = 1; k <= std::min(level + 1, 4); ++k)
        QCOMPARE(now[k - 1], topics[k - 1]);

    // The link dataset of each level up to the node's holds the links of the
    // topic on the path at that level; the node's own in its level's.
    TADOTable *own = MastData->linkLevel(level);
    QCOMPARE(own->recordCount(), ownLinks);
    for (own->first(); !own->eof(); own->next()) QCOMPARE(own->fieldInt("ztid"), TTopicTree::topicId(item));
    for (int k = 1; k < level; ++k) {
        TADOTable *links = MastData->linkLevel(k);
        const qint64 onPath = MastData->topicLevel(k)->fieldInt("id");
        for (links->first(); !links->eof(); links->next()) QCOMPARE(links->fieldInt("ztid"), onPath);
    }
    // Above the node its parent: the current row of the level above is N's preid.
    if (level > 1)
        QCOMPARE(MastData->topicLevel(level - 1)->fieldInt("id"), TTopicTree::topicId(item->parent()));
}

void TestNodeLocate::unstoredNode_data()
{
    QTest::addColumn<QString>("parent");  // empty: a root node
    QTest::addColumn<QStringList>("topics");
    // A root node not yet stored: ADOTable1 keeps the row of the locate before.
    QTest::newRow("root carrying -1") << "" << QStringList{"8 2", "- preid ='-1' 0", "- 0", "- 0"};
    // Under 乙: level 3 stays on its first sibling, level 4 filtered to nothing.
    QTest::newRow("level 3 carrying -1") << "乙" << QStringList{"1 2", "2 preid ='1' 2", "3 preid ='2' 2", "- preid ='-1' 0"};
}

void TestNodeLocate::unstoredNode()
{
    QFETCH(QString, parent);
    QFETCH(QStringList, topics);
    clickTopic("戊");
    // What an add command leaves: a new node that carries -1.
    auto *fresh = new QTreeWidgetItem(QStringList{QStringLiteral("新专题")});
    TTopicTree::setTopicId(fresh, -1);
    if (parent.isEmpty())
        MainForm->tree->TreeView1->addTopLevelItem(fresh);
    else
        nodeNamed(MainForm->tree->TreeView1, parent)->addChild(fresh);
    MainForm->tree->TreeView1->setCurrentItem(fresh);
    MainForm->btbiaodwClick();
    QCOMPARE(MainForm->tree->CurrentNode, fresh);
    QCOMPARE(MainForm->tree->CurrentLevel, parent.isEmpty() ? 1 : 3);
    const QStringList now = topicStates();
    const int level = MainForm->tree->CurrentLevel;
    for (int k = 1; k <= std::min(level + 1, 4); ++k) QCOMPARE(now[k - 1], topics[k - 1]);
}

void TestNodeLocate::deepThenShallowKeepsTheDeeperLevels()
{
    clickTopic("丙");
    const QStringList deep = topicStates();
    clickTopic("戊");
    const QStringList now = topicStates();
    QCOMPARE(MainForm->tree->CurrentLevel, 1);
    QCOMPARE(now[0], QStringLiteral("8 2"));
    QCOMPARE(now[1], QStringLiteral("- preid ='8' 0"));
    QCOMPARE(now[2], deep[2]);  // "3 preid ='2' 2"
    QCOMPARE(now[3], deep[3]);  // "4 preid ='3' 2"
    QCOMPARE(now[2], QStringLiteral("3 preid ='2' 2"));
}

void TestNodeLocate::noSelectionClearsCurrentNodeOnly()
{
    clickTopic("丙");
    const QStringList before = topicStates();
    MainForm->tree->TreeView1->clearSelection();
    MainForm->btbiaodwClick();
    QVERIFY(MainForm->tree->CurrentNode == nullptr);
    QCOMPARE(MainForm->tree->CurrentLevel, 3);
    QCOMPARE(topicStates(), before);
}

void TestNodeLocate::appendedLinkIsFiledUnderTheNode()
{
    clickTopic("丙");
    TADOTable *links = MastData->linkLevel(3);
    links->append();
    links->setFieldValue("fileid", 99);
    links->post();
    QCOMPARE(lib->scalar("SELECT ztid FROM gl WHERE fileid = 99").toLongLong(), lib->topicId("丙"));
}

WENK_TEST_MAIN(TestNodeLocate)
#include "tst_nodelocate.moc"
