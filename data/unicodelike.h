#pragma once
struct sqlite3;

// Replaces the engine's LIKE, which folds ASCII letters only, with one that
// ignores case for every letter ("%" any run, "_" one character).
void installUnicodeLike(sqlite3 *db);

// The matcher itself, on UTF-8 text; exposed for tests.
bool unicodeLikeMatch(const char *pattern, const char *text);
