#pragma once
#include <QString>

class TForm3;
class TMastData;

// What the marks need of the main window, which lies above this folder.
class TMarkHost {
public:
    virtual ~TMarkHost() = default;
    // Takes the active editor window (ActiveEditor, CurrentDocId): its
    // document, its selection start and selected text. False without one.
    virtual bool takeActiveSelection(qint64 &documentId, int &start, QString &selected) = 0;
    // Opens the current document with the caret at a position (PendingCaret
    // and the open command).
    virtual void openCurrentDocumentAt(int caret) = 0;
    // The main window comes to the front, as when the user comes back to it
    // from the jump window.
    virtual void returnFromJumpWindow() = 0;
    // MarkCount: the number of marks made.
    virtual int &markCount() = 0;
};

// Marks of places in documents, listed in the jump window: "M" adds one for
// the active editor, "选定" goes to the selected one, "<" and ">" to the one
// made before or after it.
class TMarks {
public:
    TMarks(TMastData &data, TForm3 &list, TMarkHost &host);
    void SpeedButton5Click();   // "M"
    void SpeedButton11Click();  // "<"
    void SpeedButton10Click();  // ">"
    void goToSelected();        // "选定", double click

private:
    void step(int by);
    TMastData &data_;
    TForm3 &list_;
    TMarkHost &host_;
};
