// Filing documents and showing where one is filed, on a library folder:
//   wenk_bench_linking FOLDER
// Works on a copy of the folder's wenk.dat. Prints the time of the link
// command for 1,000 documents selected in the list (from the button to the
// tree read again, the picker's own reload included, the user's choice not)
// and of the link information of a document filed under 20 topics.
#include "bench/common/benchprogram.h"
#include "data/Unit1.h"
#include "topics/Unitselectnode.h"
#include "topics/topictree.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace {

const int kFiledUnder = 20;

// Files document 1 under twenty topics before the program starts.
void fileFirstDocumentWidely(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_exec(db, "DELETE FROM gl WHERE fileid = 1", nullptr, nullptr, nullptr);
    for (int i = 0; i < kFiledUnder; ++i) {
        const QByteArray sql = QStringLiteral("INSERT INTO gl (ztid, fileid, aztid, bztid, cztid, dztid) "
                                              "SELECT d.id, 1, a.id, b.id, c.id, d.id FROM zt d "
                                              "JOIN zt c ON c.id = d.preid JOIN zt b ON b.id = c.preid "
                                              "JOIN zt a ON a.id = b.preid WHERE a.preid = 0 LIMIT 1 OFFSET %1")
                                   .arg(i * 13)
                                   .toUtf8();
        sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
}

}  // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: wenk_bench_linking FOLDER\n");
        return 2;
    }
    QTemporaryDir work;
    if (!startOnCopy(argv[1], work, fileFirstDocumentWidely)) return 1;

    // All documents by title; the first thousand selected.
    MainForm->Edit4->clear();
    MainForm->SpeedButton18Click();
    QAbstractItemModel *model = MainForm->DBGrid13->model();
    MainForm->DBGrid13->selectionModel()->select(QItemSelection(model->index(0, 0), model->index(999, 1)),
                                                 QItemSelectionModel::Select);
    pickWhenShown([](QTreeWidget *tree) { return tree->topLevelItem(3)->child(0)->child(0); });
    MessageBoxes::expectNext(MessageBoxes::Yes, QString());
    QElapsedTimer t;
    t.start();
    MainForm->SpeedButton7Click();
    const double linkMs = t.nsecsElapsed() / 1e6;
    MessageBoxes::takeFailures();  // the confirmation's text is not checked here
    const int boxes = int(MessageBoxes::takeShown().size());

    std::vector<double> info;
    for (int i = 0; i < 7; ++i) {
        MastData->ADOTmain->locate("id", 1);
        QElapsedTimer ti;
        ti.start();
        MainForm->btshowglxxClick();
        info.push_back(ti.nsecsElapsed() / 1e6);
    }
    std::sort(info.begin(), info.end());
    std::printf("link 1,000 selected documents: %.0f ms (%d message box: the confirmation)\n", linkMs, boxes);
    std::printf("link information of a document filed under %d topics: %.2f ms (median of 7), %d lines\n", kFiledUnder,
                info[3], MastData->ADOTgl2->recordCount());
    stopProgram();
    return 0;
}
