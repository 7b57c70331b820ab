#pragma once
#include <QDialog>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QTextEdit;
class QToolButton;

// The quick collection window: a small window above all others in which the
// user types or pastes a title and a text and files them as a new document
// under a picked topic. Modal; it stays open for the next item.
class Tfrmget : public QDialog {
    Q_OBJECT
public:
    explicit Tfrmget(QWidget *parent = nullptr);

    QLineEdit *Edit1;           // the title
    QTextEdit *Memo1;           // the text; pasted formatting stays
    QWidget *Panel1;            // the buttons on the right
    QToolButton *SpeedButton1;  // enlarge
    QToolButton *SpeedButton2;  // shrink
    QPushButton *BitBtn4;       // "收集"
    QSlider *TrackBar1;         // opacity
    QMenu *PopupMenu1;          // of Memo1
    QAction *N1, *N2, *N8;      // 复制, 粘贴, 清空
    QMenu *PopupMenu2;          // of Edit1
    QAction *N3, *N4, *N6;      // 复制, 粘贴, 清空

    void FormActivate();
    void TrackBar1Change();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void BitBtn4Click();
    void FormClose();
    void N1Click();
    void N2Click();
    void N8Click();
    void N3Click();
    void N4Click();
    void N6Click();

    // The opacity of a slider position: 255 at 1 down to 165 at 10.
    static int opacityOf(int position) { return 265 - 10 * position; }

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void buildLayout();
    void resizeTo(QSize window, int titleWidth);
};

extern Tfrmget *frmget;
