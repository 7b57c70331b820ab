// Writing an editor window's document back to its rows.
#include "editor/childwin.h"

#include "data/Unit1.h"
#include "data/dataerror.h"
#include "data/transaction.h"
#include "documents/linking.h"
#include "rtf/rtfcodec.h"
#include "ui/messagebox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

void TMDIChild::locateOwnRow()
{
    if (!MastData->ADOTmain->locate("id", documentId()))
        throw DataError(QStringLiteral("编号为 %1 的文件已不在资料库中，没有保存。").arg(documentId()));
}

void TMDIChild::saveDocument()
{
    TMastData *d = MastData;
    locateOwnRow();
    askToFileIfUnfiled();
    // The picker and the link may have moved the document table.
    locateOwnRow();

    // The body and the document row are written together or not at all.
    // After a refusal the datasets are read afresh, details first, so that
    // closing the master posts nothing.
    Transaction t(d->database(), {d->ADOTfile, d->ADOTmain});
    TADOTable *documents = d->ADOTmain;
    documents->edit();
    documents->setFieldValue("text", rtf::storedText(*RichEdit1->document()));
    documents->setFieldValue("name", Edit1->text());
    documents->setFieldValue("othersource", Edit3->toPlainText());
    documents->setFieldValue("othersourceb", Edit5->text());
    // A document without a body row gets one: edit starts it.
    d->ADOTfile->edit();
    d->ADOTfile->setFieldValue("richtext", rtf::write(*RichEdit1->document()));
    placeCaret(0);
    documents->post();  // posts the body row first
    t.commit();
    d->ADOTmain->close();
    d->ADOTmain->open();
    clearModified();
}

// A document filed nowhere is offered filing; the save goes on whatever the
// answer. This window's own document is filed, not the active window's: the
// close question saves windows that are not active.
void TMDIChild::askToFileIfUnfiled()
{
    if (MastData->ADOTgl2->active() && MastData->ADOTgl2->recordCount() > 0) return;
    const QString question = QStringLiteral("该文件尚未归类，是否要选择归类 ? \n选『是』，进行选择。");
    if (MessageBoxes::question(this, QStringLiteral("选择"), question) == MessageBoxes::Yes)
        fileUnderPickedTopic(*MastData, documentId(), this);
}
