#pragma once
#include <QDialog>

class TTopicTree;

// The topic picker: a modal window with its own topic tree.
class Tfrmselectnode : public QDialog {
    Q_OBJECT
public:
    explicit Tfrmselectnode(QWidget *parent = nullptr);
    TTopicTree *tree;
};

extern Tfrmselectnode *frmselectnode;
