#pragma once
#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <future>
#include <map>
#include <memory>
#include <vector>

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
    QVariant column(int i) const;

private:
    sqlite3 *db_;
    sqlite3_stmt *stmt_ = nullptr;
};

// The connection to one library file. Knows which tables changed since a
// dataset took its copy, so unchanged tables are copied once and shared.
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
    QString path() const { return path_; }
    sqlite3 *handle() const { return db_; }

    void exec(const QString &sql, const QVariantList &params = {});

    // Nested transactions: the outermost commit writes, any rollback undoes
    // everything since the outermost begin.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return depth_ > 0; }

    // Row writes, by the engine's row id. Each marks its table changed.
    qint64 insertRow(const QString &table, const QStringList &columns, const QVariantList &values);
    void updateRow(const QString &table, qint64 rowid, const QStringList &columns, const QVariantList &values);
    void deleteRow(const QString &table, qint64 rowid);

    // The key column the engine numbers, if any ("id" in most tables).
    bool hasIdColumn(const QString &table) const;

    quint64 version(const QString &table) const;
    void markChanged(const QString &table);
    void markAllChanged();

    // The copy of a table's small columns for its current version.
    std::shared_ptr<const RowSet> snapshot(const QString &table);
    // Starts reading the copies of these tables on threads of their own,
    // each over its own read-only connection, ordered by the given column,
    // so opening their datasets later does not wait for the whole read.
    // A write to a table before its copy is taken makes the copy unused.
    void prefetch(const QList<QPair<QString, QString>> &tablesAndOrders);

private:
    struct TableInfo {
        bool hasId = false;
        bool idIsRowid = false;
        bool autoincrement = false;
    };
    void checkLibrary();
    void addProgramObjects();
    TableInfo loadInfo(const QString &table) const;
    qint64 nextId(const QString &table);
    [[noreturn]] void fail(const QString &context) const;

    sqlite3 *db_ = nullptr;
    QString path_;
    int depth_ = 0;
    QHash<QString, TableInfo> info_;
    QHash<QString, quint64> versions_;
    quint64 allVersion_ = 0;
    qint64 fileVersion_ = -1;  // the engine's count of other connections' commits
    void noticeOtherWriters();
    struct Cached {
        quint64 version;
        std::shared_ptr<const RowSet> rows;
    };
    QHash<QString, Cached> cache_;
    struct Pending {
        quint64 version;
        std::future<std::shared_ptr<RowSet>> rows;
    };
    std::map<QString, Pending> pending_;
    static std::shared_ptr<RowSet> readCopy(sqlite3 *db, const QString &table);
};
