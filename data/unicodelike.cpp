#include "data/unicodelike.h"

#include "data/casefold.h"
#include "data/utf8.h"

#include <QChar>
#include <cstring>
#include <sqlite3.h>
#include <vector>

namespace {

inline char32_t fold(char32_t c)
{
    return foldCase(c);
}

// A pattern decoded and folded once per statement rather than once per row.
constexpr char32_t kAny = 0xFFFFFFFF;  // "%"
constexpr char32_t kOne = 0xFFFFFFFE;  // "_"

std::vector<char32_t> compile(const unsigned char *pat)
{
    std::vector<char32_t> out;
    while (*pat) {
        const char32_t c = nextCodePoint(pat);
        if (c == '%') {
            if (out.empty() || out.back() != kAny) out.push_back(kAny);
        } else {
            out.push_back(c == '_' ? kOne : fold(c));
        }
    }
    return out;
}

inline bool caseless(char32_t c)
{
    return (c >= 0x2E80 && c < 0xA640) || (c >= 0xAC00 && c < 0xD7B0);
}

// Where the next attempt after a "%" can start: the next place the
// pattern's following character can match. ASCII letters other than k and s
// (which the Kelvin sign and the long s fold to) match only ASCII bytes, and
// characters without case only their own bytes, so both are found by a
// plain byte search.
const unsigned char *nextCandidate(const unsigned char *t, const unsigned char *end, char32_t c)
{
    if (c < 0x80 && c != 'k' && c != 's') {
        const unsigned char lowerC = static_cast<unsigned char>(c);
        const unsigned char upperC = (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : lowerC;
        while (t < end && *t != lowerC && *t != upperC) ++t;
        return t;
    }
    if (caseless(c)) {
        unsigned char bytes[3] = {static_cast<unsigned char>(0xE0 | (c >> 12)),
                                  static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)),
                                  static_cast<unsigned char>(0x80 | (c & 0x3F))};
        const void *hit = memmem(t, size_t(end - t), bytes, 3);
        return hit ? static_cast<const unsigned char *>(hit) : end;
    }
    return t;
}

// Iterative matcher with one backtrack point for the last "%": linear in
// practice and never recursive, so long bodies cannot exhaust the stack.
bool match(const std::vector<char32_t> &pat, const unsigned char *txt, const unsigned char *end)
{
    size_t p = 0;
    size_t starPat = SIZE_MAX;
    const unsigned char *starTxt = nullptr;
    const size_t n = pat.size();
    // A zero character is text like any other: only the end ends it.
    while (txt < end) {
        if (p < n && pat[p] == kAny) {
            if (++p == n) return true;
            starPat = p;
            starTxt = txt = nextCandidate(txt, end, pat[p]);
            continue;
        }
        const unsigned char *t = txt;
        const char32_t tc = nextCodePoint(t);
        if (p < n && (pat[p] == kOne || pat[p] == fold(tc))) {
            ++p;
            txt = t;
            continue;
        }
        if (starPat == SIZE_MAX) return false;
        p = starPat;
        nextCodePoint(starTxt);
        starTxt = txt = nextCandidate(starTxt, end, pat[p]);
    }
    while (p < n && pat[p] == kAny) ++p;
    return p == n;
}

void deletePattern(void *p)
{
    delete static_cast<std::vector<char32_t> *>(p);
}

void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    (void)argc;
    // like(pattern, text): SQLite passes the pattern first.
    const unsigned char *txt = sqlite3_value_text(argv[1]);
    auto *compiled = static_cast<std::vector<char32_t> *>(sqlite3_get_auxdata(ctx, 0));
    if (!compiled) {
        const unsigned char *pat = sqlite3_value_text(argv[0]);
        if (!pat || !txt) {
            sqlite3_result_null(ctx);
            return;
        }
        compiled = new std::vector<char32_t>(compile(pat));
        sqlite3_set_auxdata(ctx, 0, compiled, deletePattern);
        // SQLite may drop it at once; then it is not ours to use any more.
        compiled = static_cast<std::vector<char32_t> *>(sqlite3_get_auxdata(ctx, 0));
        if (!compiled) {
            sqlite3_result_int(ctx, match(compile(pat), txt, txt + sqlite3_value_bytes(argv[1])) ? 1 : 0);
            return;
        }
    }
    if (!txt) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, match(*compiled, txt, txt + sqlite3_value_bytes(argv[1])) ? 1 : 0);
}

}  // namespace

bool unicodeLikeMatch(const char *pattern, const char *text)
{
    const auto *t = reinterpret_cast<const unsigned char *>(text);
    return match(compile(reinterpret_cast<const unsigned char *>(pattern)), t, t + strlen(text));
}

void installUnicodeLike(sqlite3 *db)
{
    sqlite3_create_function(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction, nullptr, nullptr);
}
