#pragma once
// Moving a library of the Windows version (a Jet 4.0 wenk.dat) into this
// program: converted at start, or imported into the open library by the
// upgrade command.
#include "upgrade/jetimport.h"

#include <QString>
#include <optional>

class Database;
class QWidget;

// Imports the Jet file at jetPath into db with a progress dialog that can be
// cancelled. Tells the user of a refusal, a failure or the cancel itself
// and returns nothing then; db is left as it was.
std::optional<ImportSummary> importWithProgress(Database &db, const QString &jetPath, QWidget *parent);

// The library file at path is a Jet file: asks to convert it, writes the new
// library beside it, keeps the old file under a new name and puts the new
// one in its place. False when the program must end (No, cancel, failure);
// the folder is then as it was.
bool convertJetLibrary(const QString &path);
