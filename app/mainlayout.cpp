// The main window's controls, menus and toolbars.
#include "app/main.h"

#include "ui/look.h"
#include "ui/messagebox.h"
#include "ui/widgets.h"

#include "app/pagescroller.h"
#include "data/Unit1.h"
#include "library/documentgrid.h"
#include "topics/topictree.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The selection stays as visible when the tree or grid loses the focus.

QToolButton *modeButton(QToolBar *bar, const char *name, const QString &caption)
{
    QToolButton *b = ui::captionButton(bar, name, caption);
    b->setMinimumWidth(40);
    return b;
}

QAction *action(QObject *owner, const char *name, const QString &caption, const QString &hint,
                const QKeySequence &shortcut = {})
{
    auto *a = new QAction(caption, owner);
    a->setObjectName(name);
    const int bar = hint.indexOf('|');
    a->setToolTip(bar < 0 ? hint : hint.left(bar));
    // The long hint, after the bar, is kept but not shown: the status bar
    // holds only its credit line.
    a->setWhatsThis(bar < 0 ? hint : hint.mid(bar + 1));
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::ApplicationShortcut);
    }
    return a;
}

QPushButton *hiddenButton(QWidget *owner, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, owner);
    b->setObjectName(name);
    b->hide();
    return b;
}

// A status bar panel of a given width, which gives way in a narrow window
// rather than holding the window wide.
class StatusPanel : public QLabel {
public:
    StatusPanel(int width, QWidget *parent) : QLabel(parent), width_(width) { setMaximumWidth(width); }
    QSize sizeHint() const override { return {width_, QLabel::sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

private:
    int width_;
};

// Rebuilds the entries after the window actions: a separator, then one
// entry per editor window, the active one checked.
void fillWindowList(QMenu *menu, QMdiArea *area)
{
    for (QAction *a : menu->actions())
        if (a->property("windowEntry").toBool()) {
            menu->removeAction(a);
            a->deleteLater();
        }
    const QList<QMdiSubWindow *> windows = area->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    auto add = [menu](QAction *a) {
        a->setProperty("windowEntry", true);
        menu->addAction(a);
    };
    auto *separator = new QAction(menu);
    separator->setSeparator(true);
    add(separator);
    for (int i = 0; i < windows.size(); ++i) {
        QPointer<QMdiSubWindow> w = windows[i];
        auto *entry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(w->windowTitle()), menu);
        entry->setCheckable(true);
        entry->setChecked(w == area->activeSubWindow());
        QObject::connect(entry, &QAction::triggered, area, [area, w] {
            if (w) area->setActiveSubWindow(w);
        });
        add(entry);
    }
}

}  // namespace

void TMainForm::buildLayout()
{
    setObjectName("MainForm");
    setWindowTitle(MessageBoxes::programTitle());
    buildActions();
    buildMenus();
    auto *central = new QWidget(this);
    central->setObjectName("central");
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    buildCoolBar(central);
    column->addWidget(CoolBar1);
    buildLibraryPanel(central);
    column->addWidget(ClientArea, 1);
    setCentralWidget(central);
    buildStatusBar();
    buildHiddenButtons();
}

