#include "documents/Unit3.h"

TForm3 *Form3 = nullptr;

TForm3::TForm3(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName("Form3");
    setWindowTitle(QStringLiteral("JUMP"));
}
