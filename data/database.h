#pragma once
#include <type_traits>
#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <future>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "data/journal.h"

struct sqlite3;
struct sqlite3_stmt;
class RowSet;

// One prepared statement; finalized when it goes out of scope.
class Statement {
public:
    Statement(sqlite3 *db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QVariant &value);  // 1-based
    void bindAll(const QVariantList &values);
    bool step();   // true while a row is there
    void reset();  // ready to run again, with new values bound
    int columnCount() const;
    QString columnName(int i) const;
    bool isNull(int i) const;
    qint64 columnInt(int i) const;
    QString columnText(int i) const;
    QByteArray columnBlob(int i) const;
    // The text of a column, valid until the next step.
    QStringView columnView(int i) const;
    QVariant column(int i) const;

private:
    sqlite3 *db_;
    sqlite3_stmt *stmt_ = nullptr;
};

// The connection to one library file, and the copies of its tables that
// datasets take.
//
// Copies. A table without a master is copied whole once and the copy is
// shared by every dataset that opens it; a dataset that writes takes its own
// copy, which costs little because copies share their storage until one
// writes (rowset.h). When this program writes a row, the journal keeps the
// row as it was; the next copy of that table is the last one with the rows
// written since re-read by row id, so a save costs the rows it wrote, not
// the table. A write by another program, or a statement of unknown effect,
// makes the next copy a fresh read.
//
// A detail dataset (its rows those of one key of its master) does not copy
// its table: it reads the rows of a key when it first needs them, through
// the index on the key column, and winds them back with the journal to the
// moment it was opened, keeping its own writes. Counting rows per key, for
// the topic tree, comes from one grouped read kept up to date the same way.
class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens an existing library: checks the six tables and their columns
    // without writing anything, then adds what the program needs. Throws
    // DataError with the reason; the file is then left as it was.
    void openLibrary(const QString &path, int busyTimeoutMs = 3000);
    // Makes an empty library at path; refuses when a file is there.
    static void createLibrary(const QString &path);

    void close();
    bool isOpen() const { return db_ != nullptr; }
    // Why the library was opened for reading only (the file or its folder
    // cannot be written, another program holds the write lock); empty when
    // it can be written. Every write then throws DataError saying so.
    QString readOnlyReason() const { return readOnly_; }
    QString path() const { return path_; }
    sqlite3 *handle() const { return db_; }

    // Runs a statement. A delete of rows of a library table is journalled
    // row by row; any other statement that writes makes every copy stale.
    void exec(const QString &sql, const QVariantList &params = {});

    // Nested transactions: the outermost commit writes, any rollback undoes
    // everything since the outermost begin.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return depth_ > 0; }

    // Row writes, by the engine's row id, on behalf of writer (the dataset
    // that writes, which keeps seeing its own writes). An update or delete
    // of a row that is no longer in the file throws DataError naming the
    // table and shownId (the row id when 0), and writes nothing.
    qint64 insertRow(const QString &table, const QStringList &columns, const QVariantList &values,
                     const void *writer = nullptr);
    void updateRow(const QString &table, qint64 rowid, const QStringList &columns, const QVariantList &values,
                   const void *writer = nullptr, qint64 shownId = 0);
    void deleteRow(const QString &table, qint64 rowid, const void *writer = nullptr, qint64 shownId = 0);

    // The row ids of table whose column is LIKE pattern, in id order, from
    // the body index; nothing when no index answers it (then the texts are
    // searched).
    std::optional<std::vector<qint64>> rowsLike(const QString &table, const QString &column, const QString &pattern);
    // Building the body index of a library that has none yet, a step of
    // rows at a time, each step its own transaction; a step returns the rows
    // it indexed, fewer than asked once the index is built.
    bool bodyIndexNeedsBuilding();
    int buildBodyIndexStep(int rows);
    std::pair<qint64, qint64> bodyIndexProgress();  // rows indexed, rows in all
    // Documents added from now on are indexed by the next build, not as
    // they are written: for bringing in many documents at once.
    void leaveNewBodiesToIndexBuild();

    // The key column the engine numbers, if any ("id" in most tables).
    bool hasIdColumn(const QString &table) const;

    // The moment a dataset takes its copy; notices writes by other programs.
    quint64 openMoment();
    // Whether rows of table may differ from what they were at moment.
    bool changedSince(const QString &table, quint64 moment) const { return journal_.changedSince(table, moment); }
    // Makes every copy taken so far stale.
    void markAllChanged() { journal_.recordUnknown(); }

    // The copy of a table's short columns as they are now.
    std::shared_ptr<const RowSet> snapshot(const QString &table);
    // The rows of table whose column equals key as they were at moment,
    // with writer's own writes since, in row id order.
    std::shared_ptr<RowSet> rowsWithKey(const QString &table, const QString &column, qint64 key, quint64 moment,
                                        const void *writer);
    // How many rows of table have column equal to key now, when counts of
    // that column are kept (prefetchCounts); nothing otherwise.
    std::optional<int> countOf(const QString &table, const QString &column, qint64 key);
    // A dataset that reads rows lazily keeps the journal from its moment on.
    void hold(const QString &table, quint64 moment) { journal_.hold(table, moment); }
    void release(const QString &table, quint64 moment) { journal_.release(table, moment); }

    // Starts reading the copy of a table (with the order by a column built,
    // or the row id order when order is empty), or its row counts per key,
    // on a thread of its own over its own read-only connection, so that
    // opening datasets later does not wait for the whole read.
    void prefetch(const QString &table, const QString &order);
    void prefetchCounts(const QString &table, const QString &column);
    // A function that waits, on any thread, until the copy of table started
    // by prefetch is read (at once when none was started).
    std::function<void()> prefetchWaiter(const QString &table) const;