// The actions of the editing, format, window, find, exit and About commands.
void TMainForm::buildActions()
{
    EditCut1 = action(this, "EditCut1", QStringLiteral("剪切"), "Cut|Cuts the selection and puts it on the Clipboard",
                      QKeySequence("Ctrl+X"));
    EditCopy1 = action(this, "EditCopy1", QStringLiteral("复制"),
                       "Copy|Copies the selection and puts it on the Clipboard", QKeySequence("Ctrl+C"));
    EditPaste1 =
        action(this, "EditPaste1", QStringLiteral("粘贴"), "Paste|Inserts Clipboard contents", QKeySequence("Ctrl+V"));
    EditUndo1 =
        action(this, "EditUndo1", QStringLiteral("撤销"), "Undo|Reverts the last action", QKeySequence("Ctrl+Z"));
    EditUndo1->setEnabled(false);
    EditSelectAll1 = action(this, "EditSelectAll1", QStringLiteral("全选"), "Select All|Selects the entire document",
                            QKeySequence("Ctrl+A"));
    RichEditBold2 = action(this, "RichEditBold2", QStringLiteral("粗体"), "Bold", QKeySequence("Ctrl+B"));
    RichEditItalic1 = action(this, "RichEditItalic1", QStringLiteral("斜体"), "Italic", QKeySequence("Ctrl+I"));
    RichEditUnderline1 =
        action(this, "RichEditUnderline1", QStringLiteral("下划线"), "Underline", QKeySequence("Ctrl+U"));
    RichEditStrikeOut1 = action(this, "RichEditStrikeOut1", QStringLiteral("删除线"), "Strikeout");
    RichEditAlignCenter1 =
        action(this, "RichEditAlignCenter1", QStringLiteral("居中"), "Center|Centers text between margins");
    RichEditAlignLeft1 =
        action(this, "RichEditAlignLeft1", QStringLiteral("左对齐"), "Align Left|Aligns text at the left indent");
    RichEditAlignRight1 =
        action(this, "RichEditAlignRight1", QStringLiteral("右对齐"), "Align Right|Aligns text at the right indent");
    RichEditBullets1 =
        action(this, "RichEditBullets1", QStringLiteral("分项"), "Bullets|Inserts a bullet on the current line");
    for (QAction *a : {RichEditBold2, RichEditItalic1, RichEditUnderline1, RichEditStrikeOut1, RichEditAlignCenter1,
                       RichEditAlignLeft1, RichEditAlignRight1, RichEditBullets1})
        a->setCheckable(true);
    WindowCascade1 = action(this, "WindowCascade1", "&Cascade", "Cascade");
    WindowTileHorizontal1 = action(this, "WindowTileHorizontal1", "Tile &Horizontally", "Tile Horizontally");
    WindowTileVertical1 = action(this, "WindowTileVertical1", "Tile &Vertically", "Tile Vertically");
    WindowMinimizeAll1 = action(this, "WindowMinimizeAll1", "&Minimize All", "Minimize All");
    SearchFind1 = action(this, "SearchFind1", "Find", "Find|Finds the specified text", QKeySequence("Ctrl+F"));
    SearchFindNext1 =
        action(this, "SearchFindNext1", "Find Next", "Find Next|Repeats the last find", QKeySequence("F3"));
    addAction(SearchFind1);
    addAction(SearchFindNext1);
    // What users of MDI programs expect of editor windows, beyond the
    // design's table: close the active one, go to the next or previous one.
    WindowClose1 = action(this, "WindowClose1", QStringLiteral("关闭"), "Close");
    WindowClose1->setShortcuts({QKeySequence("Ctrl+F4"), QKeySequence("Ctrl+W")});
    WindowClose1->setShortcutContext(Qt::ApplicationShortcut);
    WindowNext1 = action(this, "WindowNext1", QStringLiteral("下一个窗口"), "Next Window", QKeySequence("Ctrl+Tab"));
    WindowPrevious1 = action(this, "WindowPrevious1", QStringLiteral("上一个窗口"), "Previous Window",
                             QKeySequence("Ctrl+Shift+Tab"));
    addActions({WindowClose1, WindowNext1, WindowPrevious1});
    FileExit1 = action(this, "FileExit1", QStringLiteral("退出系统"), "Exit|Exit application");
    HelpAbout1 = action(this, "HelpAbout1", QStringLiteral(" 关于作者"), "About");
}

