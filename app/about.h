#pragma once
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The About box: a picture on a lowered white panel and "返回".
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    QFrame *Panel1;
    QLabel *ProgramIcon;
    QPushButton *OKButton;  // "返回"
};
