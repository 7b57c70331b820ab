#pragma once
#include <QStyledItemDelegate>

class TTopicTree;

// The in-place label editor of a topic tree. Opening it runs the tree's
// edit-start handler and shows the topic's stored name; accepting it runs
// the edit-end handler once the editor has closed, and the node shows the
// accepted text when that handler ended normally; Escape runs the tree's
// cancel handler.
class TLabelEditDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TLabelEditDelegate(TTopicTree *tree);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

private:
    TTopicTree *tree_;
    // The text accepted in the open editor; null while nothing was accepted.
    mutable QString accepted_;
};
