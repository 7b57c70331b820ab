#pragma once
// The index of the document bodies (mainfile.text) that answers the body
// search with exactly the rows that reading every body would give
// (bodytokens.h says how).
//
// Objects it adds to a library: the full-text tables wenk_body (character
// pairs with their positions) and wenk_body_chars (characters, without),
// both contentless; wenk_body_state (layout, how far it is built),
// wenk_body_pending (rows changed since they were indexed, with the text
// they were indexed with) and three plain triggers on mainfile that fill
// wenk_body_pending. The triggers need nothing of this program, so any
// program may write the file; the rows it changed are indexed again before
// the next search or write here. The index is written in the transaction
// of the write that changed the text.
#include <QString>
#include <functional>
#include <optional>
#include <vector>

struct sqlite3;

class BodyIndex {
public:
    static constexpr int Layout = 3;

    explicit BodyIndex(sqlite3 *db) : db_(db) {}

    // Makes the tokenizer known to the connection; once per connection,
    // before anything here is used.
    static bool prepareConnection(sqlite3 *db);
    // Statements that add the objects of an empty, fully built index.
    static QStringList createStatements();

    // The objects are there, of this layout, and the triggers are in place;
    // otherwise makes them anew (an unbuilt index). In a write transaction.
    void ensureObjects();
    bool built() const;
    // The objects are there, of this layout: for a file only read.
    bool present() const;
    // Indexes up to rows more rows in the order of their ids and returns
    // how many it indexed: fewer than rows once every row is. In a write
    // transaction.
    int buildStep(int rows);
    // Rows added from now on are left to the build, which reaches them after
    // the rows there are now: for adding many rows at once, which the build
    // indexes in steps with its progress shown. In a write transaction.
    void leaveNewRowsToBuild();
    // How far the build is: rows indexed and rows in all.
    std::pair<qint64, qint64> buildProgress() const;

    // Indexes again the rows changed since they were indexed. In the write
    // transaction of the change.
    void catchUp();
    bool hasPending() const;

    // The ids of the rows whose text is LIKE pattern, in id order; nothing
    // when the index cannot answer (not built, or changes it cannot index
    // now) and the caller must search the texts.
    std::optional<std::vector<qint64>> rowsLike(const QString &pattern);

private:
    qint64 indexedUpTo() const;
    sqlite3 *db_;
};
