// The main window as the user meets it: its layout, the two modes and when
// activation brings it back to library mode.
#include "app/main.h"
#include "app/pagescroller.h"
#include "collect/Unitget.h"
#include "data/Unit1.h"
#include "documents/Unit3.h"
#include "editor/childwin.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "tests/support/testmain.h"

#include <memory>
#include "topics/Unitselectnode.h"
#include "topics/topictree.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWindow>

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void menus_data();
    void menus();
    void toolbarItemsInOrder_data();
    void toolbarItemsInOrder();
    void hiddenCommandButtonsNeverShown();
    void libraryPanelParts();
    void fontsAndColours_data();
    void fontsAndColours();
    void narrowWindowReachesEveryEditingButton();
    void windowMenuListsEditorWindows();

    void modesAfterPresses_data();
    void modesAfterPresses();
    void editorWindowsStayOpenBehindThePanel();

    void activation_data();
    void activation();

private:
    std::unique_ptr<LibraryFixture> lib;
    std::unique_ptr<ProgramRun> run;
};

namespace {

QMenu *menuAt(int index)
{
    return MainForm->menuBar()->actions().value(index)->menu();
}

// "caption|-|caption": a menu's or toolbar's items, separators as "-".
QString menuItems(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out.join('|');
}

QString toolbarItems(QToolBar *bar)
{
    QStringList out;
    for (QAction *a : bar->actions()) {
        if (a->isSeparator())
            out << "-";
        else if (QWidget *w = bar->widgetForAction(a); w && !w->objectName().isEmpty() &&
                                                         !w->objectName().startsWith("qt_"))
            out << w->objectName();
        else
            out << a->objectName();
    }
    return out.join('|');
}

bool activate(QWidget *w)
{
    w->activateWindow();
    return QTest::qWaitFor([w] { return QGuiApplication::focusWindow() == w->windowHandle(); }, 2000);
}

}  // namespace

void TestMainWindow::init()
{
    lib = std::make_unique<LibraryFixture>();
    lib->topics("唐诗\n  李白\n宋词\n");
    lib->link(lib->document("静夜思", "床前明月光"), "李白");
    lib->write();
    run = std::make_unique<ProgramRun>();
    QVERIFY(run->started());
    QVERIFY(QTest::qWaitForWindowActive(MainForm));
}

void TestMainWindow::cleanup()
{
    run.reset();
    lib.reset();
    CHECK_BOXES();
}

void TestMainWindow::menus_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("items");
    QTest::newRow("0 file, library mode") << 0 << "文 件" << "新建文件|-|退出系统";
    QTest::newRow("1 file, editing mode") << 1 << " 文 件 " << "新建文件|删除文件|-|保存|-|退出系统";
    QTest::newRow("2 edit") << 2 << " 编 辑 " << "剪切|复制|粘贴|-|撤销|-|全选";
    QTest::newRow("3 format") << 3 << " 格 式 " << "选择字体|-|粗体|斜体|下划线|删除线|-|居中|左对齐|右对齐|分项";
    QTest::newRow("4 windows") << 4 << " 视窗排列" << "&Cascade|Tile &Horizontally|Tile &Vertically|&Minimize All";
    QTest::newRow("5 upgrade") << 5 << " 升 级" << "数据升级|恢复备份";
    QTest::newRow("6 help") << 6 << " 帮 助" << " 关于作者";
}

void TestMainWindow::menus()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QString, items);
    QCOMPARE(MainForm->menuBar()->actions().size(), 7);
    QMenu *menu = menuAt(index);
    QVERIFY(menu);
    QCOMPARE(menu, MainForm->menu(index));
    QCOMPARE(menu->title(), caption);
    QCOMPARE(menuItems(menu), items);
}

void TestMainWindow::toolbarItemsInOrder_data()
{
    QTest::addColumn<QString>("toolbar");
    QTest::addColumn<QString>("items");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("mode toolbar")
        << "ToolBar4"
        << "SpeedButton1|-|SpeedButton6|SpeedButton20|-|SpeedButton7|SpeedButton2|-|SpeedButton5|SpeedButton11|"
           "SpeedButton4|SpeedButton10|-|ToolButton26"
        << QStringList{"显示", "快录", "升级", "关联", "取消", "M", "<", "JUMP", ">"};
    QTest::newRow("editing toolbar")
        << "ToolBar2"
        << "ToolButton31|-|ToolButton29|EditUndo1|-|EditCut1|EditCopy1|EditPaste1|-|SpeedButton17|RichEditBold2|"
           "RichEditUnderline1|RichEditItalic1|RichEditStrikeOut1|WindowTileVertical1|-|WindowCascade1|"
           "WindowTileHorizontal1|-"
        << QStringList{"字"};
}

