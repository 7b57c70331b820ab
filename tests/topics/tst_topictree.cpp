// The topic tree as the main window shows it after start-up and reload.
#include "app/main.h"
#include "data/Unit1.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"
#include "topics/topictree.h"

#include <QApplication>
#include <QToolButton>
#include <QTreeWidget>

class TestTopicTree : public QObject {
    Q_OBJECT
private slots:
    void labelsAndOrder_data();
    void labelsAndOrder();
    void nodesCarryIdsAndPictures();
    void reloadLeavesNothingSelected();
    void reloadDisablesTreeCommands();
    void emptyTreeKeepsCommandState();
};

struct LinkSpec {
    QString doc, topic;
};

void TestTopicTree::labelsAndOrder_data()
{
    QTest::addColumn<QString>("outline");
    QTest::addColumn<QStringList>("links");  // "document>topic"
    QTest::addColumn<QString>("expected");

    QTest::newRow("root without children or documents is [0/0]") << "甲\n" << QStringList{} << "甲[0/0]\n";
    QTest::newRow("counts of links and child topics") << "唐诗\n  李白\n  杜甫\n" << QStringList{"a>唐诗", "b>唐诗"}
                                                       << "唐诗[2/2]\n  李白[0/0]\n  杜甫[0/0]\n";
    QTest::newRow("level-4 label ends /0]") << "一\n  二\n    三\n      四\n" << QStringList{"a>四", "b>四"}
                                             << "一[0/1]\n  二[0/1]\n    三[0/1]\n      四[2/0]\n";
    QTest::newRow("link counts only for its own topic")
        << "一\n  二\n    三\n" << QStringList{"a>三"} << "一[0/1]\n  二[0/1]\n    三[1/0]\n";
    QTest::newRow("orphan topic is absent") << "一\n孤 {preid=999}\n" << QStringList{} << "一[0/0]\n";
    QTest::newRow("topic below level 4 is absent")
        << "一\n  二\n    三\n      四\n        五\n" << QStringList{} << "一[0/1]\n  二[0/1]\n    三[0/1]\n      四[0/0]\n";
    QTest::newRow("siblings by itno") << "乙 {itno=20}\n甲 {itno=10}\n丙 {itno=30}\n" << QStringList{}
                                      << "甲[0/0]\n乙[0/0]\n丙[0/0]\n";
    QTest::newRow("equal itno both shown, by id") << "乙 {itno=5}\n甲 {itno=5}\n" << QStringList{} << "乙[0/0]\n甲[0/0]\n";
    QTest::newRow("names with [ and / unchanged") << "a[b/c]\n" << QStringList{"x>a[b/c]"} << "a[b/c][1/0]\n";
}

void TestTopicTree::labelsAndOrder()
{
    QFETCH(QString, outline);
    QFETCH(QStringList, links);
    QFETCH(QString, expected);
    LibraryFixture lib;
    lib.topics(outline);
    for (const QString &l : links) lib.link(lib.document(l.section('>', 0, 0)), l.section('>', 1));
    lib.write();
    ProgramRun run;
    QVERIFY(run.started());
    QCOMPARE(treeText(MainForm->tree->TreeView1), expected);
    CHECK_BOXES();
}

void TestTopicTree::nodesCarryIdsAndPictures()
{
    LibraryFixture lib;
    lib.topics("唐诗 {id=12}\n  李白 {id=30}\n");
    lib.write();
    ProgramRun run;
    QTreeWidgetItem *root = MainForm->tree->TreeView1->topLevelItem(0);
    QVERIFY(root);
    QCOMPARE(TTopicTree::topicId(root), 12);
    QCOMPARE(TTopicTree::topicId(root->child(0)), 30);
    QCOMPARE(TTopicTree::level(root->child(0)), 2);
    QCOMPARE(root->data(0, TTopicTree::ImageIndexRole).toInt(), 0);
    QCOMPARE(root->data(0, TTopicTree::SelectedIndexRole).toInt(), 1);
    QVERIFY(!root->icon(0).isNull());
}

void TestTopicTree::reloadLeavesNothingSelected()
{
    LibraryFixture lib;
    lib.topics("一\n  二\n");
    lib.write();
    ProgramRun run;
    TTopicTree *tree = MainForm->tree;
    tree->TreeView1->topLevelItem(0)->setExpanded(true);
    tree->TreeView1->topLevelItem(0)->child(0)->setSelected(true);
    MainForm->btbiaodwClick();
    QCOMPARE(tree->CurrentLevel, 2);
    MainForm->SpeedButton16Click();
    QVERIFY(tree->TreeView1->selectedItems().isEmpty());
    QVERIFY(!tree->TreeView1->topLevelItem(0)->isExpanded());
    QVERIFY(tree->CurrentNode == nullptr);
    QCOMPARE(tree->CurrentLevel, 0);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    // The reload enables "M" whatever the mode.
    QVERIFY(MainForm->SpeedButton5->isEnabled());
}

void TestTopicTree::reloadDisablesTreeCommands()
{
    LibraryFixture lib;
    lib.topics("一\n");
    lib.write();
    ProgramRun run;
    TTopicTree *tree = MainForm->tree;
    tree->EnableTreeCommands();
    MainForm->SpeedButton16Click();
    for (QToolButton *b : {tree->SpeedButton8, tree->SpeedButton9, tree->SpeedButton12, tree->SpeedButton13,
                           tree->SpeedButton14, tree->SpeedButton15})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(tree->SpeedButton16->isEnabled());
}

void TestTopicTree::emptyTreeKeepsCommandState()
{
    LibraryFixture lib;
    lib.write();
    ProgramRun run;
    TTopicTree *tree = MainForm->tree;
    QCOMPARE(tree->TreeView1->topLevelItemCount(), 0);
    // The start state: add topic, the moves and reload enabled.
    QVERIFY(tree->SpeedButton8->isEnabled());
    QVERIFY(tree->SpeedButton14->isEnabled());
    QVERIFY(tree->SpeedButton15->isEnabled());
    QVERIFY(!tree->SpeedButton9->isEnabled());
    QVERIFY(!tree->SpeedButton12->isEnabled());
    QVERIFY(!tree->SpeedButton13->isEnabled());
}

WENK_TEST_MAIN(TestTopicTree)
#include "tst_topictree.moc"
