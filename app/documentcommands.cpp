// The main window's handlers of the document commands, whose work is done
// in documents/.
#include "app/main.h"

#include "collect/Unitget.h"
#include "data/Unit1.h"
#include "documents/linking.h"
#include "documents/linkinfo.h"
#include "editor/childwin.h"

#include <QTextEdit>

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
    QStringList lines;
    Memo1->clear();
    try {
        readLinkInformation(*MastData, lines);
    } catch (...) {
        Memo1->setPlainText(lines.join('\n'));
        throw;
    }
    Memo1->setPlainText(lines.join('\n'));
}

qint64 TMainForm::takeActiveEditorDocument()
{
    ActiveEditor = activeEditor();
    if (!ActiveEditor) return 0;
    CurrentDocId = ActiveEditor->documentId();
    return CurrentDocId;
}

// The collection window is shown alone above the other programs; closing it
// brings the library back.
void TMainForm::SpeedButton6Click()
{
    showMinimized();
    frmget->exec();
    showMaximized();
}
