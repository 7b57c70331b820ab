#include "topics/labeleditor.h"

#include "topics/topictree.h"
#include "ui/command.h"

#include <QLineEdit>
#include <QTreeWidget>

TLabelEditDelegate::TLabelEditDelegate(TTopicTree *tree) : QStyledItemDelegate(tree), tree_(tree) {}

QWidget *TLabelEditDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    bool started = false;
    runCommand([&] {
        tree_->TreeView1Editing();
        started = true;
    });
    if (!started) return nullptr;
    accepted_ = QString();
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    return editor;
}

void TLabelEditDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    // The name alone: the counts of the label are not part of it.
    if (QTreeWidgetItem *node = tree_->TreeView1->itemFromIndex(index))
        static_cast<QLineEdit *>(editor)->setText(TTopicTree::storedName(node));
}

void TLabelEditDelegate::setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &) const
{
    // Stored once the editor has closed, so that a message shown meanwhile
    // cannot end the same edit a second time.
    accepted_ = static_cast<QLineEdit *>(editor)->text();
    if (accepted_.isNull()) accepted_ = QLatin1String("");
}

void TLabelEditDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    QStyledItemDelegate::destroyEditor(editor, index);
    QTreeWidgetItem *node = tree_->TreeView1->itemFromIndex(index);
    const QString text = accepted_;
    accepted_ = QString();
    if (text.isNull()) {
        runCommand([&] { tree_->editCancelled(node); });
        return;
    }
    runCommand([&] {
        if (tree_->TreeView1Edited(text) && node) {
            node->setText(0, text);
            node->setData(0, TTopicTree::NameRole, text);
        }
    });
}
