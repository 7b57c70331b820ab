#include "data/filter.h"

#include "data/dataerror.h"

FilterCondition parseFilter(const QString &text)
{
    const QString t = text.trimmed();
    const int eq = t.indexOf('=');
    if (eq <= 0) throw DataError(QStringLiteral("无法识别的过滤条件：%1").arg(text));
    FilterCondition f;
    f.column = t.left(eq).trimmed();
    for (QChar c : f.column)
        if (!(c.isLetterOrNumber() || c == '_')) throw DataError(QStringLiteral("无法识别的过滤条件：%1").arg(text));
    QString v = t.mid(eq + 1).trimmed();
    if (f.column.isEmpty() || v.isEmpty()) throw DataError(QStringLiteral("无法识别的过滤条件：%1").arg(text));
    if (v.startsWith('\'')) {
        if (v.size() < 2 || !v.endsWith('\'')) throw DataError(QStringLiteral("过滤条件的引号不成对：%1").arg(text));
        QString inner = v.mid(1, v.size() - 2);
        QString out;
        for (int i = 0; i < inner.size(); ++i) {
            if (inner[i] == '\'') {
                if (i + 1 < inner.size() && inner[i + 1] == '\'') {
                    out += '\'';
                    ++i;
                    continue;
                }
                throw DataError(QStringLiteral("过滤条件的引号不成对：%1").arg(text));
            }
            out += inner[i];
        }
        f.value = out;
    } else {
        for (QChar c : v)
            if (c.isSpace() || c == '\'') throw DataError(QStringLiteral("无法识别的过滤条件：%1").arg(text));
        f.value = v;
    }
    return f;
}

QString quotedFilterValue(const QString &value)
{
    QString v = value;
    v.replace('\'', QLatin1String("''"));
    return '\'' + v + '\'';
}
