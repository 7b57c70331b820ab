#include "data/unicodelike.h"

#include <QChar>
#include <sqlite3.h>

namespace {

// Decodes one UTF-8 code point; malformed bytes count as one character each.
char32_t nextCodePoint(const unsigned char *&p)
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

char32_t fold(char32_t c)
{
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

// Iterative matcher with one backtrack point for the last "%": linear in
// practice and never recursive, so long bodies cannot exhaust the stack.
bool match(const unsigned char *pat, const unsigned char *txt)
{
    const unsigned char *starPat = nullptr, *starTxt = nullptr;
    while (*txt) {
        if (*pat == '%') {
            while (*pat == '%') ++pat;
            if (!*pat) return true;
            starPat = pat;
            starTxt = txt;
            continue;
        }
        const unsigned char *p = pat, *t = txt;
        if (*p) {
            char32_t pc = nextCodePoint(p);
            char32_t tc = nextCodePoint(t);
            if (pc == '_' || fold(pc) == fold(tc)) {
                pat = p;
                txt = t;
                continue;
            }
        }
        if (!starPat) return false;
        pat = starPat;
        nextCodePoint(starTxt);
        txt = starTxt;
    }
    while (*pat == '%') ++pat;
    return *pat == 0;
}

void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    (void)argc;
    // like(pattern, text): SQLite passes the pattern first.
    const unsigned char *pat = sqlite3_value_text(argv[0]);
    const unsigned char *txt = sqlite3_value_text(argv[1]);
    if (!pat || !txt) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, match(pat, txt) ? 1 : 0);
}

}  // namespace

bool unicodeLikeMatch(const char *pattern, const char *text)
{
    return match(reinterpret_cast<const unsigned char *>(pattern),
                 reinterpret_cast<const unsigned char *>(text));
}

void installUnicodeLike(sqlite3 *db)
{
    sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            likeFunction, nullptr, nullptr);
}
