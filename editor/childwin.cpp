#include "editor/childwin.h"

TMDIChild::TMDIChild(QWidget *parent) : QWidget(parent)
{
    setObjectName("MDIChild");
    setAttribute(Qt::WA_DeleteOnClose);
}

qint64 TMDIChild::documentId() const
{
    const QString caption = windowTitle();
    int n = 0;
    while (n < caption.size() && caption[n].isDigit()) ++n;
    return caption.left(n).toLongLong();
}

void TMDIChild::FormCloseQuery(bool &CanClose)
{
    CanClose = true;
}
