#include "app/upgrade.h"

#include "app/indexbuild.h"
#include "app/main.h"
#include "data/Unit1.h"
#include "data/database.h"
#include "data/dataerror.h"
#include "topics/topictree.h"
#include "ui/messagebox.h"
#include "upgrade/jetfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <cstdio>
#include <sqlite3.h>
#include <exception>
#include <unistd.h>

namespace {

const QString kTitle = MessageBoxes::programTitle();

void removeLibraryFiles(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"}) QFile::remove(path + suffix);
}

bool taken(const QString &name)
{
    return QFileInfo::exists(name) || QFileInfo(name).isSymLink();
}

// wenk-jet.dat, or wenk-jet-2.dat and so on: never a file that is there.
QString keptName(const QString &path)
{
    const QFileInfo info(path);
    const QString stem = info.completeBaseName() + QStringLiteral("-jet");
    const QString suffix = info.suffix().isEmpty() ? QString() : "." + info.suffix();
    QString name = info.dir().filePath(stem + suffix);
    for (int n = 2; taken(name); ++n) name = info.dir().filePath(QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(suffix));
    return name;
}

// name, or name-2 and so on, with none of the files a library brings along.
QString unusedName(const QString &name)
{
    QString candidate = name;
    for (int n = 2; taken(candidate) || taken(candidate + "-wal") || taken(candidate + "-shm") ||
                    taken(candidate + "-journal");
         ++n)
        candidate = QStringLiteral("%1-%2").arg(name).arg(n);
    return candidate;
}

// Gives the old file its second name without copying it when the file
// system allows; the bytes stay the same either way.
bool keepOldFile(const QString &path, const QString &kept)
{
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData()) == 0) return true;
    return QFile::copy(path, kept);
}

}  // namespace

std::optional<ImportSummary> importWithProgress(Database &db, const QString &jetPath, QWidget *parent)
{
    const QString file = QDir::toNativeSeparators(QFileInfo(jetPath).absoluteFilePath());
    try {
        JetFile jet(jetPath);
        checkJetLibrary(jet);
        QProgressDialog dialog(QStringLiteral("正在导入 %1").arg(file), QStringLiteral("取消"), 0, 1, parent);
        dialog.setObjectName("UpgradeProgress");
        dialog.setWindowTitle(kTitle);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        dialog.setMinimumDuration(300);
        const std::optional<ImportSummary> summary =
            importJetLibrary(db, jet, [&dialog](qint64 done, qint64 total) {
                dialog.setMaximum(int(std::max<qint64>(total, 1)));
                dialog.setValue(int(std::min(done, total)));
                QCoreApplication::processEvents();
                return !dialog.wasCanceled();
            });
        if (!summary) MessageBoxes::notice(parent, kTitle, QStringLiteral("升级已取消，资料库没有改动。"));
        return summary;
    } catch (const JetError &e) {
        MessageBoxes::notice(parent, kTitle,
                             QStringLiteral("无法从文件 %1 升级：\n%2\n\n资料库没有改动。").arg(file, e.message));
    } catch (const DataError &e) {
        MessageBoxes::notice(parent, kTitle,
                             QStringLiteral("从文件 %1 升级时出错：\n%2\n\n资料库没有改动。").arg(file, e.message()));
    }
    return std::nullopt;
}

bool convertJetLibrary(const QString &path)
{
    const QString kept = keptName(path);
    const QString question =
        QStringLiteral("资料库文件 %1 是 Windows 版的资料库（Access 数据库），本程序不能直接打开。\n\n"
                       "是否把它转换为本程序的资料库？原来的文件改名为 %2，保留在同一文件夹中。\n"
                       "选“否”则程序退出，文件保持原样。")
            .arg(QDir::toNativeSeparators(path), QFileInfo(kept).fileName());
    if (MessageBoxes::question(nullptr, kTitle, question) != MessageBoxes::Yes) return false;

    const QString fresh = unusedName(path + QStringLiteral(".upgrading"));
    std::optional<ImportSummary> summary;
    try {
        Database::createLibrary(fresh);
        Database db;
        db.openLibrary(fresh);
        summary = importWithProgress(db, path, nullptr);
        // One file to move into place: the write-ahead log folded in.
        if (summary) sqlite3_exec(db.handle(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
        db.close();
        if (summary && QFileInfo::exists(fresh + "-wal"))
            throw DataError(QStringLiteral("新资料库的日志没有并入文件"));
    } catch (const DataError &e) {
        summary.reset();
        MessageBoxes::notice(nullptr, kTitle,
                             QStringLiteral("无法在 %1 写出新的资料库：\n%2\n\n文件夹保持原样。")
                                 .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()), e.message()));
    } catch (const std::exception &e) {
        summary.reset();
        MessageBoxes::notice(nullptr, kTitle,
                             QStringLiteral("转换 %1 时出错：%2\n\n文件夹保持原样。").arg(path, QString::fromLocal8Bit(e.what())));
    }
    // The old file is renamed only once the new one is complete, and the
    // new one takes its place in one step.
    if (summary && !keepOldFile(path, kept)) {
        MessageBoxes::notice(nullptr, kTitle,
                             QStringLiteral("无法把原来的文件保存为 %1，文件夹保持原样。").arg(kept));
        summary.reset();
    }
    if (summary && std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(kept);
        MessageBoxes::notice(nullptr, kTitle, QStringLiteral("无法把新的资料库放到 %1，文件夹保持原样。").arg(path));
        summary.reset();
    }
    if (!summary) {
        removeLibraryFiles(fresh);
        return false;
    }
    MessageBoxes::notice(nullptr, kTitle,
                         summaryText(*summary) +
                             QStringLiteral("\n\n原来的文件已改名为 %1。").arg(QFileInfo(kept).fileName()));
    return true;
}

void TMainForm::SpeedButton20Click()
{
    QFileDialog dialog(this, QStringLiteral("选择 Windows 版的资料库文件"));
    dialog.setObjectName("UpgradeDialog");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("资料库文件 (*.dat *.mdb)"), QStringLiteral("所有文件 (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    TMastData *d = MastData;
    const std::optional<ImportSummary> summary = importWithProgress(d->database(), dialog.selectedFiles().first(), this);
    if (!summary) return;
    try {
        buildBodyIndex(d->database());
    } catch (const DataError &) {
        // Left for the next start; the body search reads the texts meanwhile.
    }
    // Every dataset that shows these tables reads them again.
    const qint64 current = d->ADOTmain->active() && !d->ADOTmain->isEmpty() ? d->ADOTmain->fieldInt("id") : 0;
    for (TDataSet *ds : {d->ADOTmain, d->ADOTfile, d->ADOTgl2, d->ADOTzt, d->ADOTtemp}) {
        if (!ds->active()) continue;
        ds->close();
        ds->open();
    }
    if (current) d->ADOTmain->locate("id", current);
    tree->SpeedButton16Click();
    MessageBoxes::notice(this, kTitle, summaryText(*summary));
}
