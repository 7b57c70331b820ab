#pragma once
#include <QDialog>
#include <QList>
#include <optional>

class QPushButton;
class QShowEvent;
class QToolBar;
class QToolButton;
class TTopicTree;

// The topic picker: a modal window with its own topic tree, in which the
// user chooses the topic to file documents under, and may edit the tree
// while choosing.
class Tfrmselectnode : public QDialog {
    Q_OBJECT
public:
    explicit Tfrmselectnode(QWidget *parent = nullptr);

    QToolBar *ToolBar2;         // "选定" and "取消"
    QToolButton *SpeedButton2;  // "选定"
    QToolButton *SpeedButton3;  // "取消"
    TTopicTree *tree;           // its toolbar, TreeView1 and the tree state
    QPushButton *btbiaodw2;     // the picker's locate; never shown

    void FormActivate();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void TreeView1Click();
    void btbiaodw2Click();

protected:
    void showEvent(QShowEvent *event) override;
};

extern Tfrmselectnode *frmselectnode;

// What the picker gives its caller once it closed with OK.
struct PickedTopic {
    // 1 to 4; 0 when no stored topic was located, and then nothing is filed.
    int level = 0;
    // The topic ids on the path, level 1 first, the picked topic last; read
    // from the picked node and its parent nodes.
    QList<qint64> path;
    qint64 topicId() const { return path.isEmpty() ? 0 : path.last(); }
};

// Shows the picker modally. Nothing when it was cancelled; otherwise the
// picked topic, with the level datasets standing on its path, so that a link
// appended to the link dataset of its level is filed under it.
std::optional<PickedTopic> pickTopic();
