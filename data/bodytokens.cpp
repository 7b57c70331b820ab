#include "data/bodytokens.h"

#include "data/casefold.h"
#include "data/utf8.h"

#include <QStringList>
#include <algorithm>
#include <sqlite3.h>
#include <string>
#include <unordered_set>
#include <vector>

namespace bodytokens {

namespace {

using TokenSink = int (*)(void *, int, const char *, int, int, int);

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

// The end mark after a text's last character: a byte no UTF-8 text holds.
constexpr char kEnd = char(0xFF);

// The folded characters of a text, as the matcher reads them.
class Reader {
public:
    Reader(const char *text, int length) : p_(reinterpret_cast<const unsigned char *>(text)), end_(p_ + length) {}
    bool next(char32_t *c)
    {
        // A zero character is text like any other: the search reads past it.
        if (p_ >= end_) return false;
        *c = foldCase(nextCodePoint(p_));
        return true;
    }

private:
    const unsigned char *p_;
    const unsigned char *end_;
};

int emitPair(void *ctx, TokenSink token, char32_t a, const char32_t *b)
{
    char buf[8];
    int n = appendUtf8(buf, a);
    if (b)
        n += appendUtf8(buf + n, *b);
    else
        buf[n++] = kEnd;
    return token(ctx, 0, buf, n, 0, 0);
}

// A body: the pair at every position. A query run: the pairs of its
// neighbouring characters, without the end mark.
int tokenizePairs(void *ctx, const char *text, int length, bool document, TokenSink token)
{
    Reader r(text, length);
    char32_t previous = 0, c = 0;
    if (!r.next(&previous)) return SQLITE_OK;
    while (r.next(&c)) {
        if (int rc = emitPair(ctx, token, previous, &c); rc != SQLITE_OK) return rc;
        previous = c;
    }
    return document ? emitPair(ctx, token, previous, nullptr) : SQLITE_OK;
}

// A body: each character it holds, once. A query: its one character.
int tokenizeChars(void *ctx, const char *text, int length, TokenSink token)
{
    Reader r(text, length);
    std::unordered_set<char32_t> seen;
    char32_t c = 0;
    while (r.next(&c)) {
        if (!seen.insert(c).second) continue;
        char buf[4];
        if (int rc = token(ctx, 0, buf, appendUtf8(buf, c), 0, 0); rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}

struct Tokenizer {
    bool pairs;
};

int create(void *, const char **args, int count, Fts5Tokenizer **out)
{
    auto *t = new Tokenizer{count > 0 && std::string(args[0]) == "pairs"};
    *out = reinterpret_cast<Fts5Tokenizer *>(t);
    return SQLITE_OK;
}

void destroy(Fts5Tokenizer *t)
{
    delete reinterpret_cast<Tokenizer *>(t);
}

int tokenize(Fts5Tokenizer *t, void *ctx, int flags, const char *text, int length, TokenSink token)
{
    const bool document = !(flags & FTS5_TOKENIZE_QUERY);
    if (reinterpret_cast<Tokenizer *>(t)->pairs) return tokenizePairs(ctx, text, length, document, token);
    return tokenizeChars(ctx, text, length, token);
}

// ---- the pattern, as groups between "%" of runs between "_" ----------------

struct Run {
    int offset;  // characters from the start of its group
    std::u32string text;
};
struct Group {
    int length = 0;  // characters, "_" included
    std::vector<Run> runs;
};
struct Pattern {
    bool anchoredStart = true, anchoredEnd = true;
    std::vector<Group> groups;
};

Pattern parse(const QString &pattern)
{
    Pattern p;
    std::vector<std::u32string> pieces(1);
    for (const uint u : pattern.toUcs4()) {
        if (u == '%')
            pieces.emplace_back();
        else
            pieces.back() += char32_t(u);
    }
    p.anchoredStart = !pieces.front().empty();
    p.anchoredEnd = !pieces.back().empty() || pieces.size() == 1;
    if (pieces.size() == 1) p.anchoredStart = true;
    for (const std::u32string &piece : pieces) {
        if (piece.empty()) continue;
        Group g;
        g.length = int(piece.size());
        for (int i = 0; i < g.length;) {
            if (piece[size_t(i)] == '_') {
                ++i;
                continue;
            }
            Run r{i, {}};
            while (i < g.length && piece[size_t(i)] != '_') r.text += foldCase(piece[size_t(i++)]);
            g.runs.push_back(r);
        }
        p.groups.push_back(g);
    }
    return p;
}

QString phrase(const std::u32string &chars)
{
    QString text = QString::fromUcs4(chars.data(), qsizetype(chars.size()));
    text.replace('"', QLatin1String("\"\""));
    return '"' + text + '"';
}

// ---- the position check ----------------------------------------------------

// One pair's places in the current row, read forward only as far as asked.
class Places {
public:
    Places(const Fts5ExtensionApi *api, Fts5Context *ctx, int phrase) : api_(api), ctx_(ctx)
    {
        api->xPhraseFirst(ctx, phrase, &it_, &col_, &at_);
    }
    // The first place at or after position; -1 when there is none.
    int atOrAfter(int position)
    {
        while (col_ >= 0 && at_ < position) api_->xPhraseNext(ctx_, &it_, &col_, &at_);
        return col_ >= 0 ? at_ : -1;
    }

private:
    const Fts5ExtensionApi *api_;
    Fts5Context *ctx_;
    Fts5PhraseIter it_;
    int col_ = -1, at_ = 0;
};

// The pattern's groups, each a length and the pairs that must stand at
// given offsets from the group's start; a pair is a phrase of the query.
struct Layout {
    bool anchoredStart = true, anchoredEnd = true;
    struct Pair {
        int offset, phrase;
    };
    struct G {
        int length;
        std::vector<Pair> pairs;
    };
    std::vector<G> groups;
    std::vector<Places> places;  // scratch, reused row after row
};

Layout *parseLayout(const char *text)
{
    auto *l = new Layout{};
    const QList<QByteArray> f = QByteArray(text).split(' ');
    int at = 0;
    auto next = [&] { return at < f.size() ? f[at++].toInt() : 0; };
    l->anchoredStart = next() != 0;
    l->anchoredEnd = next() != 0;
    while (at < f.size()) {
        Layout::G g;
        g.length = next();
        const int pairs = next();
        for (int i = 0; i < pairs; ++i) {
            const int offset = next();
            g.pairs.push_back({offset, next()});
        }
        l->groups.push_back(g);
    }
    return l;
}

// The first start at or after from where every pair of the group stands at
// its offset; -1 when there is none. A pair found further on moves the
// start forward, so every pair's places are read at most once.
int firstStart(const Layout::G &group, std::vector<Places> &places, int from)
{
    int start = from;
    for (bool moved = true; moved;) {
        moved = false;
        for (size_t k = 0; k < group.pairs.size(); ++k) {
            const int want = start + group.pairs[k].offset;
            const int found = places[k].atOrAfter(want);
            if (found < 0) return -1;
            if (found > want) {
                start = found - group.pairs[k].offset;
                moved = true;
                break;
            }
        }
    }
    return start;
}

void positionCheck(const Fts5ExtensionApi *api, Fts5Context *ctx, sqlite3_context *result, int argc,
                   sqlite3_value **argv)
{
    auto *layout = static_cast<Layout *>(api->xGetAuxdata(ctx, 0));
    if (!layout) {
        if (argc < 1) {
            sqlite3_result_error(result, "wenk_positions: no layout", -1);
            return;
        }
        layout = parseLayout(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])));
        api->xSetAuxdata(ctx, layout, [](void *p) { delete static_cast<Layout *>(p); });
    }
    // The row's length is read only when the pattern needs it: a run's
    // pairs show by themselves that its characters are there.
    int length = -1;
    auto rowLength = [&] {
        if (length < 0) api->xColumnSize(ctx, 0, &length);
        return length;
    };
    // Each group at the first place from where the previous one ended: the
    // leftmost places leave the most room for the groups after it.
    int from = 0;
    for (size_t g = 0; g < layout->groups.size(); ++g) {
        const Layout::G &group = layout->groups[g];
        const bool first = g == 0, last = g + 1 == layout->groups.size();
        const bool pinnedEnd = last && layout->anchoredEnd;
        int start = pinnedEnd ? rowLength() - group.length : from;
        if (start < from || (first && layout->anchoredStart && start != 0)) {
            sqlite3_result_int(result, 0);
            return;
        }
        if (!group.pairs.empty()) {
            std::vector<Places> &places = layout->places;
            places.clear();
            for (const Layout::Pair &p : group.pairs) places.emplace_back(api, ctx, p.phrase);
            const int found = firstStart(group, places, start);
            const bool pinned = (first && layout->anchoredStart) || pinnedEnd;
            if (found < 0 || (pinned && found != start)) {
                sqlite3_result_int(result, 0);
                return;
            }
            start = found;
        }
        const bool coveredByPairs = !group.pairs.empty() && group.pairs.back().offset + 2 == group.length;
        if (!coveredByPairs && start + group.length > rowLength()) {
            sqlite3_result_int(result, 0);
            return;
        }
        from = start + group.length;
    }
    sqlite3_result_int(result, 1);
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

}  // namespace

bool registerTokenizer(sqlite3 *db)
{
    fts5_api *api = fts5Of(db);
    if (!api) return false;
    static fts5_tokenizer tokenizer{create, destroy, tokenize};
    return api->xCreateTokenizer(api, Name, nullptr, &tokenizer, nullptr) == SQLITE_OK &&
           api->xCreateFunction(api, PositionCheck, nullptr, positionCheck, nullptr) == SQLITE_OK;
}

Plan planFor(const QString &pattern)
{
    const Pattern p = parse(pattern);
    // Each run of two or more characters as the pairs that cover it without
    // overlap (the last one overlapping when the run is odd), each distinct
    // pair once in the query.
    std::vector<std::u32string> distinctPairs;
    auto phraseOf = [&distinctPairs](const std::u32string &pair) {
        auto at = std::find(distinctPairs.begin(), distinctPairs.end(), pair);
        if (at != distinctPairs.end()) return int(at - distinctPairs.begin());
        distinctPairs.push_back(pair);
        return int(distinctPairs.size()) - 1;
    };
    QStringList chars;
    QStringList layout{QString::number(p.anchoredStart), QString::number(p.anchoredEnd)};
    bool oneCharacterRun = false;
    int runs = 0, pairCount = 0;
    for (const Group &g : p.groups) {
        QStringList items;
        for (const Run &r : g.runs) {
            ++runs;
            const int n = int(r.text.size());
            if (n == 1) {
                oneCharacterRun = true;
                chars << phrase(r.text);
                continue;
            }
            for (int k = 0;; k += 2) {
                const int at = std::min(k, n - 2);
                items << QString::number(r.offset + at) << QString::number(phraseOf(r.text.substr(size_t(at), 2)));
                ++pairCount;
                if (at == n - 2) break;
            }
        }
        layout << QString::number(g.length) << QString::number(items.size() / 2) << items;
    }
    Plan plan;
    if (runs == 0) return plan;
    QStringList pairs;
    for (const std::u32string &pair : distinctPairs) pairs << phrase(pair);
    plan.pairsMatch = pairs.join(QLatin1String(" AND "));
    plan.charsMatch = chars.join(QLatin1String(" AND "));
    // One run alone, "%" on both sides: its one character, or its one pair,
    // is found exactly by the index.
    const bool alone = p.groups.size() == 1 && runs == 1 && !p.anchoredStart && !p.anchoredEnd &&
                       int(p.groups.front().runs.front().text.size()) == p.groups.front().length;
    if (oneCharacterRun) {
        plan.kind = alone ? Plan::Chars : Plan::Candidates;
    } else {
        plan.kind = alone && pairCount == 1 ? Plan::Pairs : Plan::Positions;
        plan.layout = layout.join(' ');
    }
    return plan;
}

}  // namespace bodytokens
