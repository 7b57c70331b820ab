// Commands that later work builds; present by name, doing nothing yet.
#include "app/main.h"

void TMainForm::SpeedButton20Click() {}
