#pragma once

// Decodes one UTF-8 code point and moves p past it; malformed bytes count
// as one character each. The search's matcher and the body index read text
// through this one function, so they always see the same characters.
inline char32_t nextCodePoint(const unsigned char *&p)
{
    unsigned c = *p++;
    if (c < 0x80) return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (extra == 0) return c;
    char32_t cp = c & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((*p & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (*p++ & 0x3F);
    }
    return cp;
}
