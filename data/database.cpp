#include "data/database.h"

#include "data/bodyindex.h"
#include "data/dataerror.h"
#include "data/rowset.h"
#include "data/schema.h"
#include "data/unicodelike.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <sqlite3.h>

namespace {

// What the engine's failure means to the user; its own words follow.
QString engineError(sqlite3 *db)
{
    const QString engine = QString::fromUtf8(sqlite3_errmsg(db));
    QString meaning;
    switch (sqlite3_extended_errcode(db) & 0xFF) {
    case SQLITE_FULL: meaning = QStringLiteral("磁盘空间不足，无法写入资料库文件"); break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: meaning = QStringLiteral("资料库文件正被另一个程序写入，等待后仍无法写入"); break;
    case SQLITE_READONLY: meaning = QStringLiteral("资料库文件只能读取，无法写入"); break;
    case SQLITE_IOERR: meaning = QStringLiteral("读写资料库文件时出错（磁盘空间不足、文件过大或磁盘故障）"); break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: meaning = QStringLiteral("资料库文件已损坏"); break;
    default: return engine;
    }
    return meaning + QStringLiteral("（") + engine + QStringLiteral("）");
}

}  // namespace

// ---- Statement -------------------------------------------------------------

Statement::Statement(sqlite3 *db, const QString &sql) : db_(db)
{
    QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt_, nullptr) != SQLITE_OK)
        throw DataError(engineError(db));
    if (!stmt_) throw DataError(QStringLiteral("空语句"));
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

void Statement::bind(int index, const QVariant &value)
{
    int rc;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else if (value.typeId() == QMetaType::QByteArray) {
        QByteArray b = value.toByteArray();
        rc = sqlite3_bind_blob64(stmt_, index, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
    } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
               value.typeId() == QMetaType::UInt || value.typeId() == QMetaType::Bool) {
        rc = sqlite3_bind_int64(stmt_, index, value.toLongLong());
    } else {
        QByteArray t = value.toString().toUtf8();
        rc = sqlite3_bind_text64(stmt_, index, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    if (rc != SQLITE_OK) throw DataError(engineError(db_));
}

void Statement::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) bind(i + 1, values[i]);
}

bool Statement::step()
{
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw DataError(engineError(db_));
}

void Statement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(stmt_);
}
QString Statement::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(stmt_, i));
}
bool Statement::isNull(int i) const
{
    return sqlite3_column_type(stmt_, i) == SQLITE_NULL;
}
qint64 Statement::columnInt(int i) const
{
    return sqlite3_column_int64(stmt_, i);
}

QString Statement::columnText(int i) const
{
    const char *t = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, i));
    return QString::fromUtf8(t, sqlite3_column_bytes(stmt_, i));
}

QByteArray Statement::columnBlob(int i) const
{
    const char *b = static_cast<const char *>(sqlite3_column_blob(stmt_, i));
    return QByteArray(b, sqlite3_column_bytes(stmt_, i));
}

QStringView Statement::columnView(int i) const
{
    const void *t = sqlite3_column_text16(stmt_, i);
    return QStringView(static_cast<const char16_t *>(t), sqlite3_column_bytes16(stmt_, i) / 2);
}

QVariant Statement::column(int i) const
{
    switch (sqlite3_column_type(stmt_, i)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QVariant(columnInt(i));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(stmt_, i));
    case SQLITE_BLOB: return QVariant(columnBlob(i));
    default: return QVariant(columnText(i));
    }
}

// ---- Database --------------------------------------------------------------

Database::~Database()
{
    close();
}

void Database::close()
{
    // Reads still running on their own connections finish first.
    for (auto &p : pendingCopies_)
        if (p.second.second.valid()) p.second.second.wait();
    pendingCopies_.clear();
    for (Counts &c : counts_)
        if (c.pending.valid()) c.pending.wait();
    counts_.clear();
    dataVersion_.reset();
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
    depth_ = 0;
    transactionStarts_.clear();
    info_.clear();
    copies_.clear();
    journal_ = Journal();
    fileVersion_ = -1;
    readOnly_.clear();
}