// The main menu, by the design's index.
void TMainForm::buildMenus()
{
    QMenuBar *bar = menuBar();
    LibraryFileMenu = bar->addMenu(QStringLiteral("文 件"));
    N18 = LibraryFileMenu->addAction(QStringLiteral("新建文件"));
    N18->setObjectName("N18");
    LibraryFileMenu->addSeparator();
    N20 = LibraryFileMenu->addAction(QStringLiteral("退出系统"));
    N20->setObjectName("N20");

    EditingFileMenu = bar->addMenu(QStringLiteral(" 文 件 "));
    N2 = EditingFileMenu->addAction(QStringLiteral("新建文件"));
    N2->setObjectName("N2");
    N5 = EditingFileMenu->addAction(QStringLiteral("删除文件"));
    N5->setObjectName("N5");
    EditingFileMenu->addSeparator();
    N3 = EditingFileMenu->addAction(QStringLiteral("保存"));
    N3->setObjectName("N3");
    EditingFileMenu->addSeparator();
    EditingFileMenu->addAction(FileExit1);
    N21 = FileExit1;

    EditMenu = bar->addMenu(QStringLiteral(" 编 辑 "));
    EditMenu->addActions({EditCut1, EditCopy1, EditPaste1});
    EditMenu->addSeparator();
    EditMenu->addAction(EditUndo1);
    EditMenu->addSeparator();
    EditMenu->addAction(EditSelectAll1);

    FormatMenu = bar->addMenu(QStringLiteral(" 格 式 "));
    N11 = FormatMenu->addAction(QStringLiteral("选择字体"));
    N11->setObjectName("N11");
    FormatMenu->addSeparator();
    FormatMenu->addActions({RichEditBold2, RichEditItalic1, RichEditUnderline1, RichEditStrikeOut1});
    FormatMenu->addSeparator();
    FormatMenu->addActions({RichEditAlignCenter1, RichEditAlignLeft1, RichEditAlignRight1, RichEditBullets1});

    WindowMenu = bar->addMenu(QStringLiteral(" 视窗排列"));
    WindowMenu->addActions({WindowCascade1, WindowTileHorizontal1, WindowTileVertical1, WindowMinimizeAll1});
    // The window-list menu: one entry per editor window after the actions.
    connect(WindowMenu, &QMenu::aboutToShow, this, [this] { fillWindowList(WindowMenu, mdiArea); });

    UpgradeMenu = bar->addMenu(QStringLiteral(" 升 级"));
    N22 = UpgradeMenu->addAction(QStringLiteral("数据升级"));
    N22->setObjectName("N22");
    RestoreBackup1 = UpgradeMenu->addAction(QStringLiteral("恢复备份"));
    RestoreBackup1->setObjectName("RestoreBackup1");
    HelpMenu = bar->addMenu(QStringLiteral(" 帮 助"));
    HelpMenu->addAction(HelpAbout1);
    N23 = HelpAbout1;
    const std::pair<QMenu *, const char *> menuNames[] = {
        {LibraryFileMenu, "N17"}, {EditingFileMenu, "N1"}, {EditMenu, "N6"}, {FormatMenu, "N7"},
        {WindowMenu, "N8"},       {UpgradeMenu, "N9"},     {HelpMenu, "N10"}};
    for (const auto &[menu, name] : menuNames) menu->setObjectName(name);
}

