// The open and save commands of the main window.
#include "app/main.h"

#include "app/command.h"
#include "data/Unit1.h"
#include "editor/childwin.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QAction>
#include <QTextEdit>

namespace {

QMdiSubWindow *subWindowOf(TMDIChild *editor)
{
    return qobject_cast<QMdiSubWindow *>(editor->parentWidget());
}

TMDIChild *editorOf(TMainForm *form, qint64 documentId)
{
    for (TMDIChild *editor : form->editorWindows())
        if (editor->documentId() == documentId) return editor;
    return nullptr;
}

void bringToFront(TMainForm *form, TMDIChild *editor)
{
    QMdiSubWindow *sub = subWindowOf(editor);
    if (sub->isMinimized())
        sub->showNormal();
    else
        sub->show();
    form->mdiArea->setActiveSubWindow(sub);
}

TMDIChild *newEditor(TMainForm *form, qint64 documentId, const QString &name)
{
    auto *editor = new TMDIChild;
    editor->setWindowTitle(TMDIChild::caption(documentId, name));
    auto *sub = new QMdiSubWindow;
    sub->setWidget(editor);
    // The main window closes and cycles editor windows; the subwindow's own
    // shortcuts for them, one set per window, would make the keys ambiguous.
    for (QAction *a : sub->systemMenu()->actions()) a->setShortcuts({});
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Sized before the area places it: three quarters of the client area,
    // as a new MDI child gets on Windows.
    const QSize area = form->mdiArea->viewport()->size();
    sub->resize(std::max(area.width() * 3 / 4, 640), std::max(area.height() * 3 / 4, 480));
    form->mdiArea->addSubWindow(sub);
    sub->show();
    form->mdiArea->setActiveSubWindow(sub);
    return editor;
}

void applyPendingCaret(TMainForm *form, TMDIChild *editor)
{
    editor->placeCaret(form->PendingCaret);
    editor->RichEdit1->setFocus();
    form->PendingCaret = 0;
}

// Runs whether or not the window could be filled.
void finishOpening(TMainForm *form, TMDIChild *editor)
{
    form->EnterEditingMode();
    applyPendingCaret(form, editor);
}

}  // namespace

void TMainForm::BitBtn3Click()
{
    TADOTable *documents = MastData->ADOTmain;
    if (documents->recordCount() == 0) return;
    const qint64 id = documents->fieldInt("id");

    if (TMDIChild *open = editorOf(this, id)) {
        bringToFront(this, open);
        applyPendingCaret(this, open);
        EnterEditingMode();
        return;
    }

    TMDIChild *editor = newEditor(this, id, documents->fieldText("name"));
    QString coverError;
    try {
        coverError = editor->loadDocument();
    } catch (...) {
        finishOpening(this, editor);
        throw;
    }
    finishOpening(this, editor);
    if (!coverError.isEmpty()) showDefaultError(coverError);
}

void TMainForm::ToolButton31Click()
{
    ActiveEditor = activeEditor();
    if (!ActiveEditor) return;
    ActiveEditor->saveDocument();
}
