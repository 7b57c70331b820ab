#pragma once
#include <QString>
#include <QWidget>
#include <functional>

class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// A topic tree with its toolbar, as both tree windows (the main window and
// the topic picker) show it. Each window has its own instance, with its own
// nodes and state, over the same level datasets of the data module.
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

    // Rebuilds the tree from the database. afterReopen runs once the level
    // datasets are open again (the main window enables its mark command there).
    void reload(const std::function<void()> &afterReopen = {});
    // Stands the level datasets on the selected node's path and sets
    // CurrentNode and CurrentLevel.
    void locate();

    void EnableTreeCommands();
    void DisableTreeCommands();
    // Runs for every node removed from the tree.
    void TreeView1Deletion(QTreeWidgetItem *node);

    // What every node carries.
    enum Role { TopicIdRole = Qt::UserRole + 1, ImageIndexRole, SelectedIndexRole };
    static qint64 topicId(const QTreeWidgetItem *node);
    static void setTopicId(QTreeWidgetItem *node, qint64 id);
    static int level(const QTreeWidgetItem *node);
    // name[links/children]; a level-4 topic shows name[links/0].
    static QString label(const QString &name, int links, int children, int level);

private:
    QTreeWidgetItem *makeNode(const QString &text, qint64 id) const;
    void removeAllNodes();
    bool withPictures_;
};
