#include "app/main.h"

#include "editor/childwin.h"
#include "topics/topictree.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QApplication>
#include "app/command.h"

TMainForm *MainForm = nullptr;

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    buildLayout();
    connectCommands();
}

TMainForm::~TMainForm()
{
    if (MainForm == this) MainForm = nullptr;
}

bool TMainForm::inLibraryMode() const
{
    return !Panel2->isHidden();
}

void TMainForm::EnterEditingMode()
{
    ToolBar2->show();
    menus[1]->menuAction()->setVisible(true);
    menus[0]->menuAction()->setVisible(false);
    for (int i : {2, 3, 4}) menus[i]->menuAction()->setVisible(true);
    SpeedButton5->setEnabled(true);
    SpeedButton2->setEnabled(false);
    Panel2->hide();
}

void TMainForm::EnterLibraryMode()
{
    ToolBar2->hide();
    menus[1]->menuAction()->setVisible(false);
    menus[0]->menuAction()->setVisible(true);
    for (int i : {2, 3, 4}) menus[i]->menuAction()->setVisible(false);
    SpeedButton5->setEnabled(false);
    SpeedButton2->setEnabled(true);
    Panel2->show();
}

void TMainForm::SpeedButton1Click()
{
    if (inLibraryMode())
        EnterEditingMode();
    else
        EnterLibraryMode();
}

void TMainForm::FormActivate()
{
    SpeedButton16Click();
    EnterLibraryMode();
}

bool TMainForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate) {
        if (firstActivation_) {
            firstActivation_ = false;
            runCommand([this] { FormActivate(); });
        }
    }
    return QMainWindow::event(e);
}

QList<TMDIChild *> TMainForm::editorWindows() const
{
    QList<TMDIChild *> out;
    const QList<QMdiSubWindow *> subs = mdiArea->subWindowList(QMdiArea::StackingOrder);
    // Stacking order runs from the bottom; window order starts at the top.
    for (auto it = subs.rbegin(); it != subs.rend(); ++it)
        if (auto *child = qobject_cast<TMDIChild *>((*it)->widget())) out << child;
    return out;
}

TMDIChild *TMainForm::activeEditor() const
{
    QMdiSubWindow *sub = mdiArea->activeSubWindow();
    if (!sub) sub = mdiArea->currentSubWindow();
    return sub ? qobject_cast<TMDIChild *>(sub->widget()) : nullptr;
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Every editor window may refuse; the first refusal keeps all open.
    for (TMDIChild *child : editorWindows()) {
        bool canClose = true;
        child->FormCloseQuery(canClose);
        if (!canClose) {
            event->ignore();
            return;
        }
    }
    event->accept();
    QApplication::quit();
}

void TMainForm::N20Click()
{
    close();
}

void TMainForm::FileExit1Execute()
{
    close();
}