void Database::requireOpen() const
{
    if (!db_) throw DataError(QStringLiteral("资料库没有打开"));
}

void Database::fail(const QString &context) const
{
    QString engine = db_ ? engineError(db_) : QString();
    throw DataError(engine.isEmpty() ? context : context + QStringLiteral("：") + engine);
}

void Database::openLibrary(const QString &path, int busyTimeoutMs)
{
    close();
    QFileInfo fi(path);
    if (!fi.exists()) throw DataError(QStringLiteral("文件不存在"));
    if (fi.isDir()) throw DataError(QStringLiteral("这是一个文件夹，不是资料库文件"));
    if (!fi.isReadable()) throw DataError(QStringLiteral("没有读取这个文件的权限"));
    // A file, or a folder, that cannot be written is opened for reading:
    // the library can still be browsed and searched.
    QString readOnly;
    if (!fi.isWritable())
        readOnly = QStringLiteral("文件只能读取");
    else if (!QFileInfo(fi.absolutePath()).isWritable())
        readOnly = QStringLiteral("所在的文件夹不能写入");
    connect(path, busyTimeoutMs, readOnly);
    if (!readOnly.isEmpty()) return;
    // Program objects are added under the write lock; a library another
    // program is writing past the wait, or a file system that refuses
    // writes, is opened for reading instead.
    try {
        addProgramObjects();
    } catch (const DataError &) {
        const int code = writeFailure_;
        if (code != SQLITE_BUSY && code != SQLITE_LOCKED && code != SQLITE_READONLY && code != SQLITE_FULL) {
            close();
            throw;
        }
        connect(path, busyTimeoutMs,
                code == SQLITE_READONLY ? QStringLiteral("文件系统不允许写入")
                : code == SQLITE_FULL
                    ? QStringLiteral("磁盘空间不足")
                    : QStringLiteral("另一个程序正在写入它，等待后仍未写完；它写完后重新启动本程序即可修改"));
    }
}

