#include "data/backups.h"

#include "data/database.h"
#include "data/dataerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace backups {

namespace {

const QString kPrefix = QStringLiteral("wenk-");
const QString kFormat = QStringLiteral("yyyyMMdd-HHmmss");

// The count of writes a file holds; -1 when it has none or cannot be read.
qint64 changeCount(const QString &path)
{
    sqlite3 *db = nullptr;
    qint64 n = -1;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT n FROM wenk_changes", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return n;
}

// stem.dat, or past the highest "-N" of that moment, so that names follow
// the order the copies were made in even when older ones are gone.
QString freeName(const QDir &dir, const QString &stem)
{
    int last = 0;
    for (const QString &name : dir.entryList({stem + "*.dat"}, QDir::Files)) {
        const QString rest = name.mid(stem.size(), name.size() - stem.size() - 4);
        if (rest.isEmpty())
            last = std::max(last, 1);
        else if (rest.startsWith('-'))
            last = std::max(last, rest.mid(1).toInt());
    }
    return dir.filePath(last == 0 ? stem + ".dat" : QStringLiteral("%1-%2.dat").arg(stem).arg(last + 1));
}

// Older copies past the last five go, never the one just made.
void prune(const QString &libraryPath, const QString &made)
{
    const std::vector<Backup> all = list(libraryPath);
    for (size_t i = kKept; i < all.size(); ++i)
        if (all[i].path != made) {
            QFile::remove(all[i].path);
            QFile::remove(all[i].path + "-wal");
        }
}

// Writes a file's (or a folder's) data through to the disk.
bool syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void runOn(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

}  // namespace

QString folderOf(const QString &libraryPath)
{
    return QFileInfo(libraryPath).absoluteDir().filePath(QStringLiteral("backup"));
}

std::vector<Backup> list(const QString &libraryPath)
{
    std::vector<Backup> out;
    const QDir dir(folderOf(libraryPath));
    std::vector<std::pair<int, Backup>> found;  // a second backup within a second is "-2", and so on
    for (const QFileInfo &f : dir.entryInfoList({kPrefix + "*.dat"}, QDir::Files)) {
        const QString name = f.completeBaseName();
        QDateTime made = QDateTime::fromString(name.mid(kPrefix.size(), kFormat.size()), kFormat);
        made.setTimeSpec(Qt::UTC);  // named in universal time, shown in local time
        made = made.toLocalTime();
        const QString rest = name.mid(kPrefix.size() + kFormat.size());
        if (!made.isValid() || (!rest.isEmpty() && !rest.startsWith('-'))) continue;
        found.push_back({rest.isEmpty() ? 1 : rest.mid(1).toInt(), {f.absoluteFilePath(), made, f.size()}});
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
        return a.second.made != b.second.made ? a.second.made > b.second.made : a.first > b.first;
    });
    for (auto &f : found) out.push_back(f.second);
    return out;
}

void Stop::stop()
{
    std::lock_guard lock(m_);
    stopped_ = true;
    if (db_) sqlite3_interrupt(db_);
}

bool Stop::stopped() const
{
    return stopped_;
}

bool Stop::attach(sqlite3 *db)
{
    std::lock_guard lock(m_);
    db_ = db;
    return !stopped_;
}

void Stop::detach()
{
    std::lock_guard lock(m_);
    db_ = nullptr;
}

QString make(const QString &libraryPath, bool force, Stop *stop)
{
    const std::vector<Backup> before = list(libraryPath);
    const qint64 now = changeCount(libraryPath);
    if (!force && now >= 0 && !before.empty() && changeCount(before.front().path) == now) return {};

    QDir dir(folderOf(libraryPath));
    if (!dir.exists() && !QDir().mkpath(dir.path()))
        throw DataError(QStringLiteral("无法建立备份文件夹 %1").arg(dir.path()));
    // Named in universal time: a clock put back cannot make a new copy look old.
    const QString final = freeName(dir, kPrefix + QDateTime::currentDateTimeUtc().toString(kFormat));
    const QString part = final + QStringLiteral(".part");
    // Part-written copies of a program that was killed: gone after a day,
    // when no copy still running can own them.
    for (const QFileInfo &f : dir.entryInfoList({kPrefix + "*.part"}, QDir::Files))
        if (f.lastModified().secsTo(QDateTime::currentDateTime()) > 86400) QFile::remove(f.absoluteFilePath());

    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(libraryPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        throw DataError(QStringLiteral("无法读取资料库以备份：") + msg);
    }
    sqlite3_busy_timeout(db, 3000);
    // A stop is seen while the copy runs, and before it starts.
    if (stop) sqlite3_progress_handler(db, 1000, [](void *s) { return static_cast<Stop *>(s)->stopped() ? 1 : 0; }, stop);
    sqlite3_stmt *st = nullptr;
    int rc = stop && !stop->attach(db) ? SQLITE_INTERRUPT : sqlite3_prepare_v2(db, "VACUUM INTO ?", -1, &st, nullptr);
    const QByteArray target = part.toUtf8();
    if (rc == SQLITE_OK) {
        sqlite3_bind_text(st, 1, target.constData(), int(target.size()), SQLITE_STATIC);
        rc = sqlite3_step(st);
    }
    const QString msg = rc == SQLITE_INTERRUPT ? QStringLiteral("已中止") : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(st);
    if (stop) stop->detach();
    sqlite3_close(db);
    if (rc != SQLITE_DONE) {
        QFile::remove(part);
        throw DataError(QStringLiteral("备份没有完成：") + msg);
    }
    // On the disk before it takes its name.
    if (!syncFile(part) || !QFile::rename(part, final)) {
        QFile::remove(part);
        throw DataError(QStringLiteral("无法保存备份 %1").arg(final));
    }
    syncFile(dir.path());
    prune(libraryPath, final);
    return final;
}

