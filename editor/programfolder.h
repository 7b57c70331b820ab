#pragma once
#include <QString>

// The folder that holds the library file, with a trailing separator.
// Attachments and cover pictures are stored by names relative to it.
QString programFolder();
// The full path of a stored relative name; names written on Windows use
// backslashes.
QString programFile(const QString &relativeName);
