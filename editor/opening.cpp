#include "editor/opening.h"

#include "data/Unit1.h"
#include "editor/childwin.h"
#include "ui/command.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTextEdit>

namespace {

QMdiSubWindow *subWindowOf(TMDIChild *editor)
{
    return qobject_cast<QMdiSubWindow *>(editor->parentWidget());
}

TMDIChild *editorOf(const QMdiArea *area, qint64 documentId)
{
    for (TMDIChild *editor : editorWindows(area))
        if (editor->documentId() == documentId) return editor;
    return nullptr;
}

void bringToFront(QMdiArea *area, TMDIChild *editor)
{
    QMdiSubWindow *sub = subWindowOf(editor);
    if (sub->isMinimized())
        sub->showNormal();
    else
        sub->show();
    area->setActiveSubWindow(sub);
}

TMDIChild *newEditor(QMdiArea *area, qint64 documentId, const QString &name)
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
    const QSize size = area->viewport()->size();
    sub->resize(std::max(size.width() * 3 / 4, 640), std::max(size.height() * 3 / 4, 480));
    area->addSubWindow(sub);
    sub->show();
    area->setActiveSubWindow(sub);
    return editor;
}

void applyPendingCaret(TEditorHost &host, TMDIChild *editor)
{
    editor->placeCaret(host.pendingCaret());
    editor->RichEdit1->setFocus();
    host.pendingCaret() = 0;
}

// Runs whether or not the window could be filled.
void finishOpening(TEditorHost &host, TMDIChild *editor)
{
    host.EnterEditingMode();
    applyPendingCaret(host, editor);
}

}  // namespace

QList<TMDIChild *> editorWindows(const QMdiArea *area)
{
    QList<TMDIChild *> out;
    const QList<QMdiSubWindow *> subs = area->subWindowList(QMdiArea::StackingOrder);
    // Stacking order runs from the bottom; window order starts at the top.
    for (auto it = subs.rbegin(); it != subs.rend(); ++it)
        if (auto *child = qobject_cast<TMDIChild *>((*it)->widget())) out << child;
    return out;
}

TMDIChild *activeEditor(const QMdiArea *area)
{
    QMdiSubWindow *sub = area->activeSubWindow();
    if (!sub) sub = area->currentSubWindow();
    return sub ? qobject_cast<TMDIChild *>(sub->widget()) : nullptr;
}

void openCurrentDocument(TMastData &data, TEditorHost &host)
{
    TADOTable *documents = data.ADOTmain;
    if (documents->recordCount() == 0) return;
    const qint64 id = documents->fieldInt("id");
    QMdiArea *area = host.editorArea();

    if (TMDIChild *open = editorOf(area, id)) {
        bringToFront(area, open);
        applyPendingCaret(host, open);
        host.EnterEditingMode();
        return;
    }

    TMDIChild *editor = newEditor(area, id, documents->fieldText("name"));
    QString coverError;
    try {
        coverError = editor->loadDocument();
    } catch (...) {
        finishOpening(host, editor);
        throw;
    }
    finishOpening(host, editor);
    if (!coverError.isEmpty()) showDefaultError(coverError);
}
