#pragma once
#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The find dialog: not modal, over the text control that had the focus when
// it was asked for. A hit selects the text there; a miss says so.
class TFindDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget *parent = nullptr);

    QLineEdit *FindText;
    QCheckBox *MatchCase;   // "区分大小写"
    QCheckBox *WholeWord;   // "全字匹配"
    QRadioButton *Up;       // "向上"
    QRadioButton *Down;     // "向下"
    QPushButton *FindNext;  // "查找下一个"
    QPushButton *CancelButton;

    // Shows the dialog for this text control.
    void showFor(QWidget *target);
    // Searches again for the last text; false when there is none yet.
    bool findAgain(QWidget *target);
    // True when the text was found and selected; a miss shows a message.
    bool find(QWidget *target);

private:
    QPointer<QWidget> target_;
};

// Whether the widget is a text control that holds text: the find commands
// are offered while the focused control is one.
bool holdsText(const QWidget *widget);
