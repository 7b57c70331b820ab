#include "rtf/rtfcodec.h"

#include "rtf/builder.h"
#include "rtf/reader.h"
#include "rtf/writer.h"

#include <QTextDocument>

namespace rtf {

bool read(const QByteArray &bytes, QTextDocument *doc)
{
    Content content;
    const bool ok = parse(bytes, &content);
    build(content, doc);
    return ok;
}

QString plainText(const QByteArray &bytes)
{
    Content content;
    parse(bytes, &content);
    return plainTextOf(content);
}

QByteArray write(const QTextDocument &doc)
{
    return writeDocument(doc);
}

QString storedText(const QTextDocument &doc)
{
    return doc.toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

}  // namespace rtf
