// Standing the level datasets on the path of a tree's selected node.
#include "data/Unit1.h"
#include "data/filter.h"
#include "topics/topictree.h"

#include <QTreeWidget>

namespace {

void filterToChildrenOf(TDataSet *level, qint64 parentId)
{
    level->setFiltered(false);
    level->setFilter(QStringLiteral("preid =") + quotedFilterValue(QString::number(parentId)));
    level->setFiltered(true);
}

}  // namespace

void TTopicTree::locate()
{
    const QList<QTreeWidgetItem *> selected = TreeView1->selectedItems();
    CurrentNode = selected.isEmpty() ? nullptr : selected.first();
    if (!CurrentNode) return;
    const int L = level(CurrentNode);
    CurrentLevel = L;

    // Topic ids on the path, level 1 first.
    QList<qint64> path;
    for (QTreeWidgetItem *n = CurrentNode; n && path.size() < L; n = n->parent()) path.prepend(topicId(n));

    for (int k = 1; k <= L; ++k) {
        TADOTable *topics = MastData->topicLevel(k);
        if (k > 1) filterToChildrenOf(topics, path[k - 2]);
        topics->locate("id", path[k - 1]);
    }
    if (L < 4) filterToChildrenOf(MastData->topicLevel(L + 1), path[L - 1]);
}
