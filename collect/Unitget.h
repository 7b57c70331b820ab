#pragma once
#include <QWidget>

// The quick collection window: files pasted text as a new document.
class Tfrmget : public QWidget {
    Q_OBJECT
public:
    explicit Tfrmget(QWidget *parent = nullptr);
};

extern Tfrmget *frmget;
