#include "app/indexbuild.h"

#include "data/database.h"
#include "ui/messagebox.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {

QString progressText(qint64 done, qint64 total)
{
    return QStringLiteral("正在为正文建立索引，建好后正文查询即时完成。\n已完成 %1 / %2 篇。").arg(done).arg(total);
}

}  // namespace

void buildBodyIndex(Database &db)
{
    if (!db.bodyIndexNeedsBuilding()) return;
    auto [done, total] = db.bodyIndexProgress();
    QProgressDialog dialog(progressText(done, total), QStringLiteral("取消"), 0, int(std::max<qint64>(total, 1)));
    dialog.setObjectName("IndexProgress");
    dialog.setWindowTitle(MessageBoxes::programTitle());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    // A small library is indexed before the dialog would show.
    dialog.setMinimumDuration(500);
    dialog.setValue(int(done));
    constexpr int kStep = 200;
    for (;;) {
        const int indexed = db.buildBodyIndexStep(kStep);
        done += indexed;
        if (indexed < kStep) break;
        dialog.setLabelText(progressText(done, total));
        dialog.setValue(int(std::min(done, total)));
        QCoreApplication::processEvents();
        if (dialog.wasCanceled()) break;
    }
}
