// The everyday commands on a library folder:
//   wenk_bench_everyday FOLDER [--runs N]
// Works on a copy of the folder's wenk.dat. Runs the program N times (5 by
// default) as a fresh process each and prints the median of each figure:
// time from process start until the tree is shown, peak resident memory,
// tree reload, save of a small open document, new document, the list of all
// documents (empty keyword) and a click on a row of that list.
#include "app/UnitMYTH.h"
#include "app/main.h"
#include "app/startup.h"
#include "data/Unit1.h"
#include "editor/childwin.h"
#include "tests/support/listdriver.h"
#include "topics/topictree.h"
#include "ui/messagebox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

const char *const kFigures[] = {"start until the tree is shown",
                                "peak resident memory",
                                "tree reload",
                                "save of a small open document",
                                "new document",
                                "empty keyword (all documents by title)",
                                "grid click"};
constexpr int kFigureCount = 7;

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

// Median milliseconds of runs of command, each followed by the events it posted.
double timed(int runs, const std::function<void()> &command, const std::function<void()> &between = {})
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        command();
        QCoreApplication::processEvents();
        ms.push_back(t.nsecsElapsed() / 1e6);
        if (between) between();
    }
    return median(ms);
}

void closeActiveEditor()
{
    TMDIChild *editor = MainForm->activeEditor();
    if (!editor) return;
    editor->clearModified();
    qobject_cast<QMdiSubWindow *>(editor->parentWidget())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A document filed under a topic, so that saving asks nothing.
qint64 filedDocument()
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2("wenk.dat", &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT fileid FROM gl JOIN mainfile ON mainfile.id = gl.fileid LIMIT 1", -1, &st, nullptr);
    const qint64 id = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return id;
}

QString storedText(qint64 id)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2("wenk.dat", &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db, "SELECT text FROM mainfile WHERE id = ?", -1, &st, nullptr);
    sqlite3_bind_int64(st, 1, id);
    const QString text = sqlite3_step(st) == SQLITE_ROW
                             ? QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)))
                             : QString();
    sqlite3_finalize(st);
    sqlite3_close(db);
    return text;
}

int child(int argc, char *argv[], qint64 t0)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("WENK_BENCH_PHASES"))
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QApplication app(argc, argv);
    MessageBoxes::setTestMode(true);
    const qint64 tApp = nowNs();
    if (!startProgram()) return 1;
    const qint64 tStarted = nowNs();
    while (MainForm->tree->TreeView1->topLevelItemCount() == 0) QCoreApplication::processEvents();
    const double start = (nowNs() - t0) / 1e6;
    if (qEnvironmentVariableIsSet("WENK_BENCH_PHASES"))
        std::fprintf(stderr, "process and application %.1f ms, startProgram %.1f ms, until the tree %.1f ms\n",
                     (tApp - t0) / 1e6, (tStarted - tApp) / 1e6, (nowNs() - tStarted) / 1e6);
    while (!startupWorker()->isFinished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();

    const double reload = timed(5, [] { MainForm->SpeedButton16Click(); });
    const double list = timed(3, [] { searchFor(QString()); });
    const int rows = MainForm->DBGrid13->model()->rowCount();
    int next = 0;
    const double click = timed(
        5, [] { QTest::mouseClick(MainForm->DBGrid13->viewport(), Qt::LeftButton, {}, QPoint(40, 8)); },
        [&] {
            // Another row each time, scrolled to before the clock starts.
            next = (next + rows / 7 + 1) % std::max(rows, 1);
            MainForm->DBGrid13->scrollTo(MainForm->DBGrid13->model()->index(next, 1), QAbstractItemView::PositionAtTop);
            QCoreApplication::processEvents();
        });
    // Each new document meets the documents as a save leaves them: read afresh.
    const double created = timed(
        5, [] { MainForm->ToolButton26Click(); },
        [] {
            closeActiveEditor();
            MastData->ADOTmain->close();
            MastData->ADOTmain->open();
        });

    MastData->ADOTmain->locate("id", filedDocument());
    MainForm->BitBtn3Click();
    QCoreApplication::processEvents();
    TMDIChild *editor = MainForm->activeEditor();
    if (!editor) return 1;
    const double saved = timed(5, [editor] {
        QTextCursor(editor->RichEdit1->document()).insertText(QStringLiteral("改"));
        MainForm->ToolButton31Click();
    });
    if (!MessageBoxes::takeFailures().isEmpty()) return 1;
    // The saves reached the file.
    if (!storedText(editor->documentId()).startsWith(QString(5, QChar(0x6539)))) {
        std::fprintf(stderr, "the saves are not in the file\n");
        return 1;
    }

    rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    std::printf("%.1f %.1f %.1f %.1f %.1f %.1f %.1f\n", start, ru.ru_maxrss / 1024.0, reload, saved, created, list,
                click);
    std::fflush(stdout);
    stopProgram();
    return 0;
}

}  // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && QByteArray(argv[1]) == "--child") return child(argc, argv, QByteArray(argv[2]).toLongLong());
    if (argc < 2) {
        std::fprintf(stderr, "usage: wenk_bench_everyday FOLDER [--runs N]\n");
        return 2;
    }
    const int runs = argc >= 4 && QByteArray(argv[2]) == "--runs" ? std::max(1, atoi(argv[3])) : 5;
    const QString self = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath();
    QTemporaryDir work;
    if (!QFile::copy(QDir(QString::fromLocal8Bit(argv[1])).absoluteFilePath("wenk.dat"), work.filePath("wenk.dat"))) {
        std::fprintf(stderr, "no wenk.dat in that folder; write one with wenk_genlib\n");
        return 2;
    }
    std::vector<std::vector<double>> figures(kFigureCount);
    for (int run = 0; run < runs; ++run) {
        QProcess p;
        p.setWorkingDirectory(work.path());
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const qint64 t0 = nowNs();
        p.start(self, {"--child", QString::number(t0)});
        p.waitForFinished(600000);
        const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
        if (p.exitCode() != 0 || f.size() < kFigureCount) {
            std::fprintf(stderr, "run %d failed\n", run);
            return 1;
        }
        for (int i = 0; i < kFigureCount; ++i) figures[size_t(i)].push_back(f[i].toDouble());
    }
    std::printf("| command | median of %d runs |\n|---|---|\n", runs);
    for (int i = 0; i < kFigureCount; ++i)
        std::printf(i == 1 ? "| %s | %.0f MB |\n" : "| %s | %.1f ms |\n", kFigures[i], median(figures[size_t(i)]));
    return 0;
}
