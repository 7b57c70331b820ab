// A second program on the library, for the reliability tests: it writes the
// way the program's commands do, through the data module, and says on
// standard output what it has committed.
//   wenk_libraryworker FOLDER add PREFIX N    topics and documents PREFIX-0 ...
//   wenk_libraryworker FOLDER save DOCS CHARS FROM
//       saves versions FROM, FROM + 1, ... of documents 1..DOCS until killed
#include "data/Unit1.h"
#include "data/dataerror.h"
#include "data/transaction.h"
#include "tests/reliability/versions.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <cstdio>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void add(TMastData &d, const QString &prefix, int n)
{
    d.ADOTable1->open();
    d.ADOTmain->open();
    // Both writers start together once the test says go.
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists("go") && waited.elapsed() < 30000) QThread::msleep(5);
    for (int i = 0; i < n; ++i) {
        const QString name = QStringLiteral("%1-%2").arg(prefix).arg(i);
        d.ADOTable1->append();  // takes the topic number
        d.ADOTable1->setFieldValue("name", name);
        d.ADOTable1->post();
        d.ADOTmain->append();
        d.ADOTmain->setFieldValue("name", name);
        d.ADOTmain->setFieldValue("text", QStringLiteral("正文 ") + name);
        d.ADOTmain->post();
        say(QStringLiteral("added %1").arg(name));
    }
}

void save(TMastData &d, int docs, int chars, qint64 from)
{
    d.ADOTmain->open();
    d.ADOTfile->open();
    for (qint64 version = from;; ++version) {
        for (qint64 doc = 1; doc <= docs; ++doc) {
            Transaction t(d.database(), {d.ADOTfile, d.ADOTmain});
            if (!d.ADOTmain->locate("id", doc)) throw DataError(QStringLiteral("no document %1").arg(doc));
            d.ADOTmain->edit();
            d.ADOTmain->setFieldValue("text", versionText(doc, version, chars));
            d.ADOTfile->edit();
            d.ADOTfile->setFieldValue("richtext", versionRtf(doc, version, chars));
            d.ADOTmain->post();
            t.commit();
            say(QStringLiteral("saved %1 %2").arg(doc).arg(version));
        }
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) return 2;
    QDir::setCurrent(args[1]);
    try {
        TMastData d;
        d.ADOConnection1->open();
        if (args[2] == "add") add(d, args[3], args[4].toInt());
        if (args[2] == "save") save(d, args[3].toInt(), args[4].toInt(), args.value(5, "1").toLongLong());
    } catch (const DataError &e) {
        say(QStringLiteral("error %1").arg(e.message()));
        return 1;
    }
    return 0;
}
