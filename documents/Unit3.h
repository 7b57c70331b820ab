#pragma once
#include <QWidget>

// The jump window: the list of marks set while reading.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);
};

extern TForm3 *Form3;
