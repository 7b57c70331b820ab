// The main window's tree commands.
#include "app/main.h"
#include "topics/topictree.h"

#include <QToolButton>

void TMainForm::SpeedButton16Click()
{
    tree->SpeedButton16Click();
}

void TMainForm::btbiaodwClick()
{
    tree->locate();
}
