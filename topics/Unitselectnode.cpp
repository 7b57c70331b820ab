#include "topics/Unitselectnode.h"

#include "topics/topictree.h"

#include <QVBoxLayout>

Tfrmselectnode *frmselectnode = nullptr;

Tfrmselectnode::Tfrmselectnode(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmselectnode");
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    tree = new TTopicTree(false, this);
    layout->addWidget(tree);
}
