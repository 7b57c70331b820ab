#pragma once
#include <QList>

class QMdiArea;
class TMDIChild;
class TMastData;

// What the open command needs of the main window, which lies above this
// folder: its area of editor windows, its editing mode and PendingCaret.
class TEditorHost {
public:
    virtual ~TEditorHost() = default;
    virtual QMdiArea *editorArea() = 0;
    virtual void EnterEditingMode() = 0;
    virtual int &pendingCaret() = 0;
};

// The open editor windows in window order, the active one first; and the
// active one, or null.
QList<TMDIChild *> editorWindows(const QMdiArea *area);
TMDIChild *activeEditor(const QMdiArea *area);

// The open command: the current document of ADOTmain in its editor window,
// made and filled, or brought to the front with its changes kept; the caret
// at PendingCaret, which goes back to 0; editing mode.
void openCurrentDocument(TMastData &data, TEditorHost &host);
