// The open and save commands of the main window.
#include "app/main.h"

void TMainForm::BitBtn3Click() {}
void TMainForm::ToolButton31Click() {}
