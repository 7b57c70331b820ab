// Start-up, tree reload and memory on a library folder:
//   wenk_bench_startup FOLDER
// Runs the program five times as a fresh process each and prints the median
// time from process start until the tree is shown, the median reload time
// and the peak resident memory.
#include "app/UnitMYTH.h"
#include "app/main.h"
#include "app/startup.h"
#include "topics/topictree.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

qint64 nowNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int child(int argc, char *argv[], qint64 t0)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 tApp = nowNs();
    if (!startProgram()) return 1;
    const qint64 tStarted = nowNs();
    while (MainForm->tree->TreeView1->topLevelItemCount() == 0) QCoreApplication::processEvents();
    const double startupMs = (nowNs() - t0) / 1e6;
    if (qEnvironmentVariableIsSet("WENK_BENCH_PHASES"))
        std::fprintf(stderr, "process+QApplication %.1f ms, startProgram %.1f ms, until tree %.1f ms\n",
                     (tApp - t0) / 1e6, (tStarted - tApp) / 1e6, (nowNs() - tStarted) / 1e6);
    while (!startupWorker()->isFinished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    std::vector<double> reloads;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        MainForm->SpeedButton16Click();
        reloads.push_back(t.nsecsElapsed() / 1e6);
    }
    rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    std::printf("%.1f %.1f %ld %d\n", startupMs, median(reloads), ru.ru_maxrss,
                MainForm->tree->TreeView1->topLevelItemCount());
    std::fflush(stdout);
    stopProgram();
    return 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && QByteArray(argv[1]) == "--child") return child(argc, argv, QByteArray(argv[2]).toLongLong());
    if (argc < 2) {
        std::fprintf(stderr, "usage: wenk_bench_startup FOLDER\n");
        return 2;
    }
    const QString self = QString::fromLocal8Bit(argv[0]);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    std::vector<double> starts, reloads, rss;
    for (int run = 0; run < 5; ++run) {
        QProcess p;
        p.setWorkingDirectory(folder);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const qint64 t0 = nowNs();
        p.start(QFileInfo(self).absoluteFilePath(), {"--child", QString::number(t0)});
        p.waitForFinished(120000);
        const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
        if (p.exitCode() != 0 || f.size() < 3) {
            std::fprintf(stderr, "run %d failed\n", run);
            return 1;
        }
        starts.push_back(f[0].toDouble());
        reloads.push_back(f[1].toDouble());
        rss.push_back(f[2].toDouble() / 1024.0);
    }
    std::printf("start-up until the tree is shown: %.0f ms (median of 5)\n", median(starts));
    std::printf("tree reload: %.1f ms (median of 5 runs, each the median of 5 reloads)\n", median(reloads));
    std::printf("peak resident memory: %.0f MB (median of 5)\n", median(rss));
    return 0;
}
