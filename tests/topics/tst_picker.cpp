// The topic picker: its window, its own tree rebuilt at every showing, and
// what it gives the command that showed it.
#include "app/main.h"
#include "data/Unit1.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"
#include "tests/support/treedriver.h"
#include "topics/Unitselectnode.h"
#include "topics/topictree.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

class TestPicker : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layout();
    void rebuiltAtEveryShowing();
    void result_data();
    void result();
    void treeClickErrorIsReported();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<ProgramRun> run;
};

namespace {

// 甲 (1) ─ 乙 (2) ─ 丙 (3, two documents)
//               └ 丁 (4)
// 戊 (5)
const char *kOutline = R"(
甲
  乙
    丙
    丁
戊
)";

QTreeWidget *pickerTree()
{
    return frmselectnode->tree->TreeView1;
}

}  // namespace

void TestPicker::init()
{
    lib = std::make_unique<LibraryFixture>();
    lib->topics(kOutline);
    lib->link(lib->document("一"), "丙");
    lib->link(lib->document("二"), "丙");
    lib->link(lib->document("三"), "丁");
    lib->setCounter(50);
    lib->write();
    run = std::make_unique<ProgramRun>();
    QVERIFY(run->started());
}

void TestPicker::cleanup()
{
    run.reset();
    lib.reset();
    CHECK_BOXES();
}

void TestPicker::layout()
{
    Tfrmselectnode *picker = frmselectnode;
    picker->show();
    QCOMPARE(picker->windowTitle(), QStringLiteral("专题选择窗"));
    QCOMPARE(picker->size(), QSize(283, 378));
    QCOMPARE(picker->SpeedButton2->text(), QStringLiteral("选定"));
    QCOMPARE(picker->SpeedButton2->size(), QSize(72, 26));
    QCOMPARE(picker->SpeedButton3->text(), QStringLiteral("取消"));
    QCOMPARE(picker->SpeedButton3->size(), QSize(66, 26));
    QVERIFY(picker->SpeedButton2->x() < picker->SpeedButton3->x());
    QCOMPARE(picker->ToolBar2->height(), 29);
    QCOMPARE(picker->tree->ToolBar1->height(), 25);
    // The seven tree commands in five groups.
    QStringList items;
    for (QAction *a : picker->tree->ToolBar1->actions())
        items << (a->isSeparator() ? QStringLiteral("|") : picker->tree->ToolBar1->widgetForAction(a)->objectName());
    QCOMPARE(items.join(' '), QStringLiteral("SpeedButton8 SpeedButton9 | SpeedButton12 | SpeedButton13 | "
                                             "SpeedButton14 SpeedButton15 | SpeedButton16"));
    QTreeWidget *tree = pickerTree();
    QCOMPARE(tree->indentation(), 19);
    QCOMPARE(tree->font().pixelSize(), 13);
    QCOMPARE(tree->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(tree->topLevelItem(0)->icon(0).isNull());
    QVERIFY(tree->topLevelItem(0)->flags() & Qt::ItemIsEditable);
    QVERIFY(!picker->btbiaodw2->isVisible());
    QCOMPARE(picker->btbiaodw2->text(), QStringLiteral("btbiaodw2定位"));
    picker->hide();
}

void TestPicker::rebuiltAtEveryShowing()
{
    Tfrmselectnode *picker = frmselectnode;
    TTopicTree *tree = picker->tree;
    picker->show();
    QCOMPARE(treeText(pickerTree()), QStringLiteral("甲[0/1]\n  乙[0/2]\n    丙[2/0]\n    丁[1/0]\n戊[0/0]\n"));
    // Empty before its first load: add topic and the moves as created.
    QCOMPARE(enabledCommands(tree), (QList<bool>{true, false, false, false, true, true}));
    clickNode(pickerTree(), nodeNamed(pickerTree(), "丙"));
    QCOMPARE(enabledCommands(tree), (QList<bool>{true, true, true, true, true, true}));
    QCOMPARE(tree->CurrentLevel, 3);
    picker->hide();

    // Written meanwhile by another window: shown at the next showing.
    MainForm->tree->TreeView1->clearSelection();
    MainForm->tree->SpeedButton8Click();
    acceptEdit(MainForm->tree->TreeView1, "己");
    const bool markEnabled = MainForm->SpeedButton5->isEnabled();
    picker->show();
    QCOMPARE(treeText(pickerTree()),
             QStringLiteral("甲[0/1]\n  乙[0/2]\n    丙[2/0]\n    丁[1/0]\n戊[0/0]\n己[0/0]\n"));
    QCOMPARE(enabledCommands(tree), (QList<bool>{false, false, false, false, false, false}));
    QVERIFY(pickerTree()->selectedItems().isEmpty());
    QVERIFY(!pickerTree()->topLevelItem(0)->isExpanded());
    QVERIFY(tree->CurrentNode == nullptr);
    QCOMPARE(tree->CurrentLevel, 0);
    // The picker's reload leaves the main window's mark command alone.
    QCOMPARE(MainForm->SpeedButton5->isEnabled(), markEnabled);
    picker->hide();
}

void TestPicker::result_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("topic");  // the picked topic; empty for none
    QTest::newRow("a level-3 topic clicked, then 选定") << "click 丙" << true << 3 << "丙";
    QTest::newRow("a root clicked, then 选定") << "click 戊" << true << 1 << "戊";
    QTest::newRow("选定 with nothing selected gives Cancel") << "nothing" << false << 0 << "";
    QTest::newRow("取消") << "cancel" << false << 0 << "";
    QTest::newRow("closing by the frame is Cancel") << "close" << false << 0 << "";
    QTest::newRow("a selection moved by the keyboard is located first") << "keyboard" << true << 3 << "丁";
    QTest::newRow("a topic added in the picker is picked with its id") << "add" << true << 3 << "新";
    QTest::newRow("a node never stored files nothing") << "unstored" << true << 0 << "";
}