// The cool bar: the mode toolbar and the scrolling editing toolbar.
void TMainForm::buildCoolBar(QWidget *central)
{
    CoolBar1 = new QWidget(central);
    CoolBar1->setObjectName("CoolBar1");
    auto *bands = new QHBoxLayout(CoolBar1);
    bands->setContentsMargins(0, 0, 0, 0);
    bands->setSpacing(4);
    ToolBar4 = new QToolBar(CoolBar1);
    ToolBar4->setObjectName("ToolBar4");
    ToolBar4->setMinimumHeight(33);
    SpeedButton1 = modeButton(ToolBar4, "SpeedButton1", QStringLiteral("显示"));
    QFont bold = SpeedButton1->font();
    bold.setBold(true);
    SpeedButton1->setFont(bold);
    look::setColour(SpeedButton1, QPalette::ButtonText, Qt::darkBlue);
    ToolBar4->addSeparator();
    SpeedButton6 = modeButton(ToolBar4, "SpeedButton6", QStringLiteral("快录"));
    SpeedButton20 = modeButton(ToolBar4, "SpeedButton20", QStringLiteral("升级"));
    ToolBar4->addSeparator();
    SpeedButton7 = modeButton(ToolBar4, "SpeedButton7", QStringLiteral("关联"));
    SpeedButton2 = modeButton(ToolBar4, "SpeedButton2", QStringLiteral("取消"));
    ToolBar4->addSeparator();
    SpeedButton5 = modeButton(ToolBar4, "SpeedButton5", QStringLiteral("M"));
    SpeedButton11 = modeButton(ToolBar4, "SpeedButton11", QStringLiteral("<"));
    SpeedButton4 = modeButton(ToolBar4, "SpeedButton4", QStringLiteral("JUMP"));
    SpeedButton10 = modeButton(ToolBar4, "SpeedButton10", QStringLiteral(">"));
    ToolBar4->addSeparator();
    ToolButton26 = ui::pictureButton(ToolBar4, "ToolButton26", QStyle::SP_FileIcon, QStringLiteral("新建文件"));
    bands->addWidget(ToolBar4);

    auto *scroller = new TPageScroller(CoolBar1);
    PageScroller1 = scroller;
    PageScroller1->setObjectName("PageScroller1");
    ToolBar2 = new QToolBar;
    ToolBar2->setObjectName("ToolBar2");
    ToolBar2->setMinimumHeight(35);
    ToolBar2->setIconSize(QSize(16, 16));
    ToolButton31 = ui::pictureButton(ToolBar2, "ToolButton31", QStyle::SP_DialogSaveButton, QStringLiteral("保存"));
    ToolBar2->addSeparator();
    ToolButton29 = ui::pictureButton(ToolBar2, "ToolButton29", QStyle::SP_TrashIcon, QStringLiteral("删除文件"));
    ToolBar2->addAction(EditUndo1);
    ToolBar2->addSeparator();
    ToolBar2->addActions({EditCut1, EditCopy1, EditPaste1});
    ToolBar2->addSeparator();
    SpeedButton17 = ui::captionButton(ToolBar2, "SpeedButton17", QStringLiteral("字"));
    ToolBar2->addActions({RichEditBold2, RichEditUnderline1, RichEditItalic1, RichEditStrikeOut1, WindowTileVertical1});
    ToolBar2->addSeparator();
    ToolBar2->addActions({WindowCascade1, WindowTileHorizontal1});
    ToolBar2->addSeparator();
    // The last item of the toolbar, never shown. Kept out of the toolbar's
    // actions: a hidden toolbar action disables its widget, and the button
    // must still run the open command when triggered.
    BitBtn3 = hiddenButton(ToolBar2, "BitBtn3", QStringLiteral("open"));
    scroller->setContent(ToolBar2);
    bands->addWidget(PageScroller1, 1);
}

// The client area: the MDI area with the library panel over it, the tabs of
// the shelf and the search on the left, the list and the panes on the right.
void TMainForm::buildLibraryPanel(QWidget *central)
{
    ClientArea = new QWidget(central);
    ClientArea->setObjectName("ClientArea");
    auto *stack = new QGridLayout(ClientArea);
    stack->setContentsMargins(0, 0, 0, 0);
    mdiArea = new QMdiArea(ClientArea);
    mdiArea->setObjectName("mdiArea");
    mdiArea->setBackground(palette().brush(QPalette::Dark));
    stack->addWidget(mdiArea, 0, 0);

    Panel2 = new QWidget(ClientArea);
    Panel2->setObjectName("Panel2");
    Panel2->setAutoFillBackground(true);
    stack->addWidget(Panel2, 0, 0);
    Panel2->raise();
    auto *panelLayout = new QHBoxLayout(Panel2);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    Splitter1 = new QSplitter(Qt::Horizontal, Panel2);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setHandleWidth(7);
    panelLayout->addWidget(Splitter1);

    PageControl2 = new QTabWidget(Splitter1);
    PageControl2->setObjectName("PageControl2");
    buildShelfTab();
    buildSearchTab();
    // Set once the pages are in, so that everything on them takes it.
    PageControl2->setFont(look::songFont(15));
    buildListSide();
    Splitter1->addWidget(PageControl2);
    Splitter1->addWidget(Panel4);
    Splitter1->setStretchFactor(1, 1);
    // A silver bar; a style sheet would stop the panel's fonts reaching the pages.
    QSplitterHandle *handle = Splitter1->handle(1);
    QPalette silver = handle->palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    handle->setPalette(silver);
    handle->setAutoFillBackground(true);
    Splitter1->setSizes({224, 1000});
}