void TestMainWindow::toolbarItemsInOrder()
{
    QFETCH(QString, toolbar);
    QFETCH(QString, items);
    QFETCH(QStringList, captions);
    auto *bar = MainForm->findChild<QToolBar *>(toolbar);
    QVERIFY(bar);
    QCOMPARE(toolbarItems(bar), items);
    QStringList shown;
    for (QAction *a : bar->actions())
        if (auto *b = qobject_cast<QToolButton *>(bar->widgetForAction(a)); b && !b->text().isEmpty() &&
                                                                            b->objectName().startsWith("SpeedButton"))
            shown << b->text();
    QCOMPARE(shown, captions);
}

void TestMainWindow::hiddenCommandButtonsNeverShown()
{
    const QList<QPair<const char *, QString>> buttons = {{"BitBtn3", "open"},
                                                         {"btbiaodw", "分表定位btbiaodw"},
                                                         {"btshowglxx", "btshowglxx显示关联信息"},
                                                         {"btshowbz", "btshowbz显示标注"},
                                                         {"BitBtn4", "BitBtn4打开标注"}};
    for (int press = 0; press < 2; ++press) {
        for (const auto &[name, caption] : buttons) {
            auto *b = MainForm->findChild<QPushButton *>(name);
            QVERIFY2(b, name);
            QCOMPARE(b->text(), caption);
            QVERIFY2(!b->isVisible(), name);
            // Hidden, yet triggering it must still run its command.
            QVERIFY2(b->isEnabled(), name);
        }
        QTest::mouseClick(MainForm->SpeedButton1, Qt::LeftButton);
    }
}

