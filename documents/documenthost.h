#pragma once
#include <QString>

class QWidget;
class TDocumentList;
class TTopicTree;

// What the document commands need of the main window, which lies above this
// folder: its mode and state values, its document list and topic tree, and
// its editor windows.
class TDocumentHost {
public:
    virtual ~TDocumentHost() = default;
    // Owner and caption of the questions.
    virtual QWidget *hostWindow() = 0;
    virtual bool inLibraryMode() const = 0;
    virtual TDocumentList documentList() = 0;
    virtual TTopicTree *mainTree() = 0;

    // Takes the active editor window and its document id (ActiveEditor,
    // CurrentDocId); 0 when no editor window is open.
    virtual qint64 takeActiveEditorDocument() = 0;
    // The same, with the selection start and selected text of its editor.
    virtual bool takeActiveSelection(qint64 &documentId, int &start, QString &selected) = 0;
    // Closes ActiveEditor without the save question, its document being
    // deleted; false when it stayed open.
    virtual bool closeActiveEditorAsDeleted() = 0;
    // The editor windows come out from under the library panel, with the
    // editing toolbar (a new document's first step).
    virtual void uncoverEditors() = 0;

    // The open command on the current document, and the same with the caret
    // at a position (PendingCaret).
    virtual void BitBtn3Click() = 0;
    virtual void openCurrentDocumentAt(int caret) = 0;
    // The main window comes to the front, as when the user comes back to it
    // from the jump window.
    virtual void returnFromJumpWindow() = 0;
    // MarkCount: the number of marks made.
    virtual int &markCount() = 0;
};
