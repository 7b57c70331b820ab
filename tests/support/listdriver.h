#pragma once
// Drives the main window's library panel the way a user does: topics
// clicked in the tree, searches, clicks on rows of the document grid.
#include <QStringList>
#include <Qt>

// Clicks the topic (its label starts with name and "[") in the main tree.
void clickTopic(const QString &name);
// Types the keyword, chooses 标题 or 正文 and presses the search button.
void searchFor(const QString &keyword, bool inTitles = true);
// The grid as the user sees it, one "文件ID|文件名称" a row.
QStringList gridRows();
void clickRow(int row, Qt::KeyboardModifiers modifiers = {});
void doubleClickRow(int row);
// Ctrl-clicks every row whose name is one of names, in grid order.
void selectRowsNamed(const QStringList &names);
