#pragma once
// Code pages of 8-bit RTF text: \ansicpg numbers and \fcharset values mapped
// to decoders, plus the Symbol font whose bytes are glyph numbers.
#include <QByteArray>
#include <QString>

namespace rtf {

// Code page number meaning "the Symbol font": bytes are not characters.
inline constexpr int SymbolCodePage = 42;

// Windows code page for an \fcharset value; 0 when the charset says nothing
// (DEFAULT_CHARSET), so the document's \ansicpg applies.
int codePageForCharset(int charset);

// True when the code page uses lead and trail bytes.
bool isDoubleByte(int codePage);
// True when b starts a two-byte character in that code page.
bool isLeadByte(int codePage, unsigned char b);

// Decodes bytes of the given code page; unknown code pages fall back to
// windows-1252 so that no byte is lost silently.
QString decode(int codePage, const QByteArray &bytes);
// Encodes text in that code page; ok is false when a character has no
// byte sequence there.
QByteArray encode(int codePage, const QString &text, bool *ok = nullptr);

}  // namespace rtf
