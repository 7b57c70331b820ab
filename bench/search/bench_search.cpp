// The body search on a library folder, through the search button's command,
// against reading every body:
//   wenk_bench_search FOLDER [KEYWORD...]
// For each keyword prints the rows found, the median of five searches from
// the button to the filled grid, the median of three plain reads of every
// body with the same matcher, and how many times faster the search is.
// The folder is a library written by wenk_genlib; the benchmark works on a
// copy, in which 80 documents get a rare sentence ("罕见的批注 Quixotic")
// so that some keywords have few rows.
#include "app/UnitMYTH.h"
#include "app/main.h"
#include "app/startup.h"
#include "data/Unit1.h"
#include "data/unicodelike.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double searchMs(const QString &keyword)
{
    MainForm->RadioButton2->setChecked(true);
    MainForm->Edit4->setText(keyword);
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        MainForm->SpeedButton18Click();
        QCoreApplication::processEvents();  // the grid shows the rows
        runs.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(runs);
}

// Every body read through the program's LIKE, on a connection of its own.
double scanMs(const QString &keyword, int *rows)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2("wenk.dat", &db, SQLITE_OPEN_READONLY, nullptr);
    installUnicodeLike(db);
    const QByteArray pattern = ('%' + keyword + '%').toUtf8();
    std::vector<double> runs;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, "SELECT id, name FROM mainfile WHERE text LIKE ?", -1, &st, nullptr);
        sqlite3_bind_text(st, 1, pattern.constData(), int(pattern.size()), SQLITE_TRANSIENT);
        *rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW) ++*rows;
        sqlite3_finalize(st);
        runs.push_back(t.nsecsElapsed() / 1e6);
    }
    sqlite3_close(db);
    return median(runs);
}

// Every 1,250th document (80 of 100,000) gets a sentence found nowhere else.
void plantRareSentence()
{
    sqlite3 *db = nullptr;
    sqlite3_open("wenk.dat", &db);
    sqlite3_exec(db,
                 "UPDATE mainfile SET text = text || ' 罕见的批注 Quixotic' WHERE id % 1250 = 0; "
                 "PRAGMA wal_checkpoint(TRUNCATE)",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

}  // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: wenk_bench_search FOLDER [KEYWORD...]\n");
        return 2;
    }
    QTemporaryDir work;
    if (!QFile::copy(QDir(args.takeFirst()).absoluteFilePath("wenk.dat"), work.filePath("wenk.dat"))) {
        std::fprintf(stderr, "no wenk.dat in that folder; write one with wenk_genlib\n");
        return 2;
    }
    QDir::setCurrent(work.path());
    plantRareSentence();
    const QStringList keywords =
        !args.isEmpty()
            ? args
            : QStringList{QStringLiteral("罕见的批注"), QStringLiteral("quixotic"),   QStringLiteral("罕见%quix"),
                          QStringLiteral("见"),         QStringLiteral("月"),         QStringLiteral("明月"),
                          QStringLiteral("研读书"),     QStringLiteral("明月 山河"),  QStringLiteral("oon"),
                          QStringLiteral("ancient "),   QStringLiteral("MOON"),       QStringLiteral("ЖУРНАЛ"),
                          QStringLiteral("zzqx"),       QStringLiteral("moon%river"), QStringLiteral("风 风 风 风")};

    if (!startProgram()) return 1;
    while (!startupWorker()->isFinished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents();
    std::printf("%d documents\n\n| keyword | rows | search | reading every body | faster |\n|---|---|---|---|---|\n",
                MastData->ADOTmain->recordCount());
    for (const QString &k : keywords) {
        const double indexed = searchMs(k);
        const int found = MastData->ADOQuery2->recordCount();
        int scanned = 0;
        const double scan = scanMs(k, &scanned);
        std::printf("| %s | %d%s | %.1f ms | %.1f ms | %.0f× |\n", qPrintable('"' + k + '"'), found,
                    found == scanned ? "" : " (DIFFERS FROM THE SCAN)", indexed, scan, scan / std::max(indexed, 0.01));
        std::fflush(stdout);
    }
    stopProgram();
    return 0;
}
