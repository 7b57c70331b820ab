#pragma once
// What the benchmarks of commands share: the program started on a copy of a
// generated library, and the topic picker answered at once.
#include "app/UnitMYTH.h"
#include "app/main.h"
#include "app/startup.h"
#include "topics/Unitselectnode.h"
#include "topics/topictree.h"
#include "ui/messagebox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

// Copies the folder's wenk.dat into work, lets prepare change the copy, and
// starts the program there with message boxes answered by the benchmark.
// False, with the reason printed, when that cannot be done.
inline bool startOnCopy(const char *folder, QTemporaryDir &work,
                        const std::function<void(const QString &)> &prepare = {})
{
    if (!QFile::copy(QDir(QString::fromLocal8Bit(folder)).absoluteFilePath("wenk.dat"), work.filePath("wenk.dat"))) {
        std::fprintf(stderr, "no wenk.dat in that folder; write one with wenk_genlib\n");
        return false;
    }
    if (prepare) prepare(work.filePath("wenk.dat"));
    QDir::setCurrent(work.path());
    MessageBoxes::setTestMode(true);
    if (!startProgram()) return false;
    while (!startupWorker()->isFinished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    MainForm->SpeedButton16Click();
    QCoreApplication::processEvents();
    return true;
}

// Once the picker shows, clicks the node that choose gives and presses "选定".
inline void pickWhenShown(const std::function<QTreeWidgetItem *(QTreeWidget *)> &choose)
{
    auto *poll = new QTimer;
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [poll, choose] {
        if (!frmselectnode->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        QTreeWidget *tree = frmselectnode->tree->TreeView1;
        tree->setCurrentItem(choose(tree));
        frmselectnode->TreeView1Click();
        frmselectnode->SpeedButton2Click();
    });
    poll->start();
}
