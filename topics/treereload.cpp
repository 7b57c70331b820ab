// Rebuilding a topic tree from the level datasets.
#include "app/look.h"
#include "data/Unit1.h"
#include "data/filter.h"
#include "topics/topictree.h"

#include <QApplication>
#include <QTreeWidget>

namespace {

void filterToChildren(TDataSet *level, qint64 parentId)
{
    level->setFiltered(false);
    level->setFilter(QStringLiteral("preid = ") + quotedFilterValue(QString::number(parentId)));
    level->setFiltered(true);
}

}  // namespace

void TTopicTree::reload(const std::function<void()> &afterReopen)
{
    TMastData *d = MastData;
    TADOTable *topics[] = {d->ADOTable1, d->ADOTable2, d->ADOTable3, d->ADOTable4};
    TADOTable *links[] = {d->ADOTable5, d->ADOTable6, d->ADOTable7, d->ADOTable8};
    for (TADOTable *t : topics) {
        t->close();
        t->open();
    }
    for (TADOTable *t : links) {
        t->close();
        t->open();
    }
    if (afterReopen) afterReopen();

    look::WaitCursor wait;
    removeAllNodes();
    CurrentNode = nullptr;
    CurrentLevel = 0;

    // Nodes are built detached and handed to the view at the end: one
    // insertion instead of one per topic.
    QList<QTreeWidgetItem *> roots;
    try {
        topics[0]->first();
        for (int i = 1; i <= topics[0]->recordCount(); ++i) {
            const qint64 a = topics[0]->fieldInt("id");
            filterToChildren(topics[1], a);
            QTreeWidgetItem *n1 = makeNode(
                label(topics[0]->fieldText("name"), links[0]->recordCount(), topics[1]->recordCount(), 1), a);
            roots << n1;
            topics[1]->first();
            for (int j = 1; j <= topics[1]->recordCount(); ++j) {
                const qint64 b = topics[1]->fieldInt("id");
                filterToChildren(topics[2], b);
                QTreeWidgetItem *n2 = makeNode(
                    label(topics[1]->fieldText("name"), links[1]->recordCount(), topics[2]->recordCount(), 2), b);
                n1->addChild(n2);
                topics[2]->first();
                for (int k = 1; k <= topics[2]->recordCount(); ++k) {
                    const qint64 c = topics[2]->fieldInt("id");
                    filterToChildren(topics[3], c);
                    QTreeWidgetItem *n3 = makeNode(
                        label(topics[2]->fieldText("name"), links[2]->recordCount(), topics[3]->recordCount(), 3), c);
                    n2->addChild(n3);
                    topics[3]->first();
                    for (int l = 1; l <= topics[3]->recordCount(); ++l) {
                        n3->addChild(makeNode(label(topics[3]->fieldText("name"), links[3]->recordCount(), 0, 4),
                                              topics[3]->fieldInt("id")));
                        topics[3]->next();
                    }
                    topics[3]->setFiltered(false);
                    topics[2]->next();
                }
                topics[2]->setFiltered(false);
                topics[1]->next();
            }
            topics[1]->setFiltered(false);
            topics[0]->next();
        }
    } catch (...) {
        // The tree keeps the nodes built so far, as a walk that stopped there.
        TreeView1->addTopLevelItems(roots);
        throw;
    }
    TreeView1->addTopLevelItems(roots);
    TreeView1->clearSelection();
    TreeView1->setCurrentItem(nullptr);
}
