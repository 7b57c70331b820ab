#pragma once
#include <QString>

// Attachments and cover pictures lie inside the library folder (the folder
// that holds the library file) and are stored by names relative to it.

// The library folder, with a trailing separator.
QString programFolder();

// The name of a chosen file relative to the library folder, with "/"
// separators; empty when the file does not lie inside the folder, links and
// ".." resolved.
QString relativeName(const QString &path);

// The full path of a stored relative name, "/" or "\" separators (names
// written on Windows use "\"). A name that leads out of the library folder
// (an absolute name, "..", a link pointing out) is refused with a DataError
// naming it: a library file made elsewhere may hold one.
QString libraryFile(const QString &relativeName);
