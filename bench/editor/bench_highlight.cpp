// In the real program on a library file, with a document of 1,000,000
// Chinese characters open that holds its keyword 10,000 times: the keyword
// highlight view (bar 0.3 s), a mark "M" and a step back to a mark in it
// (bar 20 ms each), median of 5 runs.
#include "app/main.h"
#include "bench/common/sampledocument.h"
#include "data/Unit1.h"
#include "documents/Unit3.h"
#include "editor/childwin.h"
#include "rtf/rtfcodec.h"
#include "tests/support/fixture.h"
#include "tests/support/program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Characters = 1'000'000;
constexpr int Occurrences = 10'000;
const QString Keyword = QStringLiteral("明月");

QByteArray bodyWithKeyword()
{
    QTextDocument doc;
    fillSampleDocumentWith(doc, Characters, Occurrences, {{0, Keyword}});
    return rtf::write(doc);
}

double medianOf(const std::function<void()> &run, const std::function<void()> &between = {})
{
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        times.push_back(t.nsecsElapsed() / 1e6);
        if (between) between();
    }
    std::sort(times.begin(), times.end());
    return times[2];
}

}  // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LibraryFixture lib;
    lib.document(QStringLiteral("长文"), QString(), bodyWithKeyword());
    lib.document(QStringLiteral("短文"), QString(), rtf::write(QTextDocument(QStringLiteral("短"))));
    lib.write();
    ProgramRun run;
    MastData->ADOTmain->locate("id", 1);
    MainForm->BitBtn3Click();
    TMDIChild *editor = MainForm->activeEditor();
    editor->Edit2->setText(Keyword);

    const double highlight = medianOf(
        [&] {
            editor->SpeedButton3->click();
            QCoreApplication::processEvents();  // shown
        },
        [&] { editor->SpeedButton3->click(); });
    int blue = 0;
    for (QTextBlock b = editor->RichEdit3->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().foreground().color() == QColor(0, 0, 255)) blue += it.fragment().length();

    QTextCursor c = editor->RichEdit1->textCursor();
    c.setPosition(Characters / 2);
    editor->RichEdit1->setTextCursor(c);
    const double mark = medianOf([&] { MainForm->SpeedButton5Click(); });
    // Another document in front, then a step back to a mark of the long one.
    MastData->ADOTmain->locate("id", 2);
    MainForm->BitBtn3Click();
    MainForm->SpeedButton5Click();
    const double step = medianOf(
        [&] {
            Form3->selectMark(MainForm->MarkCount - 1);
            MainForm->SpeedButton11Click();
            QCoreApplication::processEvents();
        },
        [&] {
            MastData->ADOTmain->locate("id", 2);
            MainForm->BitBtn3Click();
        });
    std::printf("highlight of %d occurrences in %d characters: %.0f ms (median of 5), %d characters blue, bar 300 ms\n",
                Occurrences, Characters, highlight, blue);
    std::printf("mark \"M\": %.2f ms; step to a mark of an open document: %.1f ms (medians of 5), bar 20 ms\n", mark,
                step);
    return blue == Occurrences * 2 ? 0 : 1;
}
