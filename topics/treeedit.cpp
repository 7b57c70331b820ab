// The six tree editing commands and the in-place edit of a topic's name.
#include "data/Unit1.h"
#include "data/dataerror.h"
#include "data/schema.h"
#include "data/transaction.h"
#include "topics/topictree.h"
#include "ui/look.h"
#include "ui/messagebox.h"

#include <QTreeWidget>

namespace {

const QString kHasChildren = QStringLiteral("因还含有子类，不能删除。操作返回。");

int topicNameSize()
{
    return schema::table("zt")->column("name")->size;
}

// Refused before anything is written, so the topic counter is not used up.
void refuseLongName(const QString &name)
{
    const int length = int(name.toUcs4().size());
    if (length > topicNameSize())
        throw DataError(QStringLiteral("专题名称最多 %1 个字符，输入的名称有 %2 个字符。名称没有保存。")
                            .arg(topicNameSize())
                            .arg(length));
}

void deleteLinksOf(qint64 topicId)
{
    TADOQuery *statement = MastData->ADOQgldelete;
    statement->close();
    statement->clearSql();
    statement->addSql(QStringLiteral("delete from gl where ztid=") + QString::number(topicId));
    statement->execSql();
}

// The current row of a topic dataset is the topic, not a sibling that a
// failed locate left current.
bool standsOn(TDataSet *topics, qint64 id)
{
    return topics->recNo() > 0 && topics->fieldInt("id") == id;
}

}  // namespace

// ---- adding ----------------------------------------------------------------

void TTopicTree::addEmptyNode(QTreeWidgetItem *parent)
{
    QTreeWidgetItem *node = makeNode(QString(), QString(), -1);
    if (parent) {
        parent->addChild(node);
        parent->setExpanded(true);
    } else {
        TreeView1->addTopLevelItem(node);
    }
    TreeView1->setCurrentItem(node);
    CurrentNode = node;
    TreeView1->scrollToItem(node);
    TreeView1->editItem(node);
}

void TTopicTree::SpeedButton8Click()
{
    QTreeWidgetItem *selected = selectedNode();
    if (!selected) {
        AddingRoot = true;
        addEmptyNode(nullptr);
        return;
    }
    AddingRoot = false;
    CurrentNode = selected;
    AddingTopic = true;
    locate();
    // The parent of the new topic is the selected topic's parent.
    NewTopicParent = CurrentLevel == 1 ? 0 : topicId(selected->parent());
    addEmptyNode(selected->parent());
}

void TTopicTree::SpeedButton9Click()
{
    QTreeWidgetItem *selected = selectedNode();
    CurrentNode = selected;
    // Nothing below level 4: neither by the level last located nor by the
    // selected node's own depth, which a selection moved by the keyboard
    // alone may have changed.
    if (!selected || topicId(selected) == -1 || CurrentLevel == 4 || level(selected) == 4) return;
    AddingTopic = true;
    NewTopicParent = topicId(selected);
    addEmptyNode(selected);
}

// ---- renaming ----------------------------------------------------------------

void TTopicTree::SpeedButton13Click()
{
    if (!selectedNode() || !CurrentNode) return;
    // Editing a label selects its node, as the system's tree does, so the
    // name is stored for the node being edited.
    TreeView1->setCurrentItem(CurrentNode);
    TreeView1->editItem(CurrentNode);
}

void TTopicTree::TreeView1Editing()
{
    locate();
    DisableTreeCommands();
}

bool TTopicTree::TreeView1Edited(const QString &text)
{
    bool shown;
    try {
        shown = storeEdit(text);
    } catch (...) {
        // The clean-up runs, and the first error is the one reported. A row
        // the file refused is dropped, so the datasets can be used again.
        for (int k = 1; k <= 4; ++k) MastData->topicLevel(k)->cancel();
        AddingTopic = false;
        AddingRoot = false;
        try {
            locate();
        } catch (...) {}
        throw;
    }
    AddingTopic = false;
    // A root stored before a failure would otherwise turn the next rename
    // into another new root.
    AddingRoot = false;
    locate();
    return shown;
}