void TestPicker::result()
{
    QFETCH(QString, how);
    QFETCH(bool, ok);
    QFETCH(int, level);
    QFETCH(QString, topic);
    whenPickerShows([how](Tfrmselectnode *picker) {
        QTreeWidget *tree = pickerTree();
        if (how.startsWith("click ")) clickNode(tree, nodeNamed(tree, how.mid(6)));
        if (how == "keyboard") {
            clickNode(tree, nodeNamed(tree, "丙"));
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QCoreApplication::sendEvent(tree, &down);
        }
        if (how == "add" || how == "unstored") {
            clickNode(tree, nodeNamed(tree, "丁"));
            picker->tree->SpeedButton8->click();
            acceptEdit(tree, how == "add" ? QStringLiteral("新") : QStringLiteral("0"));
        }
        if (how == "cancel")
            picker->SpeedButton3->click();
        else if (how == "close")
            picker->close();
        else
            picker->SpeedButton2->click();
    });
    const std::optional<PickedTopic> picked = pickTopic();
    QCOMPARE(picked.has_value(), ok);
    if (!ok) return;
    QCOMPARE(picked->level, level);
    if (topic.isEmpty()) {
        QVERIFY(picked->path.isEmpty());
        return;
    }
    const qint64 id = lib->scalar(QString("SELECT id FROM zt WHERE name = '%1'").arg(topic)).toLongLong();
    QCOMPARE(picked->topicId(), id);
    QCOMPARE(picked->path.size(), level);
    // The ancestors, level 1 first, and the datasets standing on the path.
    for (int k = level; k >= 1; --k) {
        const qint64 onPath = picked->path[k - 1];
        QCOMPARE(MastData->topicLevel(k)->fieldInt("id"), onPath);
        if (k > 1)
            QCOMPARE(lib->scalar(QString("SELECT preid FROM zt WHERE id = %1").arg(onPath)).toLongLong(),
                     picked->path[k - 2]);
    }
    TADOTable *links = MastData->linkLevel(level);
    QCOMPARE(links->recordCount(), lib->scalar(QString("SELECT count(*) FROM gl WHERE ztid = %1").arg(id)).toInt());
    for (links->first(); !links->eof(); links->next()) QCOMPARE(links->fieldInt("ztid"), id);
}

void TestPicker::treeClickErrorIsReported()
{
    frmselectnode->show();
    MastData->ADOTable2->close();
    MessageBoxes::expectNext(MessageBoxes::Ok, QStringLiteral("出错信息：点击专题窗出错。操作被中止"),
                             MessageBoxes::programTitle());
    clickNode(pickerTree(), nodeNamed(pickerTree(), "乙"));
    CHECK_BOXES();
    QVERIFY(frmselectnode->isVisible());
    frmselectnode->hide();
}

WENK_TEST_MAIN(TestPicker)
#include "tst_picker.moc"