private:
    struct TableInfo {
        bool hasId = false;
        bool idIsRowid = false;
        bool autoincrement = false;
    };
    // Runs work in a transaction of its own (a savepoint inside another):
    // committed when it returns, rolled back when it throws.
    template <typename Work>
    auto inTransaction(Work &&work) -> decltype(work())
    {
        begin();
        try {
            if constexpr (std::is_void_v<decltype(work())>) {
                work();
                commit();
            } else {
                auto result = work();
                commit();
                return result;
            }
        } catch (...) {
            rollback();
            throw;
        }
    }
    void connect(const QString &path, int busyTimeoutMs, const QString &readOnly);
    void checkLibrary();
    void addProgramObjects();
    TableInfo loadInfo(const QString &table) const;
    qint64 nextId(const QString &table);
    [[noreturn]] void fail(const QString &context) const;
    void requireOpen() const;
    void noticeOtherWriters();
    RowImage readImage(const QString &table, qint64 rowid) const;
    [[noreturn]] void rowGone(const QString &table, qint64 id, const QString &what) const;
    void forgetOldChanges(const QString &table);
    void keepBodyIndex(const QString &table);
    static std::shared_ptr<RowSet> readCopy(sqlite3 *db, const QString &table);
    static QHash<qint64, int> readCounts(sqlite3 *db, const QString &table, const QString &column);

    sqlite3 *db_ = nullptr;
    QString path_;
    QString readOnly_;
    int writeFailure_ = 0;  // the engine's code when adding program objects failed
    bool bodyIndexAvailable_ = false;
    int depth_ = 0;
    std::vector<quint64> transactionStarts_;
    QHash<QString, TableInfo> info_;
    Journal journal_;
    qint64 fileVersion_ = -1;  // the engine's count of other connections' commits
    std::unique_ptr<Statement> dataVersion_;

    struct Copy {
        quint64 moment;
        std::shared_ptr<const RowSet> rows;
    };
    QHash<QString, Copy> copies_;
    std::map<QString, std::pair<quint64, std::shared_future<std::shared_ptr<RowSet>>>> pendingCopies_;
    struct Counts {
        QString table, column;
        quint64 moment = 0;
        bool current = false;
        QHash<qint64, int> perKey;
        std::future<QHash<qint64, int>> pending;
    };
    std::list<Counts> counts_;
    Counts *countsOf(const QString &table, const QString &column);
    std::shared_ptr<const RowSet> bringUpToDate(const QString &table, Copy copy);
    Counts &currentCounts(const QString &table, const QString &column, Counts &counts);
};
