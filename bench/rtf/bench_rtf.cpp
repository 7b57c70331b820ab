// Reads and writes a document of 1,000,000 Chinese characters whose format
// changes every few hundred characters, and prints the median times.
// The bar for each of read and write is 0.5 s; the exit code is 1 when missed.
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

void fill(QTextDocument &doc)
{
    QTextCursor c(&doc);
    const QString families[] = {QString::fromUtf16(u"宋体"), QString::fromUtf16(u"黑体"), "Arial"};
    const QColor colors[] = {QColor(), Qt::red, Qt::blue};
    int written = 0;
    int run = 0;
    while (written < Characters) {
        const int length = std::min(200 + (run * 37) % 300, Characters - written);
        QString text(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            text[i] = QChar(0x4E00 + (written + i) * 7 % 20000);
        QTextCharFormat f;
        f.setFontWeight(run % 2 ? QFont::Bold : QFont::Normal);
        f.setFontItalic(run % 3 == 0);
        f.setFontUnderline(run % 5 == 0);
        f.setFontPointSize(9 + run % 4 * 1.5);
        f.setFontFamilies({families[run % 3]});
        if (colors[run % 3].isValid())
            f.setForeground(colors[run % 3]);
        c.insertText(text, f);
        written += length;
        if (++run % 3 == 0 && written < Characters) {
            QTextBlockFormat b;
            b.setAlignment(run % 2 ? Qt::AlignHCenter : Qt::AlignLeft);
            c.insertBlock(b);
        }
    }
}

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
    fill(doc);
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

    std::printf("document: %d characters, %d paragraphs, %lld bytes of RTF\n", Characters,
                doc.blockCount(), static_cast<long long>(bytes.size()));
    std::printf("write      median %.3f s (bar %.1f s) %s\n", write, Bar, write <= Bar ? "ok" : "TOO SLOW");
    std::printf("read       median %.3f s (bar %.1f s) %s\n", read, Bar, read <= Bar ? "ok" : "TOO SLOW");
    std::printf("plainText  median %.3f s\n", plain);
    std::printf("read back text %s\n", same ? "equal" : "DIFFERENT");
    return write <= Bar && read <= Bar && same ? 0 : 1;
}
