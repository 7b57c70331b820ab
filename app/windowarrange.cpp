// Arranging the editor windows: cascade, tile side by side or one above
// the other, minimise all. Offered only while an editor window is open.
#include "app/main.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

QList<QMdiSubWindow *> arrangeable(QMdiArea *area)
{
    QList<QMdiSubWindow *> out;
    for (QMdiSubWindow *sub : area->subWindowList(QMdiArea::CreationOrder))
        if (sub->isVisible() && !sub->isMinimized()) out << sub;
    return out;
}

}  // namespace

void TMainForm::updateWindowActions()
{
    const bool any = !mdiArea->subWindowList().isEmpty();
    for (QAction *a : {WindowCascade1, WindowTileHorizontal1, WindowTileVertical1, WindowMinimizeAll1, WindowClose1,
                       WindowNext1, WindowPrevious1})
        a->setEnabled(any);
}

// Through the window's close question, like its close box.
void TMainForm::WindowClose1Execute()
{
    mdiArea->closeActiveSubWindow();
}

void TMainForm::WindowNext1Execute()
{
    mdiArea->activateNextSubWindow();
}

void TMainForm::WindowPrevious1Execute()
{
    mdiArea->activatePreviousSubWindow();
}

void TMainForm::tileEditors(Qt::Orientation orientation)
{
    const QList<QMdiSubWindow *> subs = arrangeable(mdiArea);
    const QRect area = mdiArea->viewport()->rect();
    const int n = int(subs.size());
    for (int i = 0; i < n; ++i) {
        if (subs[i]->isMaximized()) subs[i]->showNormal();
        if (orientation == Qt::Vertical) {
            // Side by side, each the full height.
            const int x = area.width() * i / n, right = area.width() * (i + 1) / n;
            subs[i]->setGeometry(x, 0, right - x, area.height());
        } else {
            const int y = area.height() * i / n, bottom = area.height() * (i + 1) / n;
            subs[i]->setGeometry(0, y, area.width(), bottom - y);
        }
    }
}

void TMainForm::WindowTileVertical1Execute()
{
    tileEditors(Qt::Vertical);
}

void TMainForm::WindowTileHorizontal1Execute()
{
    tileEditors(Qt::Horizontal);
}

void TMainForm::WindowCascade1Execute()
{
    mdiArea->cascadeSubWindows();
}

void TMainForm::WindowMinimizeAll1Execute()
{
    for (QMdiSubWindow *sub : mdiArea->subWindowList()) sub->showMinimized();
}
