#include "tests/support/program.h"

#include "app/UnitMYTH.h"
#include "app/startup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTreeWidget>

ProgramRun::ProgramRun() : started_(startProgram())
{
    if (started_) settle();
}

ProgramRun::~ProgramRun()
{
    if (started_) stopProgram();
}

void ProgramRun::settle()
{
    QElapsedTimer t;
    t.start();
    while (startupWorker() && !startupWorker()->isFinished() && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
}

namespace {
void appendNode(QString &out, const QTreeWidgetItem *node, int depth)
{
    out += QString(depth * 2, ' ') + node->text(0) + '\n';
    for (int i = 0; i < node->childCount(); ++i) appendNode(out, node->child(i), depth + 1);
}
}  // namespace

QString treeText(const QTreeWidget *tree)
{
    QString out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) appendNode(out, tree->topLevelItem(i), 0);
    return out;
}
