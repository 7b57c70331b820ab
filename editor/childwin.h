#pragma once
#include <QWidget>

class QAction;
class QFileDialog;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QStackedWidget;
class QTextEdit;
class QToolButton;

// An editor window: one open document, the widget of an MDI child of the
// main window. Its caption carries the document id; closing destroys it.
class TMDIChild : public QWidget {
    Q_OBJECT
public:
    explicit TMDIChild(QWidget *parent = nullptr);

    // "07《ABC》": the id with at least two digits, then the title.
    static QString caption(qint64 documentId, const QString &name);
    // The document id, read back from the caption's leading digits.
    qint64 documentId() const;
    // Set by the delete command just before it closes the window.
    bool DocumentDeleted = false;

    // ---- controls -----------------------------------------------------------
    QWidget *Panel3;
    QLineEdit *Edit1;          // the title
    QStackedWidget *BodyArea;  // the editor, with the highlight view behind it
    QTextEdit *RichEdit1;      // the body
    // The keyword highlight view, read-only: a plain-text view that keeps the
    // colours of its text and lays out only what it shows, so a long
    // document is shown at once.
    QPlainTextEdit *RichEdit3;
    QSplitter *Splitter1;
    QWidget *Panel2;                     // side panel
    QLineEdit *Edit2;                    // keyword to highlight
    QToolButton *SpeedButton3;           // highlight view on / off
    QLabel *Label1;                      // "附件"
    QToolButton *SpeedButton1;           // choose attachment
    QToolButton *SpeedButton2;           // "打开": open attachment
    QPlainTextEdit *Edit3;               // attachment's relative name
    QLabel *Label2;                      // "封面"
    QToolButton *SpeedButton4;           // choose cover
    QToolButton *SpeedButton5;           // "去除封面"
    QLabel *Image1;                      // cover picture
    QLineEdit *Edit5;                    // cover's relative name, hidden
    QFileDialog *OpenDialog1 = nullptr;  // made at its first use
    QMenu *PopupMenu1;
    QAction *N1, *N2;            // annotation markers
    QAction *N4, *N5, *N6, *N7;  // text colours

    // ---- commands -----------------------------------------------------------
    // Fills the window from the current document row (the open command's
    // steps 2.2 to 2.6). Returns the error text of a cover picture that could
    // not be loaded, empty when there was none; database errors are thrown.
    QString loadDocument();
    // Writes the window's document back (the save command's steps 2 to 8).
    void saveDocument();
    // May the window close? Asks to save when it holds changes.
    void FormCloseQuery(bool &CanClose);
    // Attachment and cover.
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    // The keyword highlight view on or off.
    void SpeedButton3Click();
    void N1Click();
    void N2Click();
    void N4Click();
    void N5Click();
    void N6Click();
    void N7Click();

    bool isModified() const;
    void clearModified();
    void placeCaret(int position);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void connectCommands();
    void RichEdit1ContextPopup(const QPoint &position);
    void showHighlights();
    void showEditor();

    QFileDialog *openDialog();
    QString chooseFile();
    QString acceptedName(const QString &path, const QString &column);
    void storeAtOnce(const QString &column, const QString &value);
    void askToFileIfUnfiled();
    // Makes the window's own document the current row; an error when it is
    // no longer in the library.
    void locateOwnRow();
};
