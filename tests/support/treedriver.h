#pragma once
// Drives a topic tree the way a user does: clicks on nodes, the label
// editor, and the modal topic picker.
#include <QString>
#include <functional>

#include <QList>

class QLineEdit;
class TTopicTree;
class QTreeWidget;
class QTreeWidgetItem;
class Tfrmselectnode;

// The node whose label is name, or starts with name and "[", at any depth.
QTreeWidgetItem *nodeNamed(QTreeWidget *tree, const QString &name);
// A mouse click on the node, its parents expanded first.
void clickNode(QTreeWidget *tree, QTreeWidgetItem *node);
// Whether the six editing commands of a tree window are enabled: add, add
// below, delete, rename, move down, move up.
QList<bool> enabledCommands(const TTopicTree *tree);

// The open label editor of the tree, or null.
QLineEdit *labelEditor(QTreeWidget *tree);
// Types text into the open label editor and presses Enter (or Escape).
void acceptEdit(QTreeWidget *tree, const QString &text);
void cancelEdit(QTreeWidget *tree);

// Runs action once the topic picker is shown (modally, by a command run
// after this call); the action ends by closing it.
void whenPickerShows(const std::function<void(Tfrmselectnode *)> &action);
// Clicks the topic in the picker's tree and presses "选定".
void whenPickerShowsPick(const QString &topic);
// Presses "取消" in the picker.
void whenPickerShowsCancel();