void TestMainWindow::libraryPanelParts()
{
    TMainForm *m = MainForm;
    QCOMPARE(m->windowTitle(), QStringLiteral("云笈研读书匣"));
    QCOMPARE(m->PageControl2->count(), 2);
    QCOMPARE(m->PageControl2->tabText(0), QStringLiteral("资料书架"));
    QCOMPARE(m->PageControl2->tabText(1), QStringLiteral("查 询"));
    QCOMPARE(m->PageControl2->currentIndex(), 0);
    QCOMPARE(m->Splitter1->sizes().value(0), 224);
    QCOMPARE(m->Splitter1->handleWidth(), 7);
    QCOMPARE(m->ToolBar3->height(), 27);
    QCOMPARE(m->Label1->width(), 285);
    QCOMPARE(m->Splitter2->handleWidth(), 8);
    QCOMPARE(m->Splitter2->sizes().value(1), 150);
    QCOMPARE(m->PageControl3->tabPosition(), QTabWidget::South);
    QCOMPARE(m->PageControl3->tabText(0), QStringLiteral("关联信息"));
    QCOMPARE(m->PageControl3->tabText(1), QStringLiteral("标注信息"));
    QCOMPARE(m->PageControl3->currentIndex(), 0);
    QVERIFY(m->Memo1->isVisible());
    QVERIFY(!m->RichEdit1->isVisible());

    QCOMPARE(m->GroupBox1->title(), QStringLiteral("关键词查询"));
    QCOMPARE(m->Label2->text(), QStringLiteral("查询方式"));
    QCOMPARE(m->RadioButton1->text(), QStringLiteral("标题"));
    QVERIFY(m->RadioButton1->isChecked());
    QCOMPARE(m->RadioButton2->text(), QStringLiteral("正文"));
    QCOMPARE(m->Edit4->palette().color(QPalette::Text), QColor(0, 0, 128));  // navy
    QVERIFY(m->SpeedButton1->font().bold());
    QCOMPARE(m->SpeedButton1->palette().color(QPalette::ButtonText), QColor(0, 0, 128));
    QCOMPARE(m->Edit4->toolTip(),
             QStringLiteral("请在此输入关键词，然后后按回车键或按查找钮检索。当关键词为空时，返回全部资料信息"));

    QCOMPARE(m->DBGrid13->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("文件ID"));
    QCOMPARE(m->DBGrid13->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("文 件 名 称"));
    QCOMPARE(m->DBGrid13->model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignCenter);
    QCOMPARE(m->DBGrid13->columnWidth(0), 69);
    QCOMPARE(m->DBGrid13->columnWidth(1), 740);
    QCOMPARE(m->DBGrid13->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(m->DBGrid13->selectionMode(), QAbstractItemView::ExtendedSelection);
    QVERIFY(m->DBGrid13->showGrid());
    QVERIFY(m->DBGrid13->horizontalHeader()->isVisible());
    QVERIFY(m->DBGrid13->verticalHeader()->isVisible());
    QCOMPARE(m->DBGrid13->horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
    // At start the grid shows the closed search list: no rows.
    QCOMPARE(m->currentList(), MastData->DSADOQuery2);
    QCOMPARE(m->DBGrid13->model()->rowCount(), 0);

    const QList<QLabel *> panels = m->StatusBar1->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(panels.size(), 2);
    QCOMPARE(panels[0]->width(), 550);
    QVERIFY(!panels[0]->text().isEmpty());
    QCOMPARE(panels[1]->width(), 50);
    QVERIFY(panels[1]->text().isEmpty());
}

void TestMainWindow::fontsAndColours_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("cream");
    QTest::newRow("library tabs") << "PageControl2" << 15 << false << false;
    QTest::newRow("topic tree inherits the tabs' font") << "TreeView1" << 15 << false << true;
    QTest::newRow("search options inherit the tabs' font") << "RadioButton1" << 15 << false << false;
    QTest::newRow("count label") << "Label1" << 13 << false << false;
    QTest::newRow("keyword box") << "Edit4" << 13 << false << true;
    QTest::newRow("link pane") << "Memo1" << 15 << true << true;
    QTest::newRow("annotation tree") << "TreeView4" << 13 << true << true;
}

void TestMainWindow::fontsAndColours()
{
    QFETCH(QString, widget);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    QFETCH(bool, cream);
    auto *w = MainForm->findChild<QWidget *>(widget);
    QVERIFY(w);
    QCOMPARE(w->font().family(), QStringLiteral("宋体"));
    QCOMPARE(w->font().pixelSize(), pixels);
    QCOMPARE(w->font().bold(), bold);
    // "宋体" is drawn with an installed font that has Chinese letters.
    const QString drawn = QFontInfo(w->font()).family();
    QVERIFY2(QFontDatabase::writingSystems(drawn).contains(QFontDatabase::SimplifiedChinese), qPrintable(drawn));
    if (cream) QCOMPARE(w->palette().color(QPalette::Base), QColor(255, 251, 240));
}

void TestMainWindow::narrowWindowReachesEveryEditingButton()
{
    QTest::mouseClick(MainForm->SpeedButton1, Qt::LeftButton);  // editing mode
    // Room for the mode toolbar and a little more: the editing toolbar gets
    // about 200 pixels of its 600.
    const int width = MainForm->ToolBar4->sizeHint().width() + 200;
    MainForm->showNormal();
    QVERIFY(QTest::qWaitFor([width] {
        MainForm->resize(width, 400);  // again once the minimum size has followed the mode
        return MainForm->width() == width;
    }));
    QApplication::processEvents();
    auto *scroller = qobject_cast<TPageScroller *>(MainForm->PageScroller1);
    QVERIFY(scroller);
    QWidget *viewport = scroller->viewport();
    QVERIFY2(MainForm->ToolBar2->width() > viewport->width(), "the window is not narrow enough for the test");
    auto *right = scroller->findChild<QToolButton *>("PageScrollerRight");
    QVERIFY(right && right->isVisible());

    // Scroll step by step to the end; every button comes fully into view on
    // the way, none is folded away.
    QSet<QString> seen;
    QList<QWidget *> buttons;
    for (QAction *a : MainForm->ToolBar2->actions())
        if (QWidget *w = MainForm->ToolBar2->widgetForAction(a); w && !a->isSeparator() && a->isVisible())
            buttons << w;
    QCOMPARE(buttons.size(), 14);  // all but the hidden open command
    for (int step = 0; step < 100; ++step) {
        for (QWidget *b : buttons) {
            QVERIFY2(b->isVisible(), qPrintable(b->objectName() + " is folded away"));
            const QRect r(b->mapTo(viewport, QPoint(0, 0)), b->size());
            if (viewport->rect().contains(r)) seen << b->objectName() + QString::number(quintptr(b));
        }
        if (!right->isEnabled()) break;
        QTest::mouseClick(right, Qt::LeftButton);
    }
    QCOMPARE(seen.size(), buttons.size());
}

void TestMainWindow::windowMenuListsEditorWindows()
{
    QTest::mouseClick(MainForm->SpeedButton1, Qt::LeftButton);
    auto *child = new TMDIChild;
    child->setWindowTitle(QStringLiteral("7 静夜思"));
    QMdiSubWindow *sub = MainForm->mdiArea->addSubWindow(child);
    sub->show();
    QMenu *menu = MainForm->menu(4);
    QMetaObject::invokeMethod(menu, "aboutToShow");
    QCOMPARE(menuItems(menu), QStringLiteral("&Cascade|Tile &Horizontally|Tile &Vertically|&Minimize All|-|&1 7 静夜思"));
    sub->close();
    QApplication::processEvents();
    QMetaObject::invokeMethod(menu, "aboutToShow");
    QCOMPARE(menuItems(menu), QStringLiteral("&Cascade|Tile &Horizontally|Tile &Vertically|&Minimize All"));
}

void TestMainWindow::modesAfterPresses_data()
{
    QTest::addColumn<int>("presses");
    QTest::addColumn<bool>("library");
    QTest::newRow("at start: library mode") << 0 << true;
    QTest::newRow("one press of 显示: editing mode") << 1 << false;
    QTest::newRow("two presses: back in library mode") << 2 << true;
}

void TestMainWindow::modesAfterPresses()
{
    QFETCH(int, presses);
    QFETCH(bool, library);
    for (int i = 0; i < presses; ++i) QTest::mouseClick(MainForm->SpeedButton1, Qt::LeftButton);
    TMainForm *m = MainForm;
    QCOMPARE(m->Panel2->isVisible(), library);
    QCOMPARE(m->ToolBar2->isVisible(), !library);
    QCOMPARE(m->menu(0)->menuAction()->isVisible(), library);
    for (int i : {1, 2, 3, 4}) QCOMPARE(m->menu(i)->menuAction()->isVisible(), !library);
    QCOMPARE(m->SpeedButton5->isEnabled(), !library);  // "M"
    QCOMPARE(m->SpeedButton2->isEnabled(), library);   // "取消"
    // Never hidden.
    QVERIFY(m->menu(5)->menuAction()->isVisible());
    QVERIFY(m->menu(6)->menuAction()->isVisible());
    QVERIFY(m->ToolBar4->isVisible());
    QVERIFY(m->StatusBar1->isVisible());
    QVERIFY(m->SpeedButton1->isEnabled());
}

void TestMainWindow::editorWindowsStayOpenBehindThePanel()
{
    auto *child = new TMDIChild;
    child->setWindowTitle(QStringLiteral("1 静夜思"));
    QMdiSubWindow *sub = MainForm->mdiArea->addSubWindow(child);
    sub->show();
    QWidget *area = MainForm->ClientArea;
    auto onTop = [area] { return area->childAt(area->rect().center()); };
    QVERIFY(MainForm->Panel2->isAncestorOf(onTop()));  // the panel covers the editor windows
    QTest::mouseClick(MainForm->SpeedButton1, Qt::LeftButton);
    QVERIFY(MainForm->mdiArea->isAncestorOf(onTop()));
    QTest::mouseClick(MainForm->SpeedButton1, Qt::LeftButton);
    QVERIFY(MainForm->Panel2->isAncestorOf(onTop()));
    QVERIFY(sub->isVisible());
    QCOMPARE(MainForm->mdiArea->subWindowList().size(), 1);
    QTest::mouseClick(MainForm->SpeedButton1, Qt::LeftButton);
    QVERIFY(child->isVisible());
    QCOMPARE(MainForm->mdiArea->activeSubWindow(), sub);
    QCOMPARE(child->windowTitle(), QStringLiteral("1 静夜思"));
}

void TestMainWindow::activation_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("reloads");
    QTest::newRow("back from the jump window: reload, library mode") << "jump" << true;
    QTest::newRow("back from the quick collection window: reload, library mode") << "collect" << true;
    QTest::newRow("a message box closed: nothing") << "box" << false;
    QTest::newRow("the topic picker closed: nothing") << "picker" << false;
    QTest::newRow("back from another program: nothing") << "elsewhere" << false;
}

