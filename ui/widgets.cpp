#include "ui/widgets.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace ui {

namespace {

QToolButton *button(QWidget *parent, const char *name, const QString &tip)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    if (auto *bar = qobject_cast<QToolBar *>(parent)) {
        b->setAutoRaise(true);
        bar->addWidget(b);
    }
    return b;
}

}  // namespace

QToolButton *captionButton(QWidget *parent, const char *name, const QString &caption, const QString &tip)
{
    QToolButton *b = button(parent, name, tip);
    b->setText(caption);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

QToolButton *pictureButton(QWidget *parent, const char *name, QStyle::StandardPixmap picture, const QString &tip)
{
    QToolButton *b = button(parent, name, tip);
    b->setIcon(parent->style()->standardIcon(picture));
    return b;
}

QAction *menuItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

}  // namespace ui
