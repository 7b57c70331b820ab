#pragma once
// Copies of the library in the folder backup/ beside it: consistent copies
// the engine writes while the library stays open, named for their moment.
// A copy is made only when the library changed since the newest one (a
// count of writes the file keeps itself, copied with it), and the last five
// are kept.
#include <QDateTime>
#include <QString>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

struct sqlite3;

namespace backups {

// Stops a copy from another thread.
class Stop {
public:
    void stop();
    bool stopped() const;
    bool attach(sqlite3 *db);  // false when stopped already
    void detach();

private:
    std::mutex m_;
    sqlite3 *db_ = nullptr;
    std::atomic<bool> stopped_{false};
};

struct Backup {
    QString path;
    QDateTime made;
    qint64 size = 0;
};

constexpr int kKept = 5;

QString folderOf(const QString &libraryPath);
// The backups of the library, newest first.
std::vector<Backup> list(const QString &libraryPath);

// Makes a backup now, unless nothing changed since the newest one (then
// returns an empty path) or force is set. A copy is written under a
// temporary name and renamed when whole; older copies past the last five go.
// Throws DataError, also when stopped.
QString make(const QString &libraryPath, bool force = false, Stop *stop = nullptr);

// Puts the backup in the library's place: the current file is first kept
// as a further backup (byte for byte when the engine cannot copy it), and
// the replacement is refused while another program has the file open. The
// library must be closed here. Throws DataError, the library as it was.
void restore(const QString &libraryPath, const QString &backupPath);

}  // namespace backups

// The backup made at start, on a thread of its own so that the start and
// the edits never wait for it; stopping interrupts a copy still running and
// removes its part-written file.
class BackgroundBackup {
public:
    explicit BackgroundBackup(const QString &libraryPath);
    ~BackgroundBackup();
    BackgroundBackup(const BackgroundBackup &) = delete;
    BackgroundBackup &operator=(const BackgroundBackup &) = delete;

    void wait();             // until the copy is done
    QString result() const;  // the backup made, or empty (none needed, failed, stopped)
    QString error() const;

private:
    backups::Stop stop_;
    QString result_, error_;
    std::thread thread_;
};
