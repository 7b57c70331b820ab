// The main window's handlers of the document commands, whose work is done
// in documents/, and what those commands use of this window.
#include "app/main.h"

#include "collect/Unitget.h"
#include "data/Unit1.h"
#include "documents/Unit3.h"
#include "documents/linkinfo.h"
#include "documents/linking.h"
#include "documents/marks.h"
#include "documents/newdelete.h"
#include "editor/childwin.h"

#include <QMdiSubWindow>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolBar>

void TMainForm::ToolButton26Click()
{
    TDocumentCommands(*MastData, *this).ToolButton26Click();
}

void TMainForm::ToolButton29Click()
{
    TDocumentCommands(*MastData, *this).ToolButton29Click();
}

void TMainForm::SpeedButton7Click()
{
    TLinkCommands(*MastData, *this).SpeedButton7Click();
}

void TMainForm::SpeedButton2Click()
{
    TLinkCommands(*MastData, *this).SpeedButton2Click();
}

void TMainForm::btshowglxxClick()
{
    showLinkInformation(*MastData, Memo1);
}

void TMainForm::SpeedButton5Click()
{
    TMarks(*MastData, *Form3, *this).SpeedButton5Click();
}

void TMainForm::SpeedButton11Click()
{
    TMarks(*MastData, *Form3, *this).SpeedButton11Click();
}

void TMainForm::SpeedButton10Click()
{
    TMarks(*MastData, *Form3, *this).SpeedButton10Click();
}

// The jump window, beside the main window's right edge, not modal.
void TMainForm::SpeedButton4Click()
{
    const QRect frame = geometry();
    Form3->move(frame.right() - Form3->frameGeometry().width() - 8, frame.top() + 80);
    Form3->show();
    Form3->raise();
    Form3->activateWindow();
}

// The collection window is shown alone above the other programs; closing it
// brings the library back.
void TMainForm::SpeedButton6Click()
{
    showMinimized();
    frmget->exec();
    showMaximized();
}

qint64 TMainForm::takeActiveEditorDocument()
{
    ActiveEditor = activeEditor();
    if (!ActiveEditor) return 0;
    CurrentDocId = ActiveEditor->documentId();
    return CurrentDocId;
}

bool TMainForm::takeActiveSelection(qint64 &documentId, int &start, QString &selected)
{
    if (!takeActiveEditorDocument()) return false;
    const QTextCursor cursor = ActiveEditor->RichEdit1->textCursor();
    documentId = CurrentDocId;
    start = cursor.selectionStart();
    selected = cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return true;
}

bool TMainForm::closeActiveEditorAsDeleted()
{
    TMDIChild *editor = ActiveEditor;
    if (!editor) return false;
    editor->DocumentDeleted = true;
    auto *sub = qobject_cast<QMdiSubWindow *>(editor->parentWidget());
    if (!(sub ? sub->close() : editor->close())) {
        editor->DocumentDeleted = false;
        return false;
    }
    ActiveEditor = nullptr;
    return true;
}

void TMainForm::uncoverEditors()
{
    ToolBar2->show();
    Panel2->hide();
}

void TMainForm::openCurrentDocumentAt(int caret)
{
    PendingCaret = caret;
    BitBtn3Click();
}
