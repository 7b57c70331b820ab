#pragma once
#include "documents/documenthost.h"
#include "editor/opening.h"
#include "library/documentlist.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTextEdit;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWindow;
class DataSourceModel;
class TADOQuery;
class TDataSource;
class TDocumentGridModel;
class TFindDialog;
class TMDIChild;
class TTopicTree;

// The MDI frame: library mode shows the library panel over the editor
// windows, editing mode hides it. The handlers keep the design's names; the
// work of each area is done by its folder's classes, which reach back to
// this window through the host interfaces it implements.
class TMainForm : public QMainWindow, public TListHost, public TDocumentHost, public TEditorHost {
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // ---- state shared by the commands ------------------------------------
    QString ListSql;
    TMDIChild *ActiveEditor = nullptr;
    int PendingCaret = 0;
    qint64 CurrentDocId = 0;
    int MarkCount = 0;
    // The main tree, its CurrentNode and CurrentLevel.
    TTopicTree *tree;

    // ---- layout (app/mainlayout.cpp) --------------------------------------
    QWidget *CoolBar1;
    QToolBar *ToolBar4;  // mode toolbar, always shown
    QScrollArea *PageScroller1;
    QToolBar *ToolBar2;  // editing toolbar, editing mode only
    QWidget *ClientArea;
    QMdiArea *mdiArea;
    QWidget *Panel2;  // the library panel; shown exactly in library mode
    QTabWidget *PageControl2;
    QWidget *TabSheet1, *TabSheet2;
    QSplitter *Splitter1;
    QWidget *Panel4;
    QToolBar *ToolBar3;
    QLabel *Label1;
    QSplitter *Splitter2;
    QTableView *DBGrid13;
    TDocumentGridModel *DBGrid13Model;
    QTabWidget *PageControl3;
    QTextEdit *Memo1;
    QTextEdit *RichEdit1;  // hidden; carries the current document's rich text
    QTreeWidget *TreeView4;
    QStatusBar *StatusBar1;
    QGroupBox *GroupBox1;
    QLabel *Label2;
    QRadioButton *RadioButton1;  // "标题"
    QRadioButton *RadioButton2;  // "正文"
    QLineEdit *Edit4;
    QToolButton *SpeedButton18;

    QToolButton *SpeedButton1, *SpeedButton6, *SpeedButton20, *SpeedButton7, *SpeedButton2;
    QToolButton *SpeedButton5, *SpeedButton11, *SpeedButton4, *SpeedButton10, *ToolButton26;
    QToolButton *ToolButton31, *ToolButton29, *SpeedButton17;
    QAction *EditCut1, *EditCopy1, *EditPaste1, *EditUndo1, *EditSelectAll1;
    QAction *RichEditBold2, *RichEditItalic1, *RichEditUnderline1, *RichEditStrikeOut1;
    QAction *RichEditAlignCenter1, *RichEditAlignLeft1, *RichEditAlignRight1, *RichEditBullets1;
    QAction *WindowCascade1, *WindowTileHorizontal1, *WindowTileVertical1, *WindowMinimizeAll1;
    QAction *SearchFind1, *SearchFindNext1, *FileExit1, *HelpAbout1;
    QAction *WindowClose1, *WindowNext1, *WindowPrevious1;
    // The main menu, 0 to 6 by the design's index.
    QMenu *LibraryFileMenu;  // 0 "文 件", library mode
    QMenu *EditingFileMenu;  // 1 " 文 件 ", editing mode
    QMenu *EditMenu;         // 2 " 编 辑 "
    QMenu *FormatMenu;       // 3 " 格 式 "
    QMenu *WindowMenu;       // 4 " 视窗排列", with the list of editor windows
    QMenu *UpgradeMenu;      // 5 " 升 级"
    QMenu *HelpMenu;         // 6 " 帮 助"
    QMenu *menu(int index) const;
    QAction *N18, *N20;           // menu 0: new, exit
    QAction *N2, *N5, *N3, *N21;  // menu 1: new, delete, save, exit
    QAction *N11;                 // menu 3: font
    QAction *N22;                 // menu 5: data upgrade
    QAction *RestoreBackup1;      // menu 5: restore a backup
    QAction *N23;                 // menu 6: about
    // Internal commands, run by triggering them; never shown.
    QPushButton *BitBtn3, *btbiaodw, *btshowglxx, *btshowbz, *BitBtn4;

