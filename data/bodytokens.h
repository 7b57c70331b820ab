#pragma once
// How the body index tokenizes text, and how a LIKE pattern ("%" any run,
// "_" one character) is answered from it. Characters are read as the
// search's matcher reads them (utf8.h, casefold.h): case folded, up to the
// first NUL.
//
// Two full-text tables:
// - pairs: one token at every character position, the character and the
//   one after it (the last character pairs with an end mark), positions
//   kept. A run of two or more characters is a phrase of its pairs, found
//   exactly, at its character position; so every pattern whose literal
//   runs have two or more characters is decided in the index alone.
// - chars: every character a body holds, once, without positions; it
//   decides a one-character keyword exactly and narrows other patterns.
// A pattern with one-character runs among wildcards is narrowed by both and
// checked against the texts; a pattern without any character reads them all.
#include <QByteArray>
#include <QString>

struct sqlite3;

namespace bodytokens {

constexpr const char *Name = "wenk_chars";  // with the argument "pairs" or "chars"

// Makes the tokenizer and the position check known to a connection; false
// when the engine has no full-text module.
bool registerTokenizer(sqlite3 *db);

struct Plan {
    enum Kind {
        ReadAll,     // nothing to look up: read every text
        Chars,       // charsMatch decides it
        Pairs,       // pairsMatch decides it
        Positions,   // pairsMatch, then the position check with layout
        Candidates,  // the rows matching both queries, checked against the texts
    };
    Kind kind = ReadAll;
    QString pairsMatch;  // full-text query on the pairs table, or empty
    QString charsMatch;  // full-text query on the chars table, or empty
    QString layout;      // for the position check: the pattern's groups and runs
};
Plan planFor(const QString &pattern);

// The SQL function that checks, on a row of the pairs table found by
// pairsMatch, that the runs stand where the pattern puts them:
// wenk_positions(pairs_table, layout).
constexpr const char *PositionCheck = "wenk_positions";

}  // namespace bodytokens
