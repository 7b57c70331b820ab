#include "data/bodyindex.h"

#include "data/bodytokens.h"
#include "data/database.h"
#include "data/dataerror.h"

#include <QStringList>
#include <algorithm>
#include <sqlite3.h>

namespace {

const char *const kTriggers[] = {"wenk_body_inserted", "wenk_body_changed", "wenk_body_deleted"};

QStringList objectStatements()
{
    return {
        QStringLiteral("CREATE VIRTUAL TABLE wenk_body USING fts5(text, content='', detail=full, "
                       "tokenize='%1 pairs')")
            .arg(bodytokens::Name),
        QStringLiteral("CREATE VIRTUAL TABLE wenk_body_chars USING fts5(text, content='', detail=none, columnsize=0, "
                       "tokenize='%1 chars')")
            .arg(bodytokens::Name),
        "CREATE TABLE wenk_body_state (layout INTEGER NOT NULL, upto INTEGER NOT NULL, built INTEGER NOT NULL)",
        // The first change of a row since it was indexed keeps the text it
        // was indexed with: the index can only forget what it holds.
        "CREATE TABLE wenk_body_pending (id INTEGER PRIMARY KEY, oldtext TEXT)",
        "CREATE TRIGGER wenk_body_inserted AFTER INSERT ON mainfile BEGIN "
        "INSERT OR IGNORE INTO wenk_body_pending (id, oldtext) VALUES (new.rowid, NULL); END",
        "CREATE TRIGGER wenk_body_changed AFTER UPDATE OF text, id ON mainfile BEGIN "
        "INSERT OR IGNORE INTO wenk_body_pending (id, oldtext) VALUES (old.rowid, old.text); "
        "INSERT OR IGNORE INTO wenk_body_pending (id, oldtext) VALUES (new.rowid, NULL); END",
        "CREATE TRIGGER wenk_body_deleted AFTER DELETE ON mainfile BEGIN "
        "INSERT OR IGNORE INTO wenk_body_pending (id, oldtext) VALUES (old.rowid, old.text); END",
    };
}

// Adds a body to both tables of the index, or takes one out with the text
// it was added with.
class TextWriter {
public:
    explicit TextWriter(sqlite3 *db)
        : addPairs_(db, "INSERT INTO wenk_body (rowid, text) VALUES (?, ?)"),
          addChars_(db, "INSERT INTO wenk_body_chars (rowid, text) VALUES (?, ?)"),
          removePairs_(db, "INSERT INTO wenk_body (wenk_body, rowid, text) VALUES ('delete', ?, ?)"),
          removeChars_(db, "INSERT INTO wenk_body_chars (wenk_body_chars, rowid, text) VALUES ('delete', ?, ?)")
    {}
    void add(qint64 id, const QVariant &text)
    {
        run(addPairs_, id, text);
        run(addChars_, id, text);
    }
    void remove(qint64 id, const QVariant &text)
    {
        run(removePairs_, id, text);
        run(removeChars_, id, text);
    }

private:
    static void run(Statement &s, qint64 id, const QVariant &text)
    {
        s.reset();
        s.bind(1, id);
        s.bind(2, text);
        s.step();
    }
    Statement addPairs_, addChars_, removePairs_, removeChars_;
};

void run(sqlite3 *db, const QString &sql)
{
    Statement s(db, sql);
    while (s.step()) {}
}

}  // namespace

bool BodyIndex::prepareConnection(sqlite3 *db)
{
    return bodytokens::registerTokenizer(db);
}

QStringList BodyIndex::createStatements()
{
    QStringList all = objectStatements();
    all << QStringLiteral("INSERT INTO wenk_body_state (layout, upto, built) VALUES (%1, 0, 1)").arg(Layout);
    return all;
}

bool BodyIndex::present() const
{
    Statement s(db_, "SELECT count(*) FROM sqlite_master WHERE name IN ('wenk_body', 'wenk_body_chars', "
                     "'wenk_body_state', 'wenk_body_pending', 'wenk_body_inserted', 'wenk_body_changed', "
                     "'wenk_body_deleted')");
    if (!s.step() || s.columnInt(0) != 7) return false;
    Statement state(db_, "SELECT layout FROM wenk_body_state");
    return state.step() && state.columnInt(0) == Layout && !state.step();
}

void BodyIndex::ensureObjects()
{
    if (present()) return;
    // Missing, partly there (a trigger dropped by another program) or of
    // another layout: made anew and built again.
    for (const char *t : kTriggers) run(db_, QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(t));
    for (const char *t : {"wenk_body", "wenk_body_chars", "wenk_body_state", "wenk_body_pending"})
        run(db_, QStringLiteral("DROP TABLE IF EXISTS %1").arg(t));
    for (const QString &sql : objectStatements()) run(db_, sql);
    run(db_, QStringLiteral("INSERT INTO wenk_body_state (layout, upto, built) VALUES (%1, 0, 0)").arg(Layout));
}

bool BodyIndex::built() const
{
    Statement s(db_, "SELECT built FROM wenk_body_state");
    return s.step() && s.columnInt(0) == 1;
}

qint64 BodyIndex::indexedUpTo() const
{
    Statement s(db_, "SELECT built, upto FROM wenk_body_state");
    if (!s.step()) return 0;
    return s.columnInt(0) == 1 ? INT64_MAX : s.columnInt(1);
}