    // ---- modes and window (app/main.cpp) ------------------------------------
    void EnterEditingMode() override;
    void EnterLibraryMode();
    void SpeedButton1Click();
    void FormActivate();
    void N20Click();
    void FileExit1Execute();
    // Binds the data-aware controls once the data module exists.
    void bindDataSources();
    bool inLibraryMode() const override;
    // The open editor windows, in window order (the active one first).
    QList<TMDIChild *> editorWindows() const;
    TMDIChild *activeEditor() const;

    // ---- topic tree (app/librarycommands.cpp, topics/) ---------------------
    void SpeedButton16Click();
    void btbiaodwClick();

    // ---- document list and search (app/librarycommands.cpp, library/) ------
    void TreeView1Click();
    void SpeedButton18Click();
    void DBGrid13CellClick();
    void DBGrid13DblClick();
    void PageControl3Change();
    TDocumentList documentList() override;
    TDataSource *currentList() const;
    TADOQuery *currentListQuery() const;
    qint64 currentListDocumentId() const;
    QList<int> selectedListRows() const;

    // ---- documents (app/documentcommands.cpp, documents/) ------------------
    void ToolButton26Click();
    void ToolButton29Click();
    void SpeedButton7Click();
    void SpeedButton2Click();
    void btshowglxxClick() override;
    void SpeedButton5Click();
    void SpeedButton11Click();
    void SpeedButton4Click();
    void SpeedButton10Click();

    // ---- editor (app/editorcommands.cpp, editor/) --------------------------
    void BitBtn3Click() override;
    void ToolButton31Click();
    void btshowbzClick() override;
    void BitBtn4Click();

    // ---- edit and character format (app/editcommands.cpp) -----------------
    void EditCut1Execute();
    void EditCopy1Execute();
    void EditPaste1Execute();
    void EditUndo1Execute();
    void EditSelectAll1Execute();
    void RichEditBold2Execute();
    void RichEditItalic1Execute();
    void RichEditUnderline1Execute();
    void RichEditStrikeOut1Execute();
    void followUndo(QWidget *focused);

    // ---- paragraph formats, font, find, About (app/formatcommands.cpp) -----
    void RichEditAlignCenter1Execute();
    void RichEditAlignLeft1Execute();
    void RichEditAlignRight1Execute();
    void RichEditBullets1Execute();
    void updateFormatChecks();
    void followFormat(QWidget *focused);
    void SpeedButton17Click();
    void SearchFind1Execute();
    void SearchFindNext1Execute();
    void HelpAbout1Execute();
    TFindDialog *FindDialog1 = nullptr;

    // ---- window arrangement (app/windowarrange.cpp) ------------------------
    void WindowCascade1Execute();
    void WindowTileHorizontal1Execute();
    void WindowTileVertical1Execute();
    void WindowMinimizeAll1Execute();
    // Closing and cycling the editor windows (Ctrl+F4 and Ctrl+W, Ctrl+Tab).
    void WindowClose1Execute();
    void WindowNext1Execute();
    void WindowPrevious1Execute();
    void updateWindowActions();

    // ---- quick collection and data upgrade ----------------------------------
    void SpeedButton6Click();
    void SpeedButton20Click();
    void RestoreBackup1Click();  // app/restorebackup.cpp

    // ---- what the area folders use of this window ---------------------------
    QWidget *hostWindow() override { return this; }
    TTopicTree *mainTree() override { return tree; }
    qint64 takeActiveEditorDocument() override;
    bool takeActiveSelection(qint64 &documentId, int &start, QString &selected) override;
    bool closeActiveEditorAsDeleted() override;
    void uncoverEditors() override;
    void openCurrentDocumentAt(int caret) override;
    void returnFromJumpWindow() override;
    int &markCount() override { return MarkCount; }
    QMdiArea *editorArea() override { return mdiArea; }
    int &pendingCaret() override { return PendingCaret; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    // The layout, in the order of its sections (app/mainlayout.cpp).
    void buildLayout();
    void buildActions();
    void buildMenus();
    void buildCoolBar(QWidget *central);
    void buildLibraryPanel(QWidget *central);
    void buildShelfTab();
    void buildSearchTab();
    void buildListSide();
    void buildStatusBar();
    void buildHiddenButtons();
    void connectCommands();
    // The six elements that the two modes show the other way round.
    void showMode(bool editing);

    bool firstActivation_ = true;
    // The window of the program that had the focus before this one.
    QPointer<QWindow> previousWindow_;
    bool activationReloads();
    void tileEditors(Qt::Orientation orientation);
    QMetaObject::Connection undoLink_;
    QList<QMetaObject::Connection> formatLinks_;
};

extern TMainForm *MainForm;
