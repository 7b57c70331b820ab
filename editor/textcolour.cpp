// The context menu of the editor: the annotation markers, and the text
// colours of the selection, or with no selection of what is typed next.
#include "editor/childwin.h"

#include "editor/annotations.h"

#include <QTextEdit>

// The annotation markers: red, replacing the selection, or at the caret.
void TMDIChild::N1Click()
{
    RichEdit1->setTextColor(QColor(255, 0, 0));
    RichEdit1->insertPlainText(kOpeningMarker);
}

void TMDIChild::N2Click()
{
    RichEdit1->setTextColor(QColor(255, 0, 0));
    RichEdit1->insertPlainText(kClosingMarker);
}

void TMDIChild::N4Click()
{
    RichEdit1->setTextColor(QColor(0, 0, 0));
}

void TMDIChild::N5Click()
{
    RichEdit1->setTextColor(QColor(255, 0, 0));
}

void TMDIChild::N6Click()
{
    RichEdit1->setTextColor(QColor(0, 0, 255));
}

void TMDIChild::N7Click()
{
    RichEdit1->setTextColor(QColor(0, 128, 0));
}
