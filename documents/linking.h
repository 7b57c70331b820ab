#pragma once
#include <QList>

class QWidget;
class TDocumentHost;
class TMastData;
struct PickedTopic;

// Filing documents under topics ("关联") and unfiling them ("取消").
class TLinkCommands {
public:
    TLinkCommands(TMastData &data, TDocumentHost &host);

    // The link command: the selected documents of the list in library mode,
    // the active editor window's document in editing mode.
    void SpeedButton7Click();
    // The unlink command: the selected documents from the topic of the list.
    void SpeedButton2Click();

private:
    void linkSelectedDocuments();
    void unlinkSelectedDocuments(const QList<int> &rows);
    TMastData &data_;
    TDocumentHost &host_;
};

// Shows the topic picker and files one document under the topic picked,
// without a confirmation: the editing-mode form of the link command, which
// the save also runs for the window it saves. Nothing happens when the
// picker is cancelled.
void fileUnderPickedTopic(TMastData &data, qint64 documentId, QWidget *owner);

// Writes the link of a document to a picked topic of level 1 to 4: through
// the link dataset of its level, whose master stands on the topic, with the
// topic and its ancestors in the path columns.
void appendLink(TMastData &data, const PickedTopic &topic, qint64 documentId);
