#include "documents/linkinfo.h"

#include "data/Unit1.h"
#include "data/filter.h"
#include "data/schema.h"

#include <QTextEdit>

namespace {

// The names of the link's path, read from the topics as they are now.
QString pathLine(TMastData &d)
{
    TADOTable *topics = d.ADOTzt;
    QString line;
    for (int level = 1; level <= 4; ++level) {
        const qint64 id = d.ADOTgl2->fieldInt(schema::linkPathColumn(level));
        if (id <= 0) break;
        topics->setFiltered(false);
        topics->setFilter(QStringLiteral("id = ") + quotedFilterValue(QString::number(id)));
        topics->setFiltered(true);
        if (topics->recordCount() != 1) break;
        line += QLatin1Char('\\') + topics->fieldText("name");
    }
    return line;
}

}  // namespace

void readLinkInformation(TMastData &d, QStringList &lines)
{
    // Names as they are now, also after a rename in a tree: a copy of the
    // topics taken afresh, which costs nothing while they are unchanged.
    d.ADOTzt->close();
    d.ADOTzt->open();
    TADOTable *links = d.ADOTgl2;
    for (links->first(); !links->eof(); links->next()) lines << pathLine(d);
}

void showLinkInformation(TMastData &d, QTextEdit *memo)
{
    QStringList lines;
    memo->clear();
    try {
        readLinkInformation(d, lines);
    } catch (...) {
        memo->setPlainText(lines.join('\n'));
        throw;
    }
    memo->setPlainText(lines.join('\n'));
}
