// Whether an editor window may close: unsaved changes are offered saving.
#include "editor/childwin.h"

#include "data/Unit1.h"
#include "data/dataerror.h"
#include "ui/command.h"
#include "ui/messagebox.h"

#include <QLineEdit>

namespace {

// Yes saves and closes, No closes, Cancel keeps the window.
bool answerAllowsClose(TMDIChild *window)
{
    const QString title = window->Edit1->text();
    const QString text = QStringLiteral("是否保存对 ") + title + QStringLiteral(" 修改？");
    switch (MessageBoxes::question(window, title, text, true)) {
    case MessageBoxes::Yes: window->saveDocument(); return true;
    case MessageBoxes::No: return true;
    default: return false;
    }
}

}  // namespace

void TMDIChild::FormCloseQuery(bool &CanClose)
{
    // Runs inside close events, where no error may escape. A save that
    // failed keeps the window open, so its changes are not lost.
    try {
        MastData->ADOTmain->locate("id", documentId());
        CanClose = !isModified() || DocumentDeleted || answerAllowsClose(this);
    } catch (const DataError &e) {
        showDefaultError(e.message());
        CanClose = false;
    } catch (const std::exception &e) {
        showDefaultError(QString::fromUtf8(e.what()));
        CanClose = false;
    }
}
