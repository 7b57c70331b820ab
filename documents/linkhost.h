#pragma once
#include <QList>

class QWidget;
class TADOQuery;
class TTopicTree;

// What the link commands need of the main window, which lies above this
// folder: its mode, the document list with its selection, its topic tree and
// the document of its active editor window.
class TLinkHost {
public:
    virtual ~TLinkHost() = default;
    // Owner and caption of the questions.
    virtual QWidget *hostWindow() = 0;
    virtual bool inLibraryMode() const = 0;
    // The query of the current list, and whether it is the topic list (a
    // topic's links) rather than the search list.
    virtual TADOQuery *currentListQuery() const = 0;
    virtual bool currentListIsTopicList() const = 0;
    // Positions of the selected rows of the list, in list order.
    virtual QList<int> selectedListRows() const = 0;
    virtual void clearListSelection() = 0;
    virtual TTopicTree *mainTree() = 0;
    // Takes the active editor window and its document id (ActiveEditor,
    // CurrentDocId); 0 when no editor window is open.
    virtual qint64 takeActiveEditorDocument() = 0;
};
