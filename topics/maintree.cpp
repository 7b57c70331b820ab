// The main window's tree commands.
#include "app/main.h"
#include "topics/topictree.h"

#include <QToolButton>

void TMainForm::SpeedButton16Click()
{
    tree->reload([this] { SpeedButton5->setEnabled(true); });
}

void TMainForm::btbiaodwClick()
{
    tree->locate();
}
