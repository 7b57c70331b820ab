#include "collect/Unitget.h"

Tfrmget *frmget = nullptr;

Tfrmget::Tfrmget(QWidget *parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName("frmget");
}
