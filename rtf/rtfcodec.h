#pragma once
#include <QByteArray>
#include <QString>

class QTextDocument;

namespace rtf {

// Reads RTF bytes into doc (cleared first). Malformed input gives what could
// be read; returns false when nothing RTF-like was found, and doc then holds
// the bytes as plain text (UTF-8 when valid, else GBK), as a rich-edit control
// shows them.
bool read(const QByteArray &bytes, QTextDocument *doc);

// The plain text of the RTF, with the character positions of the document
// that read() builds (paragraphs separated by "\n").
QString plainText(const QByteArray &bytes);

// Writes the document as RTF in the shape the Windows rich-edit control uses.
QByteArray write(const QTextDocument &doc);

// The document's plain text as the library keeps it for searching, with
// Windows line breaks (CR LF) between paragraphs.
QString storedText(const QTextDocument &doc);

}  // namespace rtf
