// The main window's handlers of the editor windows and the annotation list,
// whose work is done in editor/.
#include "app/main.h"

#include "data/Unit1.h"
#include "editor/annotations.h"
#include "editor/childwin.h"
#include "editor/opening.h"

void TMainForm::BitBtn3Click()
{
    openCurrentDocument(*MastData, *this);
}

void TMainForm::ToolButton31Click()
{
    ActiveEditor = activeEditor();
    if (ActiveEditor) ActiveEditor->saveDocument();
}

void TMainForm::btshowbzClick()
{
    showAnnotations(*MastData, documentList(), TreeView4);
}

void TMainForm::BitBtn4Click()
{
    openAnnotation(*MastData, TreeView4, *this);
}
