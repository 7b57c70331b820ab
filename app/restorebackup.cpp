#include "app/restorebackup.h"

#include "app/main.h"
#include "app/startup.h"
#include "data/Unit1.h"
#include "data/dataerror.h"
#include "ui/messagebox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLocale>
#include <QMdiArea>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

TRestoreDialog::TRestoreDialog(const std::vector<backups::Backup> &list, QWidget *parent) : QDialog(parent)
{
    setObjectName("TRestoreDialog");
    setWindowTitle(QStringLiteral("恢复备份"));
    auto *layout = new QVBoxLayout(this);
    BackupList = new QTableWidget(int(list.size()), 2, this);
    BackupList->setObjectName("BackupList");
    BackupList->setHorizontalHeaderLabels({QStringLiteral("备份时间"), QStringLiteral("大小")});
    BackupList->setSelectionBehavior(QAbstractItemView::SelectRows);
    BackupList->setSelectionMode(QAbstractItemView::SingleSelection);
    BackupList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    BackupList->verticalHeader()->hide();
    BackupList->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < int(list.size()); ++r) {
        auto *when = new QTableWidgetItem(list[r].made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        when->setData(Qt::UserRole, list[r].path);
        BackupList->setItem(r, 0, when);
        BackupList->setItem(r, 1, new QTableWidgetItem(QLocale(QLocale::Chinese).formattedDataSize(list[r].size)));
    }
    BackupList->resizeColumnsToContents();
    if (!list.empty()) BackupList->selectRow(0);
    layout->addWidget(BackupList);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("恢复"), QDialogButtonBox::AcceptRole)->setObjectName("RestoreButton");
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(360, 260);
}

std::optional<QString> TRestoreDialog::chosen() const
{
    const int row = BackupList->currentRow();
    if (row < 0 || !BackupList->item(row, 0)) return std::nullopt;
    return BackupList->item(row, 0)->data(Qt::UserRole).toString();
}

namespace {

// Stops the program, puts the backup in place and starts again; the main
// window that asked is gone by then, so this runs from the event loop.
void restartOn(const QString &library, const QString &backup, const QString &when)
{
    const bool quits = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    stopProgram();
    QString outcome;
    try {
        backups::restore(library, backup);
        outcome = QStringLiteral("已恢复 %1 的备份。恢复前的资料库已另存为一个备份。").arg(when);
    } catch (const DataError &e) {
        outcome = QStringLiteral("没有恢复备份：%1\n资料库保持原样。").arg(e.message());
    }
    // Told before the start, which may itself end the program.
    MessageBoxes::notice(nullptr, MessageBoxes::programTitle(), outcome);
    const bool started = startProgram();
    QApplication::setQuitOnLastWindowClosed(quits);
    if (!started) QApplication::quit();
}

}  // namespace

void TMainForm::RestoreBackup1Click()
{
    const QString library = QDir::current().absoluteFilePath(QStringLiteral("wenk.dat"));
    const QString readOnly = MastData->database().readOnlyReason();
    if (!readOnly.isEmpty()) {
        MessageBoxes::notice(this, MessageBoxes::programTitle(),
                             QStringLiteral("资料库是以只读方式打开的（%1），不能用备份替换它。").arg(readOnly));
        return;
    }
    const std::vector<backups::Backup> list = backups::list(library);
    if (list.empty()) {
        MessageBoxes::notice(this, MessageBoxes::programTitle(),
                             QStringLiteral("还没有备份。程序每次启动时把资料库备份到 %1 中。")
                                 .arg(QDir::toNativeSeparators(backups::folderOf(library))));
        return;
    }
    TRestoreDialog dialog(list, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosen()) return;
    const QString backup = *dialog.chosen();
    QString when;
    for (const backups::Backup &b : list)
        if (b.path == backup) when = b.made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (MessageBoxes::question(this, MessageBoxes::programTitle(),
                               QStringLiteral("用 %1 的备份替换现在的资料库吗？\n替换之前，现在的资料库会先另存为一个备份。")
                                   .arg(when)) != MessageBoxes::Yes)
        return;
    // Editor windows close first, each asking about its changes.
    mdiArea->closeAllSubWindows();
    if (!mdiArea->subWindowList().isEmpty()) return;
    QTimer::singleShot(0, qApp, [library, backup, when] { restartOn(library, backup, when); });
}
