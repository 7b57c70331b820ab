#include "data/bodytokens.h"

#include "data/casefold.h"
#include "data/utf8.h"

#include <set>
#include <sqlite3.h>
#include <vector>

namespace bodytokens {

namespace {

int appendUtf8(char *out, char32_t c)
{
    if (c < 0x80) {
        out[0] = char(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = char(0xC0 | (c >> 6));
        out[1] = char(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = char(0xE0 | (c >> 12));
        out[1] = char(0x80 | ((c >> 6) & 0x3F));
        out[2] = char(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | ((c >> 18) & 0x07));
    out[1] = char(0x80 | ((c >> 12) & 0x3F));
    out[2] = char(0x80 | ((c >> 6) & 0x3F));
    out[3] = char(0x80 | (c & 0x3F));
    return 4;
}

using TokenSink = int (*)(void *, int, const char *, int, int, int);

// A document: every folded character, and every pair of neighbours.
int tokenizeDocument(void *ctx, const char *text, int length, TokenSink token)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    const auto *end = p + length;
    char pair[8];
    int previousLength = 0;
    int previousStart = 0;
    while (p < end && *p) {
        const int start = int(p - reinterpret_cast<const unsigned char *>(text));
        const char32_t c = foldCase(nextCodePoint(p));
        char one[4];
        const int n = appendUtf8(one, c);
        if (int rc = token(ctx, 0, one, n, start, start + n); rc != SQLITE_OK) return rc;
        if (previousLength > 0) {
            std::copy(one, one + n, pair + previousLength);
            if (int rc = token(ctx, 0, pair, previousLength + n, previousStart, start + n); rc != SQLITE_OK) return rc;
        }
        std::copy(one, one + n, pair);
        previousLength = n;
        previousStart = start;
    }
    return SQLITE_OK;
}

// A query phrase: as written by queryFor(), one token of one or two
// characters.
int tokenizeQuery(void *ctx, const char *text, int length, TokenSink token)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    const auto *end = p + length;
    char buf[8];
    int n = 0, count = 0;
    while (p < end && count < 2) {
        n += appendUtf8(buf + n, foldCase(nextCodePoint(p)));
        ++count;
    }
    return n > 0 ? token(ctx, 0, buf, n, 0, length) : SQLITE_OK;
}

int create(void *, const char **, int, Fts5Tokenizer **out)
{
    static int instance;
    *out = reinterpret_cast<Fts5Tokenizer *>(&instance);
    return SQLITE_OK;
}

void destroy(Fts5Tokenizer *) {}

int tokenize(Fts5Tokenizer *, void *ctx, int flags, const char *text, int length, TokenSink token)
{
    if (flags & FTS5_TOKENIZE_QUERY) return tokenizeQuery(ctx, text, length, token);
    return tokenizeDocument(ctx, text, length, token);
}

fts5_api *fts5Of(sqlite3 *db)
{
    fts5_api *api = nullptr;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &stmt, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(stmt, 1, static_cast<void *>(&api), "fts5_api_ptr", nullptr);
        sqlite3_step(stmt);
    }
    sqlite3_finalize(stmt);
    return api;
}

// The literal runs of a pattern, between its wildcards, folded.
std::vector<std::u32string> literalRuns(const QString &pattern)
{
    std::vector<std::u32string> runs(1);
    for (const uint u : pattern.toUcs4()) {
        const char32_t c = u;
        if (c == '%' || c == '_') {
            if (!runs.back().empty()) runs.emplace_back();
        } else {
            runs.back() += foldCase(c);
        }
    }
    if (runs.back().empty()) runs.pop_back();
    return runs;
}

QString phrase(const std::u32string &chars)
{
    QString text = QString::fromUcs4(chars.data(), qsizetype(chars.size()));
    text.replace('"', QLatin1String("\"\""));
    return '"' + text + '"';
}

}  // namespace

bool registerTokenizer(sqlite3 *db)
{
    fts5_api *api = fts5Of(db);
    if (!api) return false;
    static fts5_tokenizer tokenizer{create, destroy, tokenize};
    return api->xCreateTokenizer(api, Name, nullptr, &tokenizer, nullptr) == SQLITE_OK;
}

QString queryFor(const QString &pattern)
{
    std::set<std::u32string> tokens;
    for (const std::u32string &run : literalRuns(pattern)) {
        if (run.size() == 1) tokens.insert(run);
        for (size_t i = 0; i + 1 < run.size(); ++i) tokens.insert(run.substr(i, 2));
    }
    QStringList phrases;
    for (const std::u32string &t : tokens) phrases << phrase(t);
    return phrases.join(QLatin1String(" AND "));
}

bool queryIsExact(const QString &pattern)
{
    const QList<uint> chars = pattern.toUcs4();
    if (chars.size() < 3 || chars.size() > 4 || chars.front() != '%' || chars.back() != '%') return false;
    for (qsizetype i = 1; i + 1 < chars.size(); ++i)
        if (chars[i] == '%' || chars[i] == '_') return false;
    return true;
}

}  // namespace bodytokens
