// New document and delete document.
#include "app/main.h"

void TMainForm::ToolButton26Click() {}
void TMainForm::ToolButton29Click() {}