// "资料书架": the topic tree with its toolbar.
void TMainForm::buildShelfTab()
{
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    auto *shelf = new QVBoxLayout(TabSheet1);
    shelf->setContentsMargins(0, 0, 0, 0);
    tree = new TTopicTree(true, TabSheet1);
    // The main window's reload also offers the mark command.
    tree->onReopened = [this] { SpeedButton5->setEnabled(true); };
    look::setCream(tree->TreeView1);
    look::keepSelectionVisible(tree->TreeView1);
    // Item views take the platform's own font unless told otherwise.
    tree->TreeView1->setFont(look::songFont(15));
    shelf->addWidget(tree);
    PageControl2->addTab(TabSheet1, QStringLiteral("资料书架"));
}

// "查 询": the keyword search.
void TMainForm::buildSearchTab()
{
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName("TabSheet2");
    auto *searchTab = new QVBoxLayout(TabSheet2);
    searchTab->setContentsMargins(4, 4, 4, 4);
    GroupBox1 = new QGroupBox(QStringLiteral("关键词查询"), TabSheet2);
    GroupBox1->setObjectName("GroupBox1");
    // Two rows, the options above the keyword box, narrow enough for the
    // 224 pixels of the tabs.
    auto *g = new QVBoxLayout(GroupBox1);
    g->setContentsMargins(6, 6, 6, 6);
    auto *options = new QHBoxLayout;
    auto *keyword = new QHBoxLayout;
    options->setSpacing(4);
    keyword->setSpacing(4);
    Label2 = new QLabel(QStringLiteral("查询方式"), GroupBox1);
    Label2->setObjectName("Label2");
    RadioButton1 = new QRadioButton(QStringLiteral("标题"), GroupBox1);
    RadioButton1->setObjectName("RadioButton1");
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("正文"), GroupBox1);
    RadioButton2->setObjectName("RadioButton2");
    Edit4 = new QLineEdit(GroupBox1);
    Edit4->setObjectName("Edit4");
    look::setCream(Edit4);
    Edit4->setFont(look::songFont(13));
    look::setColour(Edit4, QPalette::Text, Qt::darkBlue);
    Edit4->setToolTip(
        QStringLiteral("请在此输入关键词，然后后按回车键或按查找钮检索。当关键词为空时，返回全部资料信息"));
    SpeedButton18 = new QToolButton(GroupBox1);
    SpeedButton18->setObjectName("SpeedButton18");
    SpeedButton18->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    SpeedButton18->setToolTip(QStringLiteral("查找"));
    options->addWidget(Label2);
    options->addWidget(RadioButton1);
    options->addWidget(RadioButton2);
    options->addStretch(1);
    keyword->addWidget(Edit4, 1);
    keyword->addWidget(SpeedButton18);
    g->addLayout(options);
    g->addLayout(keyword);
    searchTab->addWidget(GroupBox1);
    searchTab->addStretch(1);
    PageControl2->addTab(TabSheet2, QStringLiteral("查 询"));
}

