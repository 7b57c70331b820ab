// New document and delete document.
#include "app/main.h"

#include "app/messagebox.h"
#include "data/Unit1.h"
#include "editor/childwin.h"

#include <QMdiSubWindow>
#include <QToolBar>

namespace {

const QString kUntitled = QStringLiteral("未命名");

void deleteLinks(qint64 documentId)
{
    TADOQuery *statement = MastData->ADOQgldelete;
    statement->close();
    statement->clearSql();
    statement->addSql(QStringLiteral("delete from gl where fileid=") + QString::number(documentId));
    statement->execSql();
}

// Only a row that really belongs to the document is deleted.
void deleteCurrentRowOf(TADOTable *table, const QString &field, qint64 documentId)
{
    if (table->recordCount() > 0 && table->fieldText(field) == QString::number(documentId)) table->remove();
}

// Closes the window without the save question; false if it stayed open.
bool closeDeleted(TMDIChild *editor)
{
    editor->DocumentDeleted = true;
    auto *sub = qobject_cast<QMdiSubWindow *>(editor->parentWidget());
    const bool closed = sub ? sub->close() : editor->close();
    if (!closed) editor->DocumentDeleted = false;
    return closed;
}

// The datasets may hold rows the file no longer agrees with.
void rereadDocuments()
{
    TMastData *d = MastData;
    d->ADOTfile->close();
    d->ADOTmain->close();
    d->ADOTmain->open();
    d->ADOTfile->open();
}

}  // namespace

void TMainForm::ToolButton26Click()
{
    if (inLibraryMode()) {
        ToolBar2->show();
        Panel2->hide();
    }
    TADOTable *documents = MastData->ADOTmain;
    documents->insert();
    documents->setFieldValue("name", kUntitled);
    documents->post();
    BitBtn3Click();
}

void TMainForm::ToolButton29Click()
{
    ActiveEditor = activeEditor();
    if (!ActiveEditor) return;
    CurrentDocId = ActiveEditor->documentId();
    TADOTable *documents = MastData->ADOTmain;
    documents->locate("id", CurrentDocId);
    const QString text = QStringLiteral("确定删除 ") + documents->fieldText("name") + QStringLiteral(" 文件吗？");
    if (MessageBoxes::question(this, windowTitle(), text) != MessageBoxes::Yes) return;

    // Links, body and row go together or not at all; the window closes
    // in between, as soon as the links are gone.
    Database &db = MastData->database();
    db.begin();
    try {
        deleteLinks(CurrentDocId);
        if (!closeDeleted(ActiveEditor)) {
            db.rollback();
            return;
        }
        ActiveEditor = nullptr;
        deleteCurrentRowOf(MastData->ADOTfile, "fileid", CurrentDocId);
        deleteCurrentRowOf(documents, "id", CurrentDocId);
        db.commit();
    } catch (...) {
        db.rollback();
        rereadDocuments();
        throw;
    }
}
