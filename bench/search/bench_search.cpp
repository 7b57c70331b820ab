// The keyword search on a library folder, through the search button's command:
//   wenk_bench_search FOLDER [TITLE-KEYWORD [BODY-KEYWORD...]]
// Prints for each search the median of five runs and the rows found. The
// folder is a library written by wenk_genlib, for example
//   wenk_genlib /tmp/lib100k --docs 100000 --body 10000
#include "app/UnitMYTH.h"
#include "app/main.h"
#include "app/startup.h"
#include "data/Unit1.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>

namespace {

struct Figure {
    double medianMs;
    int rows;
};

Figure timeSearch(const QString &keyword, bool inTitles)
{
    (inTitles ? MainForm->RadioButton1 : MainForm->RadioButton2)->setChecked(true);
    MainForm->Edit4->setText(keyword);
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        MainForm->SpeedButton18Click();
        QCoreApplication::processEvents();  // the grid shows the rows
        runs.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(runs.begin(), runs.end());
    return {runs[runs.size() / 2], MastData->ADOQuery2->recordCount()};
}

void report(const char *what, const QString &keyword, const Figure &f)
{
    std::printf("%-22s %-12s %9.1f ms  %7d rows\n", what, qPrintable('"' + keyword + '"'), f.medianMs, f.rows);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: wenk_bench_search FOLDER [TITLE-KEYWORD [BODY-KEYWORD...]]\n");
        return 2;
    }
    if (!QDir::setCurrent(args.takeFirst()) || !QFileInfo::exists("wenk.dat")) {
        std::fprintf(stderr, "no wenk.dat in that folder; write one with wenk_genlib\n");
        return 2;
    }
    const QString title = args.isEmpty() ? QStringLiteral("moon") : args.takeFirst();
    const QStringList bodies = args.isEmpty() ? QStringList{QStringLiteral("明月"), QStringLiteral("zzqx")} : args;

    if (!startProgram()) return 1;
    while (!startupWorker()->isFinished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    std::printf("%d documents\n", MastData->ADOTmain->recordCount());

    report("title search", title, timeSearch(title, true));
    report("title search, nothing", QStringLiteral("zzqx"), timeSearch(QStringLiteral("zzqx"), true));
    report("all documents by title", QString(), timeSearch(QString(), true));
    for (const QString &b : bodies) report("body search", b, timeSearch(b, false));
    stopProgram();
    return 0;
}
