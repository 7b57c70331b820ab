#include "documents/newdelete.h"

#include "data/Unit1.h"
#include "data/transaction.h"
#include "documents/documenthost.h"
#include "ui/messagebox.h"

#include <QWidget>

namespace {

const QString kUntitled = QStringLiteral("未命名");

void deleteLinks(TMastData &d, qint64 documentId)
{
    TADOQuery *statement = d.ADOQgldelete;
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

}  // namespace

TDocumentCommands::TDocumentCommands(TMastData &data, TDocumentHost &host) : data_(data), host_(host) {}

void TDocumentCommands::ToolButton26Click()
{
    if (host_.inLibraryMode()) host_.uncoverEditors();
    TADOTable *documents = data_.ADOTmain;
    documents->insert();
    documents->setFieldValue("name", kUntitled);
    documents->post();
    host_.BitBtn3Click();
}

void TDocumentCommands::ToolButton29Click()
{
    const qint64 id = host_.takeActiveEditorDocument();
    if (!id) return;
    TADOTable *documents = data_.ADOTmain;
    documents->locate("id", id);
    const QString text = QStringLiteral("确定删除 ") + documents->fieldText("name") + QStringLiteral(" 文件吗？");
    QWidget *owner = host_.hostWindow();
    if (MessageBoxes::question(owner, owner->windowTitle(), text) != MessageBoxes::Yes) return;

    // Links, body and row go together or not at all; the window closes in
    // between, as soon as the links are gone. A refusal reads the documents
    // afresh, details first so closing the master posts nothing.
    Transaction t(data_.database(), {data_.ADOTfile, documents});
    deleteLinks(data_, id);
    if (!host_.closeActiveEditorAsDeleted()) return;
    deleteCurrentRowOf(data_.ADOTfile, "fileid", id);
    deleteCurrentRowOf(documents, "id", id);
    t.commit();
}
