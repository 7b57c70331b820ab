// Feeds arbitrary bytes to the RTF reader. Besides crashes and sanitizer
// reports it stops on two broken promises: the plain text must have the
// document's positions, and what the writer makes of the document must read
// back to the same text.
#include "rtf/rtfcodec.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QTextDocument doc;
    rtf::read(bytes, &doc);
    const QString text = doc.toPlainText();
    if (rtf::plainText(bytes) != text) std::abort();
    QTextDocument back;
    rtf::read(rtf::write(doc), &back);
    if (back.toPlainText() != text) std::abort();
    return 0;
}
