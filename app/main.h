#pragma once
#include "documents/linkhost.h"
#include "documents/marks.h"

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
class TFindDialog;
class TDataSource;
class TMDIChild;
class TTopicTree;

// The MDI frame: library mode shows the library panel over the editor
// windows, editing mode hides it. Handlers are grouped by the area whose
// folder defines them.
class TMainForm : public QMainWindow, public TLinkHost, public TMarkHost {
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
    DataSourceModel *DBGrid13Model;
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
    QMenu *menus[7];
    QAction *N18, *N20;            // menu 0: new, exit
    QAction *N2, *N5, *N3, *N21;   // menu 1: new, delete, save, exit
    QAction *N22;                  // menu 5: data upgrade
    QAction *N23;                  // menu 6: about
    // Internal commands, run by triggering them; never shown.
    QPushButton *BitBtn3, *btbiaodw, *btshowglxx, *btshowbz, *BitBtn4;

    // ---- modes and window (app/) ------------------------------------------
    void EnterEditingMode();
    void EnterLibraryMode();
    void SpeedButton1Click();
    void FormActivate();
    void N20Click();
    // Binds the data-aware controls once the data module exists.
    void bindDataSources();
    void FileExit1Execute();
    bool inLibraryMode() const override;
    // The open editor windows, in window order (the active one first).
    QList<TMDIChild *> editorWindows() const;
    TMDIChild *activeEditor() const;

    // ---- topic tree (topics/) ---------------------------------------------
    void SpeedButton16Click();
    void btbiaodwClick();

    // ---- document list and search (library/) ------------------------------
    void TreeView1Click();
    void SpeedButton18Click();
    void DBGrid13CellClick();
    void DBGrid13DblClick();
    void PageControl3Change();
    // The current list: the data source the grid shows (DSADOQuery1 after a
    // tree click, DSADOQuery2 after a search), its query, the document id of
    // the query's current row, and the positions of the selected rows.
    TDataSource *currentList() const;
    TADOQuery *currentListQuery() const override;
    bool currentListIsTopicList() const override;
    qint64 currentListDocumentId() const;
    QList<int> selectedListRows() const override;
    void clearListSelection() override;

    // ---- documents (documents/) -------------------------------------------
    void ToolButton26Click();
    void ToolButton29Click();
    void SpeedButton7Click();
    void SpeedButton2Click();
    void btshowglxxClick();
    void SpeedButton5Click();
    void SpeedButton11Click();
    void SpeedButton4Click();
    void SpeedButton10Click();

    // ---- editor (editor/) -------------------------------------------------
    void BitBtn3Click();
    void ToolButton31Click();
    void btshowbzClick();
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
    void SearchFind1Execute();
    void SearchFindNext1Execute();
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

    // ---- what the link commands use (TLinkHost) ---------------------------
    QWidget *hostWindow() override { return this; }
    TTopicTree *mainTree() override { return tree; }
    qint64 takeActiveEditorDocument() override;

    // ---- what the marks use (TMarkHost) ------------------------------------
    bool takeActiveSelection(qint64 &documentId, int &start, QString &selected) override;
    void openCurrentDocumentAt(int caret) override;
    void returnFromJumpWindow() override;
    int &markCount() override { return MarkCount; }

    // ---- other commands ---------------------------------------------------
    void SpeedButton6Click();
    void SpeedButton17Click();
    void HelpAbout1Execute();
    void SpeedButton20Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    bool firstActivation_ = true;
    // The window of the program that had the focus before this one.
    QPointer<QWindow> previousWindow_;
    bool activationReloads();
    void showList(TDataSource *list);
    void buildLayout();
    void tileEditors(Qt::Orientation orientation);
    QMetaObject::Connection undoLink_;
    QList<QMetaObject::Connection> formatLinks_;
    void connectCommands();
};

extern TMainForm *MainForm;
