// The copies of tables that datasets take, kept current with the journal.
#include "data/database.h"
#include "data/dataerror.h"
#include "data/rowset.h"
#include "data/schema.h"

#include <sqlite3.h>

namespace {

// Beyond this many changed rows a fresh read costs less than re-reading
// them one by one.
bool worthRereading(size_t changedRows, int tableRows)
{
    return changedRows <= std::max<size_t>(4096, size_t(tableRows) / 8);
}

std::vector<bool> textFlags(const TableDef &def, const QStringList &cols)
{
    std::vector<bool> text;
    for (const QString &c : cols) text.push_back(def.column(c)->type == ColumnType::Text);
    return text;
}

// A read-only connection whose view of the file is fixed now: what it reads
// later on another thread is the file as at this moment of the journal.
sqlite3 *openReaderAtNow(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
            SQLITE_OK ||
        sqlite3_exec(db, "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        return nullptr;
    }
    return db;
}

}  // namespace

// Another program may have written to the file since a copy was taken: then
// no copy taken before is current.
void Database::noticeOtherWriters()
{
    if (!dataVersion_) dataVersion_ = std::make_unique<Statement>(db_, "PRAGMA data_version");
    dataVersion_->reset();
    const qint64 now = dataVersion_->step() ? dataVersion_->columnInt(0) : 0;
    dataVersion_->reset();
    if (fileVersion_ >= 0 && now != fileVersion_) markAllChanged();
    fileVersion_ = now;
}

quint64 Database::openMoment()
{
    requireOpen();
    noticeOtherWriters();
    return journal_.now();
}

// Changes that no copy, count or lazy dataset needs any more are dropped.
void Database::forgetOldChanges(const QString &table)
{
    if (journal_.size(table) < 1024 || journal_.size(table) % 1024 != 0) return;
    quint64 keep = journal_.oldestHeld(table);
    // A rollback journals the rows changed since its transaction began.
    if (!transactionStarts_.empty()) keep = std::min(keep, transactionStarts_.front());
    auto copy = copies_.constFind(table);
    if (copy != copies_.constEnd()) keep = std::min(keep, copy->moment);
    auto pending = pendingCopies_.find(table);
    if (pending != pendingCopies_.end()) keep = std::min(keep, pending->second.first);
    for (const Counts &counts : counts_)
        if (counts.table == table) keep = std::min(keep, counts.moment);
    journal_.forgetBefore(table, keep);
}

std::shared_ptr<RowSet> Database::readCopy(sqlite3 *db, const QString &table)
{
    const TableDef *def = schema::table(table);
    const QStringList cols = def->smallColumns();
    QString index = schema::listIndex(table);
    if (!index.isEmpty()) {
        // A file opened for reading only may lack the indexes the program adds.
        Statement present(db, "SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?");
        present.bind(1, index);
        if (!present.step()) index.clear();
    }
    const QString from = index.isEmpty() ? QStringLiteral("\"%1\"").arg(table)
                                         : QStringLiteral("\"%1\" INDEXED BY %2").arg(table, index);
    Statement stmt(db, QStringLiteral("SELECT rowid, \"%1\" FROM %2").arg(cols.join("\", \""), from));
    std::shared_ptr<RowSet> rows = RowSet::read(stmt, cols, textFlags(*def, cols));
    rows->sortByRowid();
    return rows;
}

QHash<qint64, int> Database::readCounts(sqlite3 *db, const QString &table, const QString &column)
{
    QHash<qint64, int> counts;
    Statement s(db, QStringLiteral("SELECT \"%1\", count(*) FROM \"%2\" WHERE \"%1\" IS NOT NULL GROUP BY \"%1\"")
                        .arg(column, table));
    while (s.step()) counts.insert(s.columnInt(0), int(s.columnInt(1)));
    return counts;
}

void Database::prefetch(const QString &table, const QString &order)
{
    // Inside a transaction another connection would miss its writes.
    if (!db_ || depth_ > 0 || pendingCopies_.count(table) || !schema::table(table)) return;
    sqlite3 *reader = openReaderAtNow(path_);
    pendingCopies_[table] = {journal_.now(), std::async(std::launch::async, [reader, table, order] {
                                 std::shared_ptr<RowSet> rows;
                                 if (!reader) return rows;
                                 try {
                                     rows = readCopy(reader, table);
                                     rows->ordered(order.isEmpty() ? -1 : rows->columnIndex(order));
                                 } catch (...) {
                                     rows.reset();  // read on the connection when asked
                                 }
                                 sqlite3_close_v2(reader);
                                 return rows;
                             })};
}

std::function<void()> Database::prefetchWaiter(const QString &table) const
{
    auto p = pendingCopies_.find(table);
    if (p == pendingCopies_.end()) return [] {};
    return [copy = p->second.second] { copy.wait(); };
}

void Database::prefetchCounts(const QString &table, const QString &column)
{
    if (!db_ || !schema::table(table)) return;
    Counts *kept = countsOf(table, column);
    if (!kept) kept = &counts_.emplace_back(Counts{table, column});
    Counts &counts = *kept;
    if (counts.pending.valid()) return;
    if (depth_ > 0) return;  // counted when first asked
    sqlite3 *reader = openReaderAtNow(path_);
    counts.moment = journal_.now();
    counts.current = false;
    counts.pending = std::async(std::launch::async, [reader, table, column] {
        QHash<qint64, int> perKey;
        perKey.insert(INT64_MIN, -1);  // unless read: count afresh when asked
        if (!reader) return perKey;
        try {
            perKey = readCounts(reader, table, column);
        } catch (...) {}
        sqlite3_close_v2(reader);
        return perKey;
    });
}

