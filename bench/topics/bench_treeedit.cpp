// Editing the topic tree of the main window on a library folder:
//   wenk_bench_treeedit FOLDER
// Works on a copy of the folder's wenk.dat. Prints the median of seven runs
// of adding, renaming and deleting a topic (from the command to the row in
// the file) and of moving one (which reloads the tree). The folder is a
// library written by wenk_genlib.
#include "bench/common/benchprogram.h"
#include "data/Unit1.h"
#include "topics/topictree.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

namespace {

TTopicTree *tree()
{
    return MainForm->tree;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A level-4 topic, a different one each time.
QTreeWidgetItem *leaf(int n)
{
    int seen = 0;
    for (QTreeWidgetItemIterator it(tree()->TreeView1); *it; ++it)
        if (TTopicTree::level(*it) == 4 && seen++ == n * 7) return *it;
    return nullptr;
}

void click(QTreeWidgetItem *node)
{
    tree()->TreeView1->setCurrentItem(node);
    MainForm->TreeView1Click();
}

// Types the text into the open label editor and presses Enter.
void accept(const QString &text)
{
    QLineEdit *editor = tree()->TreeView1->viewport()->findChild<QLineEdit *>();
    editor->setText(text);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(editor, &enter);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <class Run>
double timed(Run run)
{
    std::vector<double> ms;
    for (int i = 0; i < 7; ++i) {
        QTreeWidgetItem *node = leaf(i);
        if (!node) break;
        click(node);
        QElapsedTimer t;
        t.start();
        run(i);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(ms);
}

}  // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: wenk_bench_treeedit FOLDER\n");
        return 2;
    }
    QTemporaryDir work;
    if (!startOnCopy(argv[1], work)) return 1;

    const double add = timed([](int i) {
        tree()->SpeedButton8Click();
        accept(QStringLiteral("新专题%1").arg(i));
    });
    MainForm->SpeedButton16Click();
    const double rename = timed([](int i) {
        tree()->SpeedButton13Click();
        accept(QStringLiteral("改名%1").arg(i));
    });
    MainForm->SpeedButton16Click();
    const double move = timed([](int) { tree()->SpeedButton14Click(); });
    const double remove = timed([](int) {
        MessageBoxes::expectNext(MessageBoxes::Yes, QString());
        tree()->SpeedButton12Click();
        MessageBoxes::takeFailures();  // the question's text is not checked here
    });
    std::printf("topics in the tree: %d roots\n", tree()->TreeView1->topLevelItemCount());
    std::printf("add a topic:    %6.1f ms (median of 7)\n", add);
    std::printf("rename a topic: %6.1f ms\n", rename);
    std::printf("delete a topic: %6.1f ms\n", remove);
    std::printf("move a topic:   %6.1f ms (with the tree reload)\n", move);
    stopProgram();
    return 0;
}
