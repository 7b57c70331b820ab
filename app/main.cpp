#include "app/main.h"

#include "collect/Unitget.h"
#include "documents/Unit3.h"
#include "editor/childwin.h"
#include "editor/opening.h"
#include "topics/topictree.h"
#include "ui/command.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

TMainForm *MainForm = nullptr;

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    buildLayout();
    connectCommands();
    // Remember where the focus was before it came back to this window: the
    // activation handler depends on it.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow *now) {
        if (!now || now != windowHandle()) previousWindow_ = now;
    });
}

TMainForm::~TMainForm()
{
    // The windows this one owns are destroyed after its own members: the
    // focus they give up on the way must no longer reach this window.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(undoLink_);
}

bool TMainForm::inLibraryMode() const
{
    return !Panel2->isHidden();
}

// Library mode and editing mode show these the other way round.
void TMainForm::showMode(bool editing)
{
    ToolBar2->setVisible(editing);
    EditingFileMenu->menuAction()->setVisible(editing);
    LibraryFileMenu->menuAction()->setVisible(!editing);
    for (QMenu *m : {EditMenu, FormatMenu, WindowMenu}) m->menuAction()->setVisible(editing);
    SpeedButton5->setEnabled(editing);
    SpeedButton2->setEnabled(!editing);
    Panel2->setVisible(!editing);
}

void TMainForm::EnterEditingMode()
{
    showMode(true);
}

void TMainForm::EnterLibraryMode()
{
    showMode(false);
}

QMenu *TMainForm::menu(int index) const
{
    QMenu *const menus[] = {LibraryFileMenu, EditingFileMenu, EditMenu, FormatMenu, WindowMenu, UpgradeMenu, HelpMenu};
    return index >= 0 && index < 7 ? menus[index] : nullptr;
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

// The activation handler runs at the first activation and when the user
// comes back from the jump window or the quick collection window. It does not
// run when a message box or a modal window of the program (the topic picker,
// the font dialog) closes: the tree must keep the counts the picker left and
// a save must not end editing mode. Nor when the focus comes back from
// another program.
bool TMainForm::activationReloads()
{
    if (firstActivation_) {
        firstActivation_ = false;
        return true;
    }
    QWindow *from = previousWindow_;
    if (!from) return false;
    for (QWidget *companion : {static_cast<QWidget *>(Form3), static_cast<QWidget *>(frmget)})
        if (companion && companion->windowHandle() == from) return true;
    return false;
}

// The system activated the main window as soon as the jump window hid,
// before the document opened; here it comes after, so it runs now and the
// later one passes.
void TMainForm::returnFromJumpWindow()
{
    previousWindow_ = nullptr;
    raise();
    activateWindow();
    FormActivate();
}

bool TMainForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate && activationReloads()) runCommand([this] { FormActivate(); });
    return QMainWindow::event(e);
}

QList<TMDIChild *> TMainForm::editorWindows() const
{
    return ::editorWindows(mdiArea);
}

TMDIChild *TMainForm::activeEditor() const
{
    return ::activeEditor(mdiArea);
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