bool TTopicTree::storeEdit(const QString &text)
{
    refuseLongName(text);
    QTreeWidgetItem *node = selectedNode();
    if (AddingRoot) {
        TADOTable *roots = MastData->ADOTable1;
        roots->append();
        roots->setFieldValue("preid", 0);
        roots->setFieldValue("name", text);
        roots->post();
        if (node) setTopicId(node, roots->fieldInt("id"));
        AddingTopic = false;
        AddingRoot = false;
    }
    look::WaitCursor wait;
    locate();
    if (text == QLatin1String("0")) return false;
    EnableTreeCommands();
    const int L = CurrentLevel;
    if (!node || L < 1 || L > 4) return true;
    TADOTable *topics = MastData->topicLevel(L);
    if (AddingTopic) {
        topics->append();
        topics->setFieldValue("preid", L == 1 ? 0 : NewTopicParent);
        topics->setFieldValue("name", text);
        topics->post();
        setTopicId(node, topics->fieldInt("id"));
    } else if (topicId(node) > 0) {
        if (!standsOn(topics, topicId(node)))
            throw DataError(QStringLiteral("专题（编号 %1）已不在资料库中，名称没有保存。").arg(topicId(node)));
        topics->edit();
        topics->setFieldValue("name", text);
        topics->post();
    }
    return true;
}

void TTopicTree::editCancelled(QTreeWidgetItem *node)
{
    const bool adding = AddingTopic || AddingRoot;
    AddingTopic = false;
    AddingRoot = false;
    // The empty node of a cancelled add has no topic behind it.
    if (adding && node && topicId(node) == -1) {
        removeNode(node);
        CurrentNode = nullptr;
        CurrentLevel = 0;
    }
}

// ---- deleting ----------------------------------------------------------------

void TTopicTree::SpeedButton12Click()
{
    if (!selectedNode() || !CurrentNode) return;
    if (CurrentNode->childCount() > 0) {
        MessageBoxes::notice(window(), MessageBoxes::programTitle(), kHasChildren);
        return;
    }
    const QString question =
        QStringLiteral("提示   \n    确定删除所选专题-") + CurrentNode->text(0) +
        QStringLiteral("吗？\n    （删除专题分类后，相应的关联信息会被删除，但文件本身不会被删除。）");
    if (MessageBoxes::question(window(), QStringLiteral("云笈软件-删除确认"), question) != MessageBoxes::Yes) return;

    const int L = CurrentLevel;
    const qint64 id = topicId(CurrentNode);
    if (L >= 1 && L <= 4 && id > 0) {
        standOn(CurrentNode);
        TADOTable *topics = MastData->topicLevel(L);
        topics->refresh();
        if (topics->locate("id", id)) {
            // The topic and its links go together or not at all.
            Transaction t(MastData->database(), {topics});
            deleteLinksOf(id);
            topics->remove();
            t.commit();
        }
    }
    removeNode(CurrentNode);
    CurrentNode = nullptr;
    CurrentLevel = 0;
}

// ---- moving ------------------------------------------------------------------

void TTopicTree::SpeedButton14Click()
{
    move(true);
}

void TTopicTree::SpeedButton15Click()
{
    move(false);
}

void TTopicTree::move(bool down)
{
    const int L = CurrentLevel;
    const qint64 id = topicId(CurrentNode);
    if (L >= 1 && L <= 4 && CurrentNode && id > 0) {
        standOn(CurrentNode);
        TADOTable *topics = MastData->topicLevel(L);
        if (standsOn(topics, id)) {
            const qint64 own = topics->fieldInt("itno");
            const TDataSet::Bookmark mark = topics->bookmark();
            const int at = topics->recNo();
            if (down)
                topics->next();
            else
                topics->prior();
            if (topics->recNo() != at) {
                const qint64 neighbour = topics->fieldInt("itno");
                // The two order keys are exchanged together or not at all.
                Transaction t(MastData->database(), {topics});
                topics->edit();
                topics->setFieldValue("itno", own);
                topics->post();
                topics->gotoBookmark(mark);
                topics->edit();
                topics->setFieldValue("itno", neighbour);
                topics->post();
                t.commit();
            }
        }
    }
    SpeedButton16Click();
}
