#pragma once
#include <QString>
#include <QStyle>

class QAction;
class QMenu;
class QToolButton;
class QWidget;

// Controls made the way every form makes them: named as the design names
// them. A button whose parent is a toolbar is added to it.
namespace ui {

QToolButton *captionButton(QWidget *parent, const char *name, const QString &caption, const QString &tip = {});
QToolButton *pictureButton(QWidget *parent, const char *name, QStyle::StandardPixmap picture, const QString &tip);
QAction *menuItem(QMenu *menu, const char *name, const QString &caption);

}  // namespace ui
