#include "documents/marks.h"

#include "data/Unit1.h"
#include "documents/Unit3.h"
#include "documents/documenthost.h"

#include <QTreeWidget>

TMarks::TMarks(TMastData &data, TForm3 &list, TDocumentHost &host) : data_(data), list_(list), host_(host) {}

void TMarks::SpeedButton5Click()
{
    qint64 documentId = 0;
    int start = 0;
    QString selected;
    if (!host_.takeActiveSelection(documentId, start, selected)) return;
    // The title as stored, not one being edited.
    const QString name = data_.ADOTmain->locate("id", documentId) ? data_.ADOTmain->fieldText("name") : QString();
    int &count = host_.markCount();
    list_.addMark(count, documentId, start,
                  QString::number(count) + QStringLiteral("《") + name + QStringLiteral("》 ") + selected);
    ++count;
}

void TMarks::goToSelected()
{
    const QTreeWidgetItem *mark = list_.selectedMark();
    if (!mark) return;
    // A mark of a deleted document opens nothing.
    const bool found = data_.ADOTmain->locate("id", TForm3::documentOf(mark));
    const int caret = TForm3::caretOf(mark);
    list_.hide();
    host_.returnFromJumpWindow();
    if (found) host_.openCurrentDocumentAt(caret);
}

void TMarks::SpeedButton11Click()
{
    step(-1);
}

void TMarks::SpeedButton10Click()
{
    step(+1);
}

// No wrap-around; the jump window is neither shown nor hidden.
void TMarks::step(int by)
{
    const QTreeWidgetItem *mark = list_.selectedMark();
    if (!mark) return;
    const int k = TForm3::ordinalOf(mark) + by;
    if (k < 0 || k >= host_.markCount()) return;
    list_.selectMark(k);
    const QTreeWidgetItem *target = list_.selectedMark();
    if (target && data_.ADOTmain->locate("id", TForm3::documentOf(target)))
        host_.openCurrentDocumentAt(TForm3::caretOf(target));
}
