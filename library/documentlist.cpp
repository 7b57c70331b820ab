// The document list and the keyword search.
#include "app/main.h"

void TMainForm::TreeView1Click() {}
void TMainForm::SpeedButton18Click() {}
void TMainForm::DBGrid13CellClick() {}
void TMainForm::DBGrid13DblClick() {}
void TMainForm::PageControl3Change() {}
