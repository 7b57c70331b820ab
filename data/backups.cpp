#include "data/backups.h"

#include "data/database.h"
#include "data/dataerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

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

void prune(const QString &libraryPath)
{
    const std::vector<Backup> all = list(libraryPath);
    for (size_t i = kKept; i < all.size(); ++i) QFile::remove(all[i].path);
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
        const QDateTime made = QDateTime::fromString(name.mid(kPrefix.size(), kFormat.size()), kFormat);
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
    const QString final = freeName(dir, kPrefix + QDateTime::currentDateTime().toString(kFormat));
    const QString part = final + QStringLiteral(".part");
    QFile::remove(part);

    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(libraryPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        throw DataError(QStringLiteral("无法读取资料库以备份：") + msg);
    }
    sqlite3_busy_timeout(db, 3000);
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
    if (!QFile::rename(part, final)) {
        QFile::remove(part);
        throw DataError(QStringLiteral("无法保存备份 %1").arg(final));
    }
    prune(libraryPath);
    return final;
}

void restore(const QString &libraryPath, const QString &backupPath)
{
    if (!QFileInfo::exists(backupPath)) throw DataError(QStringLiteral("备份文件 %1 不存在").arg(backupPath));
    // The copy is put beside the library first: a failure on the way leaves
    // the library as it was.
    const QString incoming = libraryPath + QStringLiteral(".restoring");
    QFile::remove(incoming);
    if (!QFile::copy(backupPath, incoming))
        throw DataError(QStringLiteral("无法复制备份文件 %1").arg(backupPath));
    try {
        make(libraryPath, true);
    } catch (...) {
        QFile::remove(incoming);
        throw;
    }
    for (const char *suffix : {"-wal", "-shm"}) QFile::remove(libraryPath + suffix);
    if (std::rename(QFile::encodeName(incoming).constData(), QFile::encodeName(libraryPath).constData()) != 0) {
        QFile::remove(incoming);
        throw DataError(QStringLiteral("无法用备份替换 %1").arg(libraryPath));
    }
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
