#pragma once
#include <QString>
#include <QWidget>
#include <functional>

class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TLabelEditDelegate;

// A topic tree with its toolbar, as both tree windows (the main window and
// the topic picker) show it. Each window has its own instance, with its own
// nodes and state, over the same level datasets of the data module; the
// seven tree commands and the in-place edit are written here once.
class TTopicTree : public QWidget {
    Q_OBJECT
public:
    explicit TTopicTree(bool withPictures, QWidget *parent = nullptr);

    QToolBar *ToolBar1;
    QToolButton *SpeedButton8;   // add topic
    QToolButton *SpeedButton9;   // add sub-topic
    QToolButton *SpeedButton12;  // delete topic
    QToolButton *SpeedButton13;  // rename topic
    QToolButton *SpeedButton14;  // move topic down
    QToolButton *SpeedButton15;  // move topic up
    QToolButton *SpeedButton16;  // reload the tree
    QTreeWidget *TreeView1;

    // The node the window's commands work on, and its level as last located.
    QTreeWidgetItem *CurrentNode = nullptr;
    int CurrentLevel = 0;
    // Working values of the tree editing commands.
    bool AddingTopic = false;
    bool AddingRoot = false;
    qint64 NewTopicParent = 0;

    // Runs in the reload once the level datasets are open again: the main
    // window enables its mark command there.
    std::function<void()> onReopened;

    // ---- the seven commands ------------------------------------------------
    void SpeedButton8Click();   // add a topic beside the selected one, or a root
    void SpeedButton9Click();   // add a sub-topic
    void SpeedButton12Click();  // delete
    void SpeedButton13Click();  // rename
    void SpeedButton14Click();  // move down
    void SpeedButton15Click();  // move up
    void SpeedButton16Click();  // reload: rebuilds the tree from the database

    // ---- the in-place edit -------------------------------------------------
    void TreeView1Editing();
    // The end of an accepted edit with the accepted text. True when the node
    // is to show the text; false when the edit was abandoned ("0").
    bool TreeView1Edited(const QString &text);
    // An edit ended with Escape: no handler of the design runs for it, so
    // the flags of an add are cleared here and its empty node removed.
    void editCancelled(QTreeWidgetItem *node);
    // Runs for every node removed from the tree.
    void TreeView1Deletion(QTreeWidgetItem *node);

    // Stands the level datasets on the selected node's path and sets
    // CurrentNode and CurrentLevel.
    void locate();
    // Stands the level datasets on a node's path, the window's state left
    // alone. The commands that act on CurrentNode stand on it first: the
    // other tree window may have moved the shared datasets since the click.
    static void standOn(QTreeWidgetItem *node);

    void EnableTreeCommands();
    void DisableTreeCommands();
    // The tree's selected node, or null.
    QTreeWidgetItem *selectedNode() const;

    // What every node carries.
    enum Role { TopicIdRole = Qt::UserRole + 1, ImageIndexRole, SelectedIndexRole, NameRole };
    static qint64 topicId(const QTreeWidgetItem *node);
    static void setTopicId(QTreeWidgetItem *node, qint64 id);
    static int level(const QTreeWidgetItem *node);
    // The topic ids on the node's path, level 1 first, from the node and its
    // parent nodes.
    static QList<qint64> pathIds(const QTreeWidgetItem *node);
    // The topic's name as stored, without the counts of its label.
    static QString storedName(const QTreeWidgetItem *node);
    // name[links/children]; a level-4 topic shows name[links/0].
    static QString label(const QString &name, int links, int children, int level);

private:
    QTreeWidgetItem *makeNode(const QString &name, const QString &text, qint64 id) const;
    void addLevel(int k, QTreeWidgetItem *parent, QList<QTreeWidgetItem *> &roots) const;
    void addEmptyNode(QTreeWidgetItem *parent);
    void removeNode(QTreeWidgetItem *node);
    void removeAllNodes();
    void move(bool down);
    bool storeEdit(const QString &text);
    bool withPictures_;
    TLabelEditDelegate *editDelegate_;
};
