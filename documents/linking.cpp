#include "documents/linking.h"

#include "data/Unit1.h"
#include "data/schema.h"
#include "data/transaction.h"
#include "documents/documenthost.h"
#include "library/documentlist.h"
#include "topics/Unitselectnode.h"
#include "topics/topictree.h"
#include "ui/messagebox.h"

#include <QWidget>

namespace {

const QString kDuplicate = QStringLiteral("重复关联。操作被退回。");

qint64 pathValue(TDataSet *links, int level)
{
    return links->fieldInt(schema::linkPathColumn(level));  // an empty column reads as 0
}

// One of the document's links files it under the topic already: the same
// path down to the topic and nothing, or 0, below it.
bool isDuplicate(TDataSet *links, const PickedTopic &topic)
{
    for (int k = 1; k <= topic.level; ++k)
        if (pathValue(links, k) != topic.path[k - 1]) return false;
    return topic.level == 4 || pathValue(links, topic.level + 1) == 0;
}

bool alreadyFiled(TMastData &d, const PickedTopic &topic)
{
    TADOTable *links = d.ADOTgl2;
    for (links->first(); !links->eof(); links->next())
        if (isDuplicate(links, topic)) return true;
    return false;
}

}  // namespace

// Appends the link through the link dataset of the topic's level, whose
// master stands on the topic, with the path of the picked node.
void appendLink(TMastData &d, const PickedTopic &topic, qint64 documentId)
{
    TADOTable *links = d.linkLevel(topic.level);
    links->append();
    links->setFieldValue("ztid", topic.topicId());
    for (int k = 1; k <= topic.level; ++k) links->setFieldValue(schema::linkPathColumn(k), topic.path[k - 1]);
    links->setFieldValue("fileid", documentId);
    links->post();
}

namespace {

// Files the document unless it is filed there already; false after the
// refusal, which ends the command.
bool fileDocument(TMastData &d, const PickedTopic &topic, qint64 documentId)
{
    d.ADOTmain->locate("id", documentId);
    if (alreadyFiled(d, topic)) return false;
    appendLink(d, topic, documentId);
    return true;
}

void reread(TDataSet *ds)
{
    ds->close();
    ds->open();
}

bool isFilingLevel(int level)
{
    return level >= 1 && level <= 4;
}

}  // namespace

TLinkCommands::TLinkCommands(TMastData &data, TDocumentHost &host) : data_(data), host_(host) {}

void TLinkCommands::SpeedButton7Click()
{
    if (host_.inLibraryMode()) {
        linkSelectedDocuments();
        return;
    }
    if (const qint64 documentId = host_.takeActiveEditorDocument())
        fileUnderPickedTopic(data_, documentId, host_.hostWindow());
}

void fileUnderPickedTopic(TMastData &d, qint64 documentId, QWidget *owner)
{
    const std::optional<PickedTopic> topic = pickTopic();
    if (!topic) return;
    if (isFilingLevel(topic->level) && !fileDocument(d, *topic, documentId)) {
        MessageBoxes::notice(owner, MessageBoxes::programTitle(), kDuplicate);
        return;
    }
    reread(d.ADOTzt);
    reread(d.ADOTgl2);
}

void TLinkCommands::linkSelectedDocuments()
{
    TDocumentList documents = host_.documentList();
    TADOQuery *list = documents.currentListQuery();
    if (!list || !list->active() || list->isEmpty()) return;
    data_.adoquery = list;
    const QList<int> rows = documents.selectedRows();
    if (rows.isEmpty()) return;
    const std::optional<PickedTopic> topic = pickTopic();
    if (!topic) return;
    const QString question = QStringLiteral("提示   \n    确定将当前所选的文件与主题区的专题分类关联吗？");
    if (MessageBoxes::question(host_.hostWindow(), QStringLiteral("执行关联确认"), question) != MessageBoxes::Yes) {
        documents.clearSelection();
        reread(data_.ADOTzt);
        reread(data_.ADOTgl2);
        return;
    }
    if (isFilingLevel(topic->level)) {
        const char *idField = documents.isTopicList() ? "fileid" : "id";
        // The links go in together; a duplicate keeps those made before it.
        Transaction t(data_.database(), {data_.linkLevel(topic->level)});
        for (int row : rows) {
            list->moveTo(row);
            if (!fileDocument(data_, *topic, list->fieldInt(idField))) {
                t.commit();
                MessageBoxes::notice(host_.hostWindow(), MessageBoxes::programTitle(), kDuplicate);
                return;
            }
        }
        t.commit();
    }
    host_.mainTree()->SpeedButton16Click();
    documents.clearSelection();
    reread(data_.ADOTzt);
    reread(data_.ADOTgl2);
}

void TLinkCommands::SpeedButton2Click()
{
    TDocumentList documents = host_.documentList();
    if (!host_.inLibraryMode() || !documents.isTopicList()) return;
    TADOQuery *list = documents.currentListQuery();
    if (!list || !list->active() || list->isEmpty()) return;
    TTopicTree *tree = host_.mainTree();
    const QList<int> rows = documents.selectedRows();
    if (rows.isEmpty() || !tree->selectedNode()) return;
    if (MessageBoxes::question(host_.hostWindow(), host_.hostWindow()->windowTitle(),
                               QStringLiteral("提示   \n    确定取消关联吗？")) != MessageBoxes::Yes)
        return;
    unlinkSelectedDocuments(rows);
    documents.clearSelection();
    reread(data_.ADOTgl2);
    tree->SpeedButton16Click();
}

void TLinkCommands::unlinkSelectedDocuments(const QList<int> &rows)
{
    TTopicTree *tree = host_.mainTree();
    const int L = tree->CurrentLevel;
    const qint64 topicId = TTopicTree::topicId(tree->CurrentNode);
    if (!isFilingLevel(L) || !tree->CurrentNode) return;
    // The picker may have moved the shared datasets since the topic was
    // clicked: stand on it again, so no link is skipped unseen.
    TTopicTree::standOn(tree->CurrentNode);
    TADOTable *links = data_.linkLevel(L);
    TADOQuery *list = data_.ADOQuery1;
    Transaction t(data_.database(), {links});
    for (int row : rows) {
        list->moveTo(row);
        if (links->locate("ztid;fileid", {topicId, list->fieldInt("fileid")})) links->remove();
    }
    t.commit();
}