std::shared_ptr<const RowSet> Database::snapshot(const QString &table)
{
    requireOpen();
    noticeOtherWriters();
    auto copy = copies_.constFind(table);
    if (copy != copies_.constEnd() && copy->moment >= journal_.unknownSince()) return bringUpToDate(table, *copy);
    auto p = pendingCopies_.find(table);
    if (p != pendingCopies_.end()) {
        const quint64 moment = p->second.first;
        std::shared_future<std::shared_ptr<RowSet>> early = std::move(p->second.second);
        pendingCopies_.erase(p);
        std::shared_ptr<RowSet> rows;
        try {
            rows = early.get();
        } catch (...) {
            rows.reset();  // read again below
        }
        if (rows && moment >= journal_.unknownSince()) return bringUpToDate(table, Copy{moment, rows});
    }
    std::shared_ptr<const RowSet> rows = readCopy(db_, table);
    copies_.insert(table, Copy{journal_.now(), rows});
    return rows;
}

// The copy with the rows written since it was taken read again by row id.
std::shared_ptr<const RowSet> Database::bringUpToDate(const QString &table, Copy copy)
{
    const std::vector<const Change *> changes = journal_.changesAfter(table, copy.moment);
    if (!changes.empty()) {
        std::set<qint64> rowids;
        for (const Change *c : changes) rowids.insert(c->rowid);
        if (!worthRereading(rowids.size(), copy.rows->size())) {
            copy.rows = readCopy(db_, table);
        } else {
            std::shared_ptr<RowSet> rows = copy.rows->clone();
            for (qint64 rowid : rowids) {
                const RowImage now = readImage(table, rowid);
                int row = rows->rowOf(rowid);
                if (!now.exists) {
                    if (row >= 0) rows->remove(row);
                    continue;
                }
                if (row < 0) row = rows->append(rowid);
                rows->setRow(row, now.values);
            }
            copy.rows = rows;
        }
    }
    copy.moment = journal_.now();
    copies_.insert(table, copy);
    return copy.rows;
}

std::shared_ptr<RowSet> Database::rowsWithKey(const QString &table, const QString &column, qint64 key, quint64 moment,
                                              const void *writer)
{
    requireOpen();
    const TableDef *def = schema::table(table);
    if (!def) throw DataError(QStringLiteral("没有数据表 %1").arg(table));
    const QStringList cols = def->smallColumns();
    Statement s(db_, QStringLiteral("SELECT rowid, \"%1\" FROM \"%2\" WHERE \"%3\" = ? ORDER BY rowid")
                         .arg(cols.join("\", \""), table, column));
    s.bind(1, key);
    std::shared_ptr<RowSet> rows = RowSet::read(s, cols, textFlags(*def, cols));
    // Wind back what was written since the moment: each row as it was before
    // its first change since, or, when writer itself changed it, as it was
    // right after writer's last change.
    const int keyCol = rows->columnIndex(column);
    for (const auto &[rowid, changes] : journal_.changesByRow(table, moment)) {
        int lastOwn = -1;
        for (int i = 0; i < int(changes.size()); ++i)
            if (writer && changes[size_t(i)]->writer == writer) lastOwn = i;
        if (lastOwn == int(changes.size()) - 1) continue;  // the file shows writer's own change
        const RowImage &then = changes[size_t(lastOwn + 1)]->before;
        const bool belongs =
            then.exists && !then.values.value(keyCol).isNull() && then.values.value(keyCol).toLongLong() == key;
        int row = rows->rowOf(rowid);
        if (!belongs) {
            if (row >= 0) rows->remove(row);
            continue;
        }
        if (row < 0) row = rows->append(rowid);
        rows->setRow(row, then.values);
    }
    rows->sortByRowid();
    return rows;
}

Database::Counts &Database::currentCounts(const QString &table, const QString &column, Counts &counts)
{
    if (counts.pending.valid()) {
        counts.perKey = counts.pending.get();
        counts.current = !counts.perKey.contains(INT64_MIN);
    }
    if (!counts.current || counts.moment < journal_.unknownSince()) {
        counts.perKey = readCounts(db_, table, column);
        counts.moment = journal_.now();
        counts.current = true;
        return counts;
    }
    // Each row written since: out of the count of its key then, into the
    // count of its key now.
    const auto byRow = journal_.changesByRow(table, counts.moment);
    if (!byRow.empty()) {
        Statement now(db_, QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE rowid = ?").arg(column, table));
        const int keyCol = schema::table(table)->smallColumns().indexOf(column);
        for (const auto &[rowid, changes] : byRow) {
            const RowImage &then = changes.front()->before;
            if (then.exists && !then.values.value(keyCol).isNull())
                --counts.perKey[then.values.value(keyCol).toLongLong()];
            now.reset();
            now.bind(1, rowid);
            if (now.step() && !now.isNull(0)) ++counts.perKey[now.columnInt(0)];
        }
    }
    counts.moment = journal_.now();
    return counts;
}

Database::Counts *Database::countsOf(const QString &table, const QString &column)
{
    for (Counts &c : counts_)
        if (c.table == table && c.column == column) return &c;
    return nullptr;
}

std::optional<int> Database::countOf(const QString &table, const QString &column, qint64 key)
{
    Counts *kept = countsOf(table, column);
    if (!kept || !db_) return std::nullopt;
    Counts &counts = *kept;
    if (counts.pending.valid() || !counts.current || counts.moment != journal_.now())
        currentCounts(table, column, counts);
    return counts.perKey.value(key, 0);
}