int BodyIndex::buildStep(int rows)
{
    const qint64 upto = indexedUpTo();
    if (upto == INT64_MAX) return 0;
    Statement read(db_, "SELECT rowid, text FROM mainfile WHERE rowid > ? ORDER BY rowid LIMIT ?");
    read.bind(1, upto);
    read.bind(2, rows);
    TextWriter index(db_);
    qint64 last = upto;
    int count = 0;
    while (read.step()) {
        last = read.columnInt(0);
        ++count;
        if (!read.isNull(1)) index.add(last, read.column(1));
    }
    // Rows indexed now hold their present text: what they held before was
    // never in the index.
    Statement moot(db_, "DELETE FROM wenk_body_pending WHERE id > ? AND id <= ?");
    moot.bind(1, upto);
    moot.bind(2, last);
    moot.step();
    const bool more = count == rows;

    Statement state(db_, "UPDATE wenk_body_state SET upto = ?, built = ?");
    state.bind(1, last);
    state.bind(2, more ? 0 : 1);
    state.step();
    return count;
}

void BodyIndex::leaveNewRowsToBuild()
{
    Statement top(db_, "SELECT ifnull(max(rowid), 0) FROM mainfile");
    top.step();
    Statement state(db_, "UPDATE wenk_body_state SET upto = ?, built = 0");
    state.bind(1, std::min(indexedUpTo(), top.columnInt(0)));
    state.step();
}

std::pair<qint64, qint64> BodyIndex::buildProgress() const
{
    const qint64 upto = indexedUpTo();
    Statement all(db_, "SELECT count(*) FROM mainfile");
    const qint64 total = all.step() ? all.columnInt(0) : 0;
    if (upto == INT64_MAX) return {total, total};
    Statement done(db_, "SELECT count(*) FROM mainfile WHERE rowid <= ?");
    done.bind(1, upto);
    return {done.step() ? done.columnInt(0) : 0, total};
}

bool BodyIndex::hasPending() const
{
    Statement s(db_, "SELECT EXISTS (SELECT 1 FROM wenk_body_pending)");
    return s.step() && s.columnInt(0) == 1;
}

void BodyIndex::catchUp()
{
    const qint64 upto = indexedUpTo();
    Statement pending(db_, "SELECT id, oldtext FROM wenk_body_pending");
    Statement now(db_, "SELECT text FROM mainfile WHERE rowid = ?");
    TextWriter index(db_);
    while (pending.step()) {
        const qint64 id = pending.columnInt(0);
        if (id > upto) continue;  // the build reaches it with its text
        if (!pending.isNull(1)) index.remove(id, pending.column(1));
        now.reset();
        now.bind(1, id);
        if (now.step() && !now.isNull(0)) index.add(id, now.column(0));
    }
    run(db_, "DELETE FROM wenk_body_pending");
}

std::optional<std::vector<qint64>> BodyIndex::rowsLike(const QString &pattern)
{
    // A pattern holding a zero character is cut there by the engine: read.
    if (!built() || hasPending() || pattern.contains(QChar(0))) return std::nullopt;
    const bodytokens::Plan plan = bodytokens::planFor(pattern);
    std::vector<qint64> ids;
    auto collect = [&ids](Statement &s) {
        while (s.step()) ids.push_back(s.columnInt(0));
    };
    switch (plan.kind) {
    case bodytokens::Plan::ReadAll: return std::nullopt;
    case bodytokens::Plan::Chars: {
        Statement s(db_, "SELECT rowid FROM wenk_body_chars WHERE wenk_body_chars MATCH ? ORDER BY rowid");
        s.bind(1, plan.charsMatch);
        collect(s);
        break;
    }
    case bodytokens::Plan::Pairs: {
        Statement s(db_, "SELECT rowid FROM wenk_body WHERE wenk_body MATCH ? ORDER BY rowid");
        s.bind(1, plan.pairsMatch);
        collect(s);
        break;
    }
    case bodytokens::Plan::Positions: {
        Statement s(db_, QStringLiteral("SELECT rowid FROM wenk_body WHERE wenk_body MATCH ? AND %1(wenk_body, ?) "
                                        "ORDER BY rowid")
                             .arg(bodytokens::PositionCheck));
        s.bind(1, plan.pairsMatch);
        s.bind(2, plan.layout);
        collect(s);
        break;
    }
    case bodytokens::Plan::Candidates: {
        QStringList conditions;
        QVariantList values;
        if (!plan.pairsMatch.isEmpty()) {
            conditions << "rowid IN (SELECT rowid FROM wenk_body WHERE wenk_body MATCH ?)";
            values << plan.pairsMatch;
        }
        if (!plan.charsMatch.isEmpty()) {
            conditions << "rowid IN (SELECT rowid FROM wenk_body_chars WHERE wenk_body_chars MATCH ?)";
            values << plan.charsMatch;
        }
        conditions << "text LIKE ?";
        values << pattern;
        Statement s(db_, "SELECT rowid FROM mainfile WHERE " + conditions.join(" AND ") + " ORDER BY rowid");
        s.bindAll(values);
        collect(s);
        break;
    }
    }
    return ids;
}