void TestMainWindow::activation()
{
    QFETCH(QString, from);
    QFETCH(bool, reloads);
    // A reload leaves the tree collapsed and without selection.
    QTreeWidget *tree = MainForm->tree->TreeView1;
    tree->topLevelItem(0)->setExpanded(true);
    tree->topLevelItem(0)->child(0)->setSelected(true);
    QTest::mouseClick(MainForm->SpeedButton1, Qt::LeftButton);  // editing mode

    std::unique_ptr<QMessageBox> box;
    if (from == "jump") {
        Form3->show();
        QVERIFY(activate(Form3));
    } else if (from == "collect") {
        frmget->show();
        QVERIFY(activate(frmget));
        frmget->hide();
    } else if (from == "box") {
        box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, "t", "x", QMessageBox::Ok, MainForm);
        box->show();
        QVERIFY(activate(box.get()));
        box->hide();
    } else if (from == "picker") {
        frmselectnode->open();
        QVERIFY(activate(frmselectnode));
        frmselectnode->reject();
    } else {
        Form3->show();
        QVERIFY(activate(Form3));
        // The platform reports the focus gone to another program.
        emit qApp->focusWindowChanged(nullptr);
    }
    QVERIFY(activate(MainForm));
    QApplication::processEvents();

    QCOMPARE(MainForm->inLibraryMode(), reloads);
    QCOMPARE(tree->topLevelItem(0)->isExpanded(), !reloads);
    QCOMPARE(tree->selectedItems().isEmpty(), reloads);
    Form3->hide();
}

WENK_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
