#pragma once

// Start-up steps 1 to 4 in the current working folder: application title,
// the windows and the data module, the worker, the twelve datasets. Returns
// false when the program must end (no library, or one that cannot be
// opened); the event loop is not entered.
bool startProgram();
// Destroys what startProgram made.
void stopProgram();

#include <QStringList>
class MYTH;
class BackgroundBackup;
// The backup the last start began, if any (none for a library only read).
BackgroundBackup *startupBackup();
// What start-up made and opened, in order, for tests.
QStringList &startupTrace();
// The worker of the last start, for tests.
MYTH *startupWorker();
