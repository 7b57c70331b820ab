// The main window's handlers of the annotation list, whose work is done in
// editor/.
#include "app/main.h"

#include "data/Unit1.h"
#include "editor/annotations.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <QTreeWidget>

void TMainForm::btshowbzClick()
{
    if (!DBGrid13->selectionModel()->hasSelection()) return;
    TADOQuery *list = currentListQuery();
    if (!list || !list->active() || list->isEmpty()) return;
    const qint64 documentId = currentListDocumentId();
    // A listed document that no longer exists has no body to scan; the
    // current document is another one.
    if (!MastData->ADOTmain->locate("id", documentId)) return;
    TAnnotationList(TreeView4).appendGroup(list->fieldText("name"), documentId, storedBodyText(*MastData));
}

void TMainForm::BitBtn4Click()
{
    const QList<QTreeWidgetItem *> selected = TreeView4->selectedItems();
    if (selected.isEmpty()) return;
    // A group carries 0, which matches no document: the current one opens.
    MastData->ADOTmain->locate("id", TAnnotationList::documentOf(selected.first()));
    PendingCaret = TAnnotationList::positionOf(selected.first());
    BitBtn3Click();
}
