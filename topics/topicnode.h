#pragma once
#include <QIcon>
#include <QTreeWidgetItem>

// A node of a topic tree. The topic's id and name, and the indexes of its
// pictures, are members read through the item's roles rather than values
// stored role by role: a tree of tens of thousands of topics is built in
// one allocation a node.
class TTopicNode : public QTreeWidgetItem {
public:
    TTopicNode(const QString &label, const QString &name, qint64 id, bool withPictures);
    QVariant data(int column, int role) const override;
    void setData(int column, int role, const QVariant &value) override;

private:
    QString name_;
    qint64 id_;
    bool pictures_;
};
