// Commands that later work builds; present by name, doing nothing yet.
#include "app/main.h"

void TMainForm::SpeedButton5Click() {}
void TMainForm::SpeedButton11Click() {}
void TMainForm::SpeedButton4Click() {}
void TMainForm::SpeedButton10Click() {}
void TMainForm::SpeedButton17Click() {}
void TMainForm::HelpAbout1Execute() {}
void TMainForm::SpeedButton20Click() {}