// The count label, the document grid and the two information panes.
void TMainForm::buildListSide()
{
    Panel4 = new QWidget(Splitter1);
    Panel4->setObjectName("Panel4");
    auto *right = new QVBoxLayout(Panel4);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    ToolBar3 = new QToolBar(Panel4);
    ToolBar3->setObjectName("ToolBar3");
    ToolBar3->setFixedHeight(27);
    Label1 = new QLabel(ToolBar3);
    Label1->setObjectName("Label1");
    Label1->setFixedWidth(285);
    Label1->setFont(look::songFont(13));
    ToolBar3->addWidget(Label1);
    right->addWidget(ToolBar3);

    Splitter2 = new QSplitter(Qt::Vertical, Panel4);
    Splitter2->setObjectName("Splitter2");
    Splitter2->setHandleWidth(8);
    right->addWidget(Splitter2, 1);
    DBGrid13 = new QTableView(Splitter2);
    DBGrid13->setObjectName("DBGrid13");
    DBGrid13Model = new TDocumentGridModel(this);
    DBGrid13->setModel(DBGrid13Model);
    followCurrentRow(DBGrid13, DBGrid13Model);
    look::keepSelectionVisible(DBGrid13);
    DBGrid13->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid13->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DBGrid13->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid13->setShowGrid(true);
    DBGrid13->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid13->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    DBGrid13->verticalHeader()->setDefaultSectionSize(20);
    DBGrid13->verticalHeader()->setFixedWidth(12);
    DBGrid13->setColumnWidth(0, 69);
    DBGrid13->setColumnWidth(1, 740);

    PageControl3 = new QTabWidget(Splitter2);
    PageControl3->setObjectName("PageControl3");
    PageControl3->setTabPosition(QTabWidget::South);
    auto *linkTab = new QWidget;
    linkTab->setObjectName("TabSheet3");
    auto *lt = new QVBoxLayout(linkTab);
    lt->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QTextEdit(linkTab);
    Memo1->setObjectName("Memo1");
    Memo1->setAcceptRichText(false);
    look::setCream(Memo1);
    Memo1->setFont(look::songFont(15, true));
    lt->addWidget(Memo1);
    RichEdit1 = new QTextEdit(linkTab);
    RichEdit1->setObjectName("RichEdit1");
    RichEdit1->hide();
    PageControl3->addTab(linkTab, QStringLiteral("关联信息"));
    auto *noteTab = new QWidget;
    noteTab->setObjectName("TabSheet4");
    auto *nt = new QVBoxLayout(noteTab);
    nt->setContentsMargins(0, 0, 0, 0);
    TreeView4 = new QTreeWidget(noteTab);
    TreeView4->setObjectName("TreeView4");
    TreeView4->setHeaderHidden(true);
    look::setCream(TreeView4);
    TreeView4->setFont(look::songFont(13, true));
    nt->addWidget(TreeView4);
    PageControl3->addTab(noteTab, QStringLiteral("标注信息"));
    Splitter2->addWidget(DBGrid13);
    Splitter2->addWidget(PageControl3);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setSizes({600, 150});
}

// The status bar: the credit line and an empty panel.
void TMainForm::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    auto *credit = new StatusPanel(550, StatusBar1);
    credit->setText(QStringLiteral("云笈研读书匣 —— 收集、整理、研读文字资料与电子书"));
    credit->setObjectName("StatusPanel0");
    auto *second = new StatusPanel(50, StatusBar1);
    second->setObjectName("StatusPanel1");
    StatusBar1->addWidget(credit);
    StatusBar1->addWidget(second);
    setStatusBar(StatusBar1);
}

// The internal commands, run by triggering them; never shown.
void TMainForm::buildHiddenButtons()
{
    btbiaodw = hiddenButton(this, "btbiaodw", QStringLiteral("分表定位btbiaodw"));
    btshowglxx = hiddenButton(this, "btshowglxx", QStringLiteral("btshowglxx显示关联信息"));
    btshowbz = hiddenButton(this, "btshowbz", QStringLiteral("btshowbz显示标注"));
    BitBtn4 = hiddenButton(this, "BitBtn4", QStringLiteral("BitBtn4打开标注"));
}

void TMainForm::bindDataSources()
{
    // At start the grid shows the (closed) search list.
    DBGrid13Model->setDataSource(MastData->DSADOQuery2);
}
