#include "topics/topictree.h"

#include "topics/labeleditor.h"
#include "topics/topicnode.h"
#include "ui/command.h"
#include "ui/widgets.h"

#include <QHeaderView>
#include <QIcon>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TTopicTree::TTopicTree(bool withPictures, QWidget *parent) : QWidget(parent), withPictures_(withPictures)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setFixedHeight(29);
    ToolBar1->setIconSize(QSize(16, 16));
    SpeedButton8 =
        ui::pictureButton(ToolBar1, "SpeedButton8", QStyle::SP_FileDialogNewFolder, QStringLiteral("增加专题"));
    SpeedButton9 =
        ui::pictureButton(ToolBar1, "SpeedButton9", QStyle::SP_FileDialogDetailedView, QStringLiteral("增加子专题"));
    ToolBar1->addSeparator();
    SpeedButton12 = ui::pictureButton(ToolBar1, "SpeedButton12", QStyle::SP_TrashIcon, QStringLiteral("删除专题"));
    ToolBar1->addSeparator();
    SpeedButton13 =
        ui::pictureButton(ToolBar1, "SpeedButton13", QStyle::SP_FileDialogContentsView, QStringLiteral("专题改名"));
    ToolBar1->addSeparator();
    SpeedButton14 = ui::pictureButton(ToolBar1, "SpeedButton14", QStyle::SP_ArrowDown, QStringLiteral("下移"));
    SpeedButton15 = ui::pictureButton(ToolBar1, "SpeedButton15", QStyle::SP_ArrowUp, QStringLiteral("上移"));
    ToolBar1->addSeparator();
    SpeedButton16 = ui::pictureButton(ToolBar1, "SpeedButton16", QStyle::SP_BrowserReload, QStringLiteral("刷新专题"));
    layout->addWidget(ToolBar1);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Labels are edited in place: by the commands, or by a second, slow
    // click on the selected node.
    TreeView1->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    editDelegate_ = new TLabelEditDelegate(this);
    TreeView1->setItemDelegate(editDelegate_);
    TreeView1->setUniformRowHeights(true);
    layout->addWidget(TreeView1);

    // At start only add topic, the two moves and reload are enabled.
    SpeedButton9->setEnabled(false);
    SpeedButton12->setEnabled(false);
    SpeedButton13->setEnabled(false);

    const std::pair<QToolButton *, void (TTopicTree::*)()> commands[] = {
        {SpeedButton8, &TTopicTree::SpeedButton8Click},   {SpeedButton9, &TTopicTree::SpeedButton9Click},
        {SpeedButton12, &TTopicTree::SpeedButton12Click}, {SpeedButton13, &TTopicTree::SpeedButton13Click},
        {SpeedButton14, &TTopicTree::SpeedButton14Click}, {SpeedButton15, &TTopicTree::SpeedButton15Click},
        {SpeedButton16, &TTopicTree::SpeedButton16Click}};
    for (const auto &[button, handler] : commands) connect(button, &QToolButton::clicked, this, command(this, handler));
}

qint64 TTopicTree::topicId(const QTreeWidgetItem *node)
{
    return node ? node->data(0, TopicIdRole).toLongLong() : 0;
}

void TTopicTree::setTopicId(QTreeWidgetItem *node, qint64 id)
{
    node->setData(0, TopicIdRole, id);
}

QList<qint64> TTopicTree::pathIds(const QTreeWidgetItem *node)
{
    QList<qint64> path;
    const int depth = node ? level(node) : 0;
    for (const QTreeWidgetItem *n = node; n && path.size() < depth; n = n->parent()) path.prepend(topicId(n));
    return path;
}

QString TTopicTree::storedName(const QTreeWidgetItem *node)
{
    return node ? node->data(0, NameRole).toString() : QString();
}

int TTopicTree::level(const QTreeWidgetItem *node)
{
    int depth = 1;
    for (const QTreeWidgetItem *p = node->parent(); p && depth < 4; p = p->parent()) ++depth;
    return depth;
}

QString TTopicTree::label(const QString &name, int links, int children, int level)
{
    if (level >= 4) return name + '[' + QString::number(links) + QStringLiteral("/0]");
    return name + '[' + QString::number(links) + '/' + QString::number(children) + ']';
}

void TTopicTree::EnableTreeCommands()
{
    for (QToolButton *b : {SpeedButton15, SpeedButton14, SpeedButton13, SpeedButton12, SpeedButton8, SpeedButton9})
        b->setEnabled(true);
}

void TTopicTree::DisableTreeCommands()
{
    for (QToolButton *b : {SpeedButton15, SpeedButton14, SpeedButton13, SpeedButton12, SpeedButton8, SpeedButton9})
        b->setEnabled(false);
}

void TTopicTree::TreeView1Deletion(QTreeWidgetItem *)
{
    DisableTreeCommands();
}

QTreeWidgetItem *TTopicTree::selectedNode() const
{
    const QList<QTreeWidgetItem *> selected = TreeView1->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TTopicTree::removeNode(QTreeWidgetItem *node)
{
    if (CurrentNode == node) CurrentNode = nullptr;
    TreeView1Deletion(node);
    delete node;
}

QTreeWidgetItem *TTopicTree::makeNode(const QString &name, const QString &text, qint64 id) const
{
    return new TTopicNode(text, name, id, withPictures_);
}

void TTopicTree::removeAllNodes()
{
    const bool hadNodes = TreeView1->topLevelItemCount() > 0;
    CurrentNode = nullptr;
    TreeView1->clear();
    // Removing nodes disables the editing commands, once per removed node in
    // effect; a tree that had none keeps their state.
    if (hadNodes) TreeView1Deletion(nullptr);
}
