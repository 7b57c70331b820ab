#pragma once
// The texts the reliability workers write: version v of document d, with a
// head line that names both, so that a reader can tell which version a row
// holds and check it whole.
#include <QByteArray>
#include <QString>

inline QString versionText(qint64 doc, qint64 version, int chars)
{
    QString text = QStringLiteral("doc %1 version %2;\r\n").arg(doc).arg(version);
    const QString line = QStringLiteral("第%1版 月落乌啼霜满天 moon river %2\r\n").arg(version).arg(doc);
    while (text.size() < chars) text += line;
    text.truncate(chars);
    return text;
}

// A body the editor could have written for that text: plain RTF.
inline QByteArray versionRtf(qint64 doc, qint64 version, int chars)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0 ";
    for (QChar c : versionText(doc, version, chars)) {
        if (c == '\n')
            rtf += "\\par\n";
        else if (c == '\r')
            continue;
        else if (c.unicode() < 0x80)
            rtf += char(c.unicode());
        else
            rtf += "\\u" + QByteArray::number(qint16(c.unicode())) + '?';
    }
    return rtf + "}";
}

// The version a stored text names in its head line; -1 when none.
inline qint64 versionOf(const QString &text)
{
    const int at = text.indexOf(QStringLiteral(" version "));
    const int end = text.indexOf(';');
    if (at < 0 || end < at) return -1;
    bool ok = false;
    const qint64 v = text.mid(at + 9, end - at - 9).toLongLong(&ok);
    return ok ? v : -1;
}
