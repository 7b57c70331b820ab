#pragma once
#include <QStringList>

class QTextEdit;
class TMastData;

// Where the current document is filed: one line per link of ADOTgl2, in
// ascending link id, each "\" and the topic's name for every level of the
// link's path down to its topic. A path that breaks (an empty column, a
// topic that no longer exists) ends its line there; a line may be empty.
// Lines read before a database error are in `lines` when it is thrown.
void readLinkInformation(TMastData &data, QStringList &lines);

// The link information pane: emptied, then filled with the current
// document's lines; after a database error it keeps the lines read so far.
void showLinkInformation(TMastData &data, QTextEdit *memo);
