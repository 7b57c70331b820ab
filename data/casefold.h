#pragma once
#include <QChar>

// Letter case folded away, the one way that every text comparison of the
// library uses (the search's LIKE, the title order).
inline char32_t foldCase(char32_t c)
{
    if (c < 0x80) return (c - 'A' < 26u) ? c + 32 : c;
    // Ideographs, kana and Hangul have no case: most of a Chinese text.
    if ((c >= 0x2E80 && c < 0xA640) || (c >= 0xAC00 && c < 0xD7B0)) return c;
    return QChar::toCaseFolded(c);
}
