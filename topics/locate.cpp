// Standing the level datasets on the path of a tree's node.
#include "data/Unit1.h"
#include "topics/levelfilter.h"
#include "topics/topictree.h"

#include <QTreeWidget>

void TTopicTree::locate()
{
    CurrentNode = selectedNode();
    if (!CurrentNode) return;
    CurrentLevel = level(CurrentNode);
    standOn(CurrentNode);
}

void TTopicTree::standOn(QTreeWidgetItem *node)
{
    const QList<qint64> path = pathIds(node);
    const int L = int(path.size());
    for (int k = 1; k <= L; ++k) {
        TADOTable *topics = MastData->topicLevel(k);
        if (k > 1) filterToChildren(topics, path[k - 2], FilterText::Locate);
        topics->locate("id", path[k - 1]);
    }
    if (L < 4) filterToChildren(MastData->topicLevel(L + 1), path[L - 1], FilterText::Locate);
}
