// The text colours of the editor's context menu: the selection, or with no
// selection what is typed next at the caret.
#include "editor/childwin.h"

#include <QTextEdit>

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
