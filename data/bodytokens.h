#pragma once
// The tokens of the body index: every character of a body, case folded,
// and every pair of neighbouring characters. A text matches "%k%" only if
// it holds every token of k, so the tokens of a keyword narrow a search
// without ever losing a row; for a keyword of one or two characters without
// wildcards they decide it exactly. Characters are read as the search's
// matcher reads them (utf8.h, casefold.h), up to the first NUL as it does.
#include <QString>
#include <QStringList>

struct sqlite3;

namespace bodytokens {

// The name under which the tokenizer is registered.
constexpr const char *Name = "wenk_chars";

// Makes the tokenizer known to a connection; false when the engine has no
// full-text module.
bool registerTokenizer(sqlite3 *db);

// The full-text query for a LIKE pattern ("%" any run, "_" one character):
// the tokens every matching text must hold, joined by AND; empty when the
// pattern has no character to look for.
QString queryFor(const QString &pattern);

// Whether the query decides the pattern without checking the texts: the
// pattern is "%", one or two characters without wildcards, then "%".
bool queryIsExact(const QString &pattern);

}  // namespace bodytokens
