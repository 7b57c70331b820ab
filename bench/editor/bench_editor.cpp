// Opens and saves a document of 1,000,000 Chinese characters whose format
// changes every few hundred characters, in the real program on a library
// file, and prints the median times of 5 runs. Bar: 1 s each.
#include "app/main.h"
#include "bench/common/sampledocument.h"
#include "data/Unit1.h"
#include "editor/childwin.h"
#include "rtf/rtfcodec.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"
#include "ui/messagebox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QTextCursor>
#include <QTextDocument>

#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Characters = 1'000'000;
constexpr int Runs = 5;
constexpr double Bar = 1.0;

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double seconds(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e9;
}

// The open command as the grid's double click runs it, until the window
// has been shown and painted.
double timeOpen(qint64 id)
{
    MastData->ADOTmain->locate("id", id);
    QElapsedTimer t;
    t.start();
    MainForm->BitBtn3Click();
    QCoreApplication::processEvents();
    return seconds(t);
}

// One edit at the start, then the save command.
double timeSave(TMDIChild *editor)
{
    QTextCursor(editor->RichEdit1->document()).insertText(QStringLiteral("改"));
    QElapsedTimer t;
    t.start();
    MainForm->ToolButton31Click();
    return seconds(t);
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The save's filing question is answered No, as an unfiled document's is.
    MessageBoxes::setTestMode(true);

    QTextDocument doc;
    fillSampleDocument(doc, Characters);
    const QByteArray bytes = rtf::write(doc);
    LibraryFixture lib;
    const qint64 id = lib.document(QStringLiteral("百万字"), doc.toPlainText(), bytes);
    lib.write();
    ProgramRun run;
    if (!run.started()) return 2;

    std::vector<double> opens;
    for (int i = 0; i < Runs; ++i) {
        opens.push_back(timeOpen(id));
        TMDIChild *editor = MainForm->activeEditor();
        editor->clearModified();
        qobject_cast<QMdiSubWindow *>(editor->parentWidget())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    timeOpen(id);
    TMDIChild *editor = MainForm->activeEditor();
    const int length = editor->RichEdit1->document()->characterCount() - 1;
    std::vector<double> saves;
    for (int i = 0; i < Runs; ++i) saves.push_back(timeSave(editor));

    // The saves really reached the file.
    const QString stored = lib.scalar(QStringLiteral("SELECT text FROM mainfile WHERE id = %1").arg(id)).toString();
    const QByteArray storedRtf =
        lib.scalar(QStringLiteral("SELECT richtext FROM richfile WHERE fileid = %1").arg(id)).toByteArray();
    const bool written = stored.startsWith(QString(Runs, QChar(0x6539))) &&
                         rtf::plainText(storedRtf).startsWith(QString(Runs, QChar(0x6539)));

    const double open = median(opens), save = median(saves);
    std::printf("document: %d characters, %d paragraphs, %lld bytes of RTF\n", length,
                editor->RichEdit1->document()->blockCount(), static_cast<long long>(bytes.size()));
    std::printf("open  median %.3f s of %d runs (bar %.1f s) %s\n", open, Runs, Bar, open <= Bar ? "ok" : "TOO SLOW");
    std::printf("save  median %.3f s of %d runs (bar %.1f s) %s\n", save, Runs, Bar, save <= Bar ? "ok" : "TOO SLOW");
    std::printf("saved text and body in the file: %s\n", written ? "yes" : "NO");
    return open <= Bar && save <= Bar && written ? 0 : 1;
}