void Database::connect(const QString &path, int busyTimeoutMs, const QString &readOnly)
{
    close();
    const int mode = readOnly.isEmpty() ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    // No CREATE flag: an existing file is opened, never made anew.
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, mode | SQLITE_OPEN_NOMUTEX, nullptr);
    if (db_) sqlite3_busy_timeout(db_, busyTimeoutMs);
    // A file in write-ahead mode is read through its shared-memory file,
    // which a reader alone cannot make: the file is then read as it stands.
    int probe = SQLITE_OK;
    if (rc == SQLITE_OK && !readOnly.isEmpty())
        probe = sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK
                    ? SQLITE_OK
                    : sqlite3_extended_errcode(db_) & 0xFF;
    bool unreadLog = false;
    if (probe == SQLITE_READONLY || probe == SQLITE_CANTOPEN) {
        unreadLog = QFileInfo(path + "-wal").size() > 0;
        sqlite3_close_v2(db_);
        db_ = nullptr;
        const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
        rc = sqlite3_open_v2(uri.constData(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    }
    if (rc != SQLITE_OK) {
        QString msg = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("无法打开");
        close();
        throw DataError(QStringLiteral("无法打开文件：") + msg);
    }
    path_ = path;
    readOnly_ = readOnly;
    if (unreadLog) readOnly_ += QStringLiteral("；文件的日志读不到，最近的修改可能没有显示");
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    sqlite3_extended_result_codes(db_, 1);
    bodyIndexAvailable_ = BodyIndex::prepareConnection(db_);
    try {
        checkLibrary();
        // Read only: the index serves as it is, if it is there.
        if (!readOnly.isEmpty() && bodyIndexAvailable_) bodyIndexAvailable_ = BodyIndex(db_).present();
    } catch (...) {
        close();
        throw;
    }
    installUnicodeLike(db_);
}

void Database::checkLibrary()
{
    // Reads only: a file that is not a library must stay byte for byte as it was.
    try {
        Statement probe(db_, "SELECT count(*) FROM sqlite_master");
        probe.step();
    } catch (const DataError &e) {
        int code = sqlite3_errcode(db_) & 0xFF;
        if (code == SQLITE_NOTADB) throw DataError(QStringLiteral("这不是一个资料库文件（不是 SQLite 数据库）"));
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            throw DataError(QStringLiteral("文件被另一个程序锁定，等待后仍无法读取"));
        throw DataError(QStringLiteral("无法读取文件：") + e.message());
    }
    for (const TableDef &t : schema::tables()) {
        Statement info(db_, QStringLiteral("PRAGMA table_info(\"%1\")").arg(t.name));
        QStringList present;
        while (info.step()) present << info.columnText(1).toLower();
        if (present.isEmpty()) throw DataError(QStringLiteral("缺少数据表 %1").arg(t.name));
        for (const ColumnDef &c : t.columns)
            if (!present.contains(c.name.toLower()))
                throw DataError(QStringLiteral("数据表 %1 缺少字段 %2").arg(t.name, c.name));
        info_.insert(t.name, loadInfo(t.name));
    }
}

Database::TableInfo Database::loadInfo(const QString &table) const
{
    TableInfo ti;
    Statement info(db_, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
    int pkCount = 0;
    bool idPkInteger = false;
    while (info.step()) {
        const QString name = info.columnText(1).toLower();
        const int pk = int(info.columnInt(5));
        if (pk > 0) ++pkCount;
        if (name == QLatin1String("id")) {
            ti.hasId = true;
            idPkInteger = pk > 0 && info.columnText(2).compare("INTEGER", Qt::CaseInsensitive) == 0;
        }
    }
    ti.idIsRowid = idPkInteger && pkCount == 1;
    Statement sql(db_, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?");
    sql.bind(1, table);
    if (sql.step()) ti.autoincrement = sql.columnText(0).contains("AUTOINCREMENT", Qt::CaseInsensitive);
    return ti;
}

void Database::addProgramObjects()
{
    // Take the write lock first, so a library locked by another writer is
    // refused before anything is changed.
    writeFailure_ = 0;
    if (sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        int code = sqlite3_errcode(db_) & 0xFF;
        writeFailure_ = code;
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            throw DataError(QStringLiteral("文件被另一个程序锁定，等待后仍无法写入"));
        if (code == SQLITE_READONLY) throw DataError(QStringLiteral("文件只读，无法写入"));
        fail(QStringLiteral("无法写入文件"));
    }
    for (const QString &sql : schema::additionStatements()) {
        if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            QString msg = QString::fromUtf8(sqlite3_errmsg(db_));
            writeFailure_ = sqlite3_extended_errcode(db_) & 0xFF;
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw DataError(QStringLiteral("无法写入文件：") + msg);
        }
    }
    if (bodyIndexAvailable_) {
        try {
            BodyIndex(db_).ensureObjects();
        } catch (const DataError &e) {
            writeFailure_ = sqlite3_extended_errcode(db_) & 0xFF;
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw DataError(QStringLiteral("无法写入文件：") + e.message());
        }
    }
    // Tables whose keys the engine may hand out again: remember the highest
    // id now, before any row can be deleted.
    for (const TableDef &t : schema::tables()) {
        const TableInfo ti = info_.value(t.name);
        if (!ti.hasId || (ti.idIsRowid && ti.autoincrement)) continue;
        const QString seed =
            QStringLiteral("INSERT OR REPLACE INTO wenk_sequence (name, last) SELECT '%1', max(coalesce(max(id), 0), "
                           "coalesce((SELECT last FROM wenk_sequence WHERE name = '%1'), 0)) FROM \"%1\"")
                .arg(t.name);
        if (sqlite3_exec(db_, seed.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            QString msg = QString::fromUtf8(sqlite3_errmsg(db_));
            writeFailure_ = sqlite3_extended_errcode(db_) & 0xFF;
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw DataError(QStringLiteral("无法写入文件：") + msg);
        }
    }
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        QString msg = QString::fromUtf8(sqlite3_errmsg(db_));
        writeFailure_ = sqlite3_extended_errcode(db_) & 0xFF;
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw DataError(QStringLiteral("无法写入文件：") + msg);
    }
    // WAL lets a reader see the file while we write; a file that refuses it
    // still works in its own journal mode.
    sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
}

void Database::createLibrary(const QString &path)
{
    if (QFileInfo::exists(path)) throw DataError(QStringLiteral("文件已存在，不会覆盖"));
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close_v2(db);
        throw DataError(QStringLiteral("无法新建文件：") + msg);
    }
    QStringList all = schema::createStatements() + schema::additionStatements();
    if (BodyIndex::prepareConnection(db)) all += BodyIndex::createStatements();
    QString script = "BEGIN;" + all.join(';') + ";COMMIT;";
    if (sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        QString msg = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        throw DataError(QStringLiteral("无法新建资料库：") + msg);
    }
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

void Database::exec(const QString &sql, const QVariantList &params)
{
    requireOpen();
    // "delete from <table> [where ...]": the rows it deletes are read first,
    // with the same condition and values, so the journal keeps them.
    static const QRegularExpression deletion(
        QStringLiteral("^\\s*delete\\s+from\\s+\"?([A-Za-z_][A-Za-z0-9_]*)\"?(\\s+where\\s.*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = deletion.match(sql.trimmed());
    const TableDef *def = m.hasMatch() ? schema::table(m.captured(1)) : nullptr;
    std::vector<std::pair<qint64, RowImage>> deleted;
    if (def) {
        const QStringList cols = def->smallColumns();
        Statement before(
            db_,
            QStringLiteral("SELECT rowid, \"%1\" FROM \"%2\" %3").arg(cols.join("\", \""), def->name, m.captured(2)));
        before.bindAll(params);
        while (before.step()) {
            RowImage image{true, {}};
            for (int c = 0; c < cols.size(); ++c) image.values << before.column(c + 1);
            deleted.emplace_back(before.columnInt(0), std::move(image));
        }
    }
    const bool reads = sql.trimmed().startsWith("select", Qt::CaseInsensitive);
    if (reads) {
        Statement stmt(db_, sql);
        stmt.bindAll(params);
        while (stmt.step()) {}
    } else {
        inTransaction([&] {
            Statement stmt(db_, sql);
            stmt.bindAll(params);
            while (stmt.step()) {}
            keepBodyIndex(QStringLiteral("mainfile"));
        });
    }
    if (def) {
        for (auto &[rowid, image] : deleted) journal_.record(def->name, rowid, nullptr, std::move(image));
        forgetOldChanges(def->name);
    } else if (!reads) {
        markAllChanged();
    }
}

void Database::begin()
{
    requireOpen();
    if (!readOnly_.isEmpty())
        throw DataError(QStringLiteral("资料库是以只读方式打开的（%1），修改无法保存。").arg(readOnly_));
    const char *sql = depth_ == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT wenk";
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(QStringLiteral("无法开始事务"));
    ++depth_;
    transactionStarts_.push_back(journal_.now());
}

void Database::commit()
{
    if (depth_ == 0) return;
    const char *sql = depth_ == 1 ? "COMMIT" : "RELEASE wenk";
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(QStringLiteral("无法提交事务"));
    --depth_;
    transactionStarts_.pop_back();
}

void Database::rollback()
{
    if (depth_ == 0) return;
    // Undoing is a write like any other: the rows it puts back are
    // journalled with what they held just before. Rows that cannot be read
    // (a failing disk) make every copy stale instead; the undo runs anyway.
    std::vector<std::tuple<QString, qint64, RowImage>> undone;
    bool unknown = false;
    try {
        for (const auto &[table, rowid] : journal_.rowsChangedAfter(transactionStarts_.back()))
            undone.emplace_back(table, rowid, readImage(table, rowid));
    } catch (...) {
        unknown = true;
    }
    if (depth_ == 1)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    else
        sqlite3_exec(db_, "ROLLBACK TO wenk; RELEASE wenk", nullptr, nullptr, nullptr);
    --depth_;
    transactionStarts_.pop_back();
    if (unknown) {
        markAllChanged();
        return;
    }
    for (auto &[table, rowid, image] : undone) journal_.record(table, rowid, nullptr, std::move(image));
}

bool Database::hasIdColumn(const QString &table) const
{
    return info_.value(table).hasId;
}

qint64 Database::nextId(const QString &table)
{
    qint64 last = 0;
    {
        Statement s(db_, "SELECT last FROM wenk_sequence WHERE name = ?");
        s.bind(1, table);
        if (s.step()) last = s.columnInt(0);
    }
    {
        Statement s(db_, QStringLiteral("SELECT max(id) FROM \"%1\"").arg(table));
        if (s.step() && !s.isNull(0)) last = std::max(last, s.columnInt(0));
    }
    // A table once made with AUTOINCREMENT keeps its high mark there.
    Statement hasSequence(db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'sqlite_sequence'");
    if (hasSequence.step()) {
        Statement s(db_, "SELECT seq FROM sqlite_sequence WHERE name = ?");
        s.bind(1, table);
        if (s.step()) last = std::max(last, s.columnInt(0));
    }
    const qint64 id = last + 1;
    Statement up(db_, "INSERT OR REPLACE INTO wenk_sequence (name, last) VALUES (?, ?)");
    up.bind(1, table);
    up.bind(2, id);
    up.step();
    return id;
}

RowImage Database::readImage(const QString &table, qint64 rowid) const
{
    const TableDef *def = schema::table(table);
    RowImage image;
    if (!def) return image;
    const QStringList cols = def->smallColumns();
    Statement s(db_, QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE rowid = ?").arg(cols.join("\", \""), table));
    s.bind(1, rowid);
    if (!s.step()) return image;
    image.exists = true;
    for (int c = 0; c < cols.size(); ++c) image.values << s.column(c);
    return image;
}

void Database::rowGone(const QString &table, qint64 id, const QString &what) const
{
    throw DataError(QStringLiteral("数据表 %1 中编号为 %2 的记录已不在资料库中（已被删除），%3没有执行。")
                        .arg(table)
                        .arg(id)
                        .arg(what));
}

qint64 Database::insertRow(const QString &table, const QStringList &columns, const QVariantList &values,
                           const void *writer)
{
    requireOpen();
    const TableInfo ti = info_.value(table);
    QStringList cols = columns;
    QVariantList vals = values;
    // The engine numbers keys without reuse only for AUTOINCREMENT tables;
    // for any other library file the id is handed out here.
    const bool ownId = ti.hasId && !(ti.idIsRowid && ti.autoincrement);
    begin();
    try {
        if (ownId) {
            int at = -1;
            for (int i = 0; i < cols.size(); ++i)
                if (cols[i].compare("id", Qt::CaseInsensitive) == 0) at = i;
            qint64 id = nextId(table);
            if (at >= 0)
                vals[at] = id;
            else {
                cols << "id";
                vals << id;
            }
        }
        QString sql;
        if (cols.isEmpty()) {
            sql = QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table);
        } else {
            QStringList marks;
            for (int i = 0; i < cols.size(); ++i) marks << "?";
            sql = QStringLiteral("INSERT INTO \"%1\" (\"%2\") VALUES (%3)")
                      .arg(table, cols.join("\", \""), marks.join(", "));
        }
        Statement stmt(db_, sql);
        stmt.bindAll(vals);
        stmt.step();
        const qint64 rowid = sqlite3_last_insert_rowid(db_);
        keepBodyIndex(table);
        commit();
        journal_.record(table, rowid, writer, RowImage{});
        forgetOldChanges(table);
        return rowid;
    } catch (...) {
        rollback();
        throw;
    }
}

void Database::updateRow(const QString &table, qint64 rowid, const QStringList &columns, const QVariantList &values,
                         const void *writer, qint64 shownId)
{
    requireOpen();
    RowImage before = readImage(table, rowid);
    if (!before.exists) rowGone(table, shownId ? shownId : rowid, QStringLiteral("修改"));
    if (columns.isEmpty()) return;
    QStringList sets;
    for (const QString &c : columns) sets << QStringLiteral("\"%1\" = ?").arg(c);
    inTransaction([&] {
        Statement stmt(db_, QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = ?").arg(table, sets.join(", ")));
        stmt.bindAll(values);
        stmt.bind(int(values.size()) + 1, rowid);
        stmt.step();
        if (sqlite3_changes(db_) != 1) rowGone(table, shownId ? shownId : rowid, QStringLiteral("修改"));
        keepBodyIndex(table);
    });
    journal_.record(table, rowid, writer, std::move(before));
    forgetOldChanges(table);
}

void Database::deleteRow(const QString &table, qint64 rowid, const void *writer, qint64 shownId)
{
    requireOpen();
    RowImage before = readImage(table, rowid);
    if (!before.exists) rowGone(table, shownId ? shownId : rowid, QStringLiteral("删除"));
    inTransaction([&] {
        Statement stmt(db_, QStringLiteral("DELETE FROM \"%1\" WHERE rowid = ?").arg(table));
        stmt.bind(1, rowid);
        stmt.step();
        if (sqlite3_changes(db_) != 1) rowGone(table, shownId ? shownId : rowid, QStringLiteral("删除"));
        keepBodyIndex(table);
    });
    journal_.record(table, rowid, writer, std::move(before));
    forgetOldChanges(table);
}

// Rows of the documents changed, by this program or earlier by another:
// the body index follows in the same transaction.
void Database::keepBodyIndex(const QString &table)
{
    if (!bodyIndexAvailable_ || table.compare("mainfile", Qt::CaseInsensitive) != 0) return;
    BodyIndex index(db_);
    if (index.hasPending()) index.catchUp();
}

std::optional<std::vector<qint64>> Database::rowsLike(const QString &table, const QString &column,
                                                      const QString &pattern)
{
    requireOpen();
    if (!bodyIndexAvailable_ || table.compare("mainfile", Qt::CaseInsensitive) != 0 ||
        column.compare("text", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    BodyIndex index(db_);
    if (!index.built()) return std::nullopt;
    if (index.hasPending()) {
        // Another program changed bodies: index them first, or, when the
        // file cannot be written, search the texts.
        try {
            begin();
            index.catchUp();
            commit();
        } catch (...) {
            rollback();
            return std::nullopt;
        }
    }
    return index.rowsLike(pattern);
}

bool Database::bodyIndexNeedsBuilding()
{
    return bodyIndexAvailable_ && db_ && readOnly_.isEmpty() && !BodyIndex(db_).built();
}

int Database::buildBodyIndexStep(int rows)
{
    requireOpen();
    return inTransaction([&] { return BodyIndex(db_).buildStep(rows); });
}

void Database::leaveNewBodiesToIndexBuild()
{
    requireOpen();
    if (!bodyIndexAvailable_) return;
    inTransaction([&] { BodyIndex(db_).leaveNewRowsToBuild(); });
}

std::pair<qint64, qint64> Database::bodyIndexProgress()
{
    requireOpen();
    return BodyIndex(db_).buildProgress();
}