namespace {

// The library's bytes as they are, its log beside them: for a file the
// engine cannot copy (a damaged one).
QString copyAsItIs(const QString &libraryPath)
{
    QDir dir(folderOf(libraryPath));
    if (!dir.exists()) QDir().mkpath(dir.path());
    const QString final = freeName(dir, kPrefix + QDateTime::currentDateTimeUtc().toString(kFormat));
    if (!QFile::copy(libraryPath, final)) throw DataError(QStringLiteral("无法复制 %1").arg(libraryPath));
    if (QFileInfo::exists(libraryPath + "-wal")) QFile::copy(libraryPath + "-wal", final + "-wal");
    syncFile(final);
    return final;
}

// Folds the log into the file and makes sure no other program has it open:
// the engine gives up the log only to the file's one user.
void takeSoleHold(const QString &libraryPath)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(libraryPath.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(db, 1000);
    QString mode;
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode=DELETE", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        mode = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    const bool sole = mode == "delete" && sqlite3_exec(db, "BEGIN EXCLUSIVE; COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!sole)
        throw DataError(QStringLiteral("另一个程序正在使用资料库文件 %1，不能替换它。请先关闭那个程序。").arg(libraryPath));
}

}  // namespace

void restore(const QString &libraryPath, const QString &backupPath)
{
    if (!QFileInfo::exists(backupPath)) throw DataError(QStringLiteral("备份文件 %1 不存在").arg(backupPath));
    // The copy is put beside the library first: a failure on the way leaves
    // the library as it was.
    const QString incoming = libraryPath + QStringLiteral(".restoring");
    QFile::remove(incoming);
    if (!QFile::copy(backupPath, incoming) || !syncFile(incoming)) {
        QFile::remove(incoming);
        throw DataError(QStringLiteral("无法复制备份文件 %1").arg(backupPath));
    }
    qint64 highest = 0;
    for (const Backup &b : list(libraryPath)) highest = std::max(highest, changeCount(b.path));
    try {
        try {
            make(libraryPath, true);
        } catch (const DataError &) {
            copyAsItIs(libraryPath);
        }
        takeSoleHold(libraryPath);
    } catch (...) {
        QFile::remove(incoming);
        throw;
    }
    // Counted on from past every copy, so that the next change is told
    // from each of them.
    runOn(incoming, QStringLiteral("UPDATE wenk_changes SET n = %1").arg(highest + 1));
    syncFile(incoming);
    for (const char *suffix : {"-wal", "-shm", "-journal"}) QFile::remove(libraryPath + suffix);
    if (std::rename(QFile::encodeName(incoming).constData(), QFile::encodeName(libraryPath).constData()) != 0) {
        QFile::remove(incoming);
        throw DataError(QStringLiteral("无法用备份替换 %1").arg(libraryPath));
    }
    syncFile(QFileInfo(libraryPath).absolutePath());
}

}  // namespace backups

BackgroundBackup::BackgroundBackup(const QString &libraryPath)
    : thread_([this, libraryPath] {
          try {
              result_ = backups::make(libraryPath, false, &stop_);
          } catch (const DataError &e) {
              error_ = e.message();
          }
      })
{
}

BackgroundBackup::~BackgroundBackup()
{
    stop_.stop();
    wait();
}

void BackgroundBackup::wait()
{
    if (thread_.joinable()) thread_.join();
}

QString BackgroundBackup::result() const
{
    return result_;
}

QString BackgroundBackup::error() const
{
    return error_;
}
