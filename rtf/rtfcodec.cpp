#include "rtf/rtfcodec.h"

#include <QTextDocument>

namespace rtf {

// Placeholder until the reader and writer land: plain text only.
bool read(const QByteArray &bytes, QTextDocument *doc)
{
    doc->setPlainText(QString::fromUtf8(bytes));
    return true;
}

QString plainText(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes);
}

QByteArray write(const QTextDocument &doc)
{
    return doc.toPlainText().toUtf8();
}

}  // namespace rtf
