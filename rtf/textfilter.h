#pragma once
#include <QString>

namespace rtf {

// Appends src to dst without the characters QTextDocument would turn into
// block or frame boundaries (line ends, U+2029, U+FDD0/U+FDD1) or that are
// not text (other control characters, tab excepted). Keeping them out of runs
// keeps the document's positions equal to the plain text's.
inline void appendFiltered(QString &dst, QStringView src)
{
    const auto keep = [](char16_t c) { return c >= 0x20 ? (c != 0x2029 && c != 0xFDD0 && c != 0xFDD1) : c == u'\t'; };
    if (src.size() == 1) {  // the common case: one character of a \u escape
        if (keep(src[0].unicode())) dst += src[0];
        return;
    }
    qsizetype clean = 0;
    while (clean < src.size() && keep(src[clean].unicode())) ++clean;
    dst += src.first(clean);
    for (qsizetype i = clean; i < src.size(); ++i)
        if (keep(src[i].unicode())) dst += src[i];
}

}  // namespace rtf
