// Reads and writes a document of 1,000,000 Chinese characters whose format
// changes every few hundred characters, and prints the median times.
// The bar for each of read and write is 0.5 s; the exit code is 1 when missed.
#include "bench/common/sampledocument.h"
#include "rtf/rtfcodec.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Characters = 1'000'000;
constexpr int Runs = 7;
constexpr double Bar = 0.5;

template <typename F>
double median(F &&f)
{
    std::vector<double> times;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(t.nsecsElapsed() / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextDocument doc;
    fillSampleDocument(doc, Characters);
    QByteArray bytes;
    const double write = median([&] { bytes = rtf::write(doc); });
    const double read = median([&] {
        QTextDocument back;
        rtf::read(bytes, &back);
    });
    const double plain = median([&] { (void)rtf::plainText(bytes); });

    QTextDocument back;
    rtf::read(bytes, &back);
    const bool same = back.toPlainText() == doc.toPlainText();

    std::printf("document: %d characters, %d paragraphs, %lld bytes of RTF\n", Characters, doc.blockCount(),
                static_cast<long long>(bytes.size()));
    std::printf("write      median %.3f s (bar %.1f s) %s\n", write, Bar, write <= Bar ? "ok" : "TOO SLOW");
    std::printf("read       median %.3f s (bar %.1f s) %s\n", read, Bar, read <= Bar ? "ok" : "TOO SLOW");
    std::printf("plainText  median %.3f s\n", plain);
    std::printf("read back text %s\n", same ? "equal" : "DIFFERENT");
    return write <= Bar && read <= Bar && same ? 0 : 1;
}
