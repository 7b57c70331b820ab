// Rebuilding a topic tree from the level datasets.
#include "data/Unit1.h"
#include "topics/levelfilter.h"
#include "topics/topictree.h"
#include "ui/look.h"

#include <QTreeWidget>

// Adds the rows of the topic dataset of level k under parent (roots when
// parent is null), each followed by its own children. The row count is read
// again before every pass, and the level below is unfiltered at the end of
// each pass, as the walk of the design does.
void TTopicTree::addLevel(int k, QTreeWidgetItem *parent, QList<QTreeWidgetItem *> &roots) const
{
    TADOTable *topics = MastData->topicLevel(k);
    TADOTable *links = MastData->linkLevel(k);
    TADOTable *below = k < 4 ? MastData->topicLevel(k + 1) : nullptr;
    topics->first();
    for (int i = 1; i <= topics->recordCount(); ++i) {
        const qint64 id = topics->fieldInt("id");
        const QString name = topics->fieldText("name");
        if (below) filterToChildren(below, id, FilterText::Reload);
        const int children = below ? below->recordCount() : 0;
        QTreeWidgetItem *node = makeNode(name, TTopicTree::label(name, links->recordCount(), children, k), id);
        if (parent)
            parent->addChild(node);
        else
            roots << node;
        if (below) {
            addLevel(k + 1, node, roots);
            below->setFiltered(false);
        }
        topics->next();
    }
}

void TTopicTree::SpeedButton16Click()
{
    TMastData *d = MastData;
    for (int k = 1; k <= 4; ++k) {
        d->topicLevel(k)->close();
        d->topicLevel(k)->open();
    }
    for (int k = 1; k <= 4; ++k) {
        d->linkLevel(k)->close();
        d->linkLevel(k)->open();
    }
    if (onReopened) onReopened();

    look::WaitCursor wait;
    removeAllNodes();
    CurrentNode = nullptr;
    CurrentLevel = 0;

    // Nodes are built detached and handed to the view at the end: one
    // insertion instead of one per topic.
    QList<QTreeWidgetItem *> roots;
    try {
        addLevel(1, nullptr, roots);
    } catch (...) {
        // The tree keeps the nodes built so far, as a walk that stopped there.
        TreeView1->addTopLevelItems(roots);
        throw;
    }
    TreeView1->addTopLevelItems(roots);
    TreeView1->clearSelection();
    TreeView1->setCurrentItem(nullptr);
}
