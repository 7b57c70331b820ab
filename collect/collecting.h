#pragma once
#include <QString>

class QTextDocument;
class QWidget;

// Files a title and a text as a new document: asks for a topic in the
// picker, then writes the document, its rich-text body and its link together.
// True when stored; false when refused (no title), cancelled, or when the
// file refused the writes, of which nothing is then kept.
bool collectDocument(const QString &title, const QTextDocument &text, QWidget *owner);

// When the window closes: the current document's links are read again.
void finishCollecting();

// The title as the refusal judges it: blanks and control characters removed
// at both ends.
QString trimmedTitle(const QString &title);
