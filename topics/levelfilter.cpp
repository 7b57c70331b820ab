#include "topics/levelfilter.h"

#include "data/dataset.h"
#include "data/filter.h"

void filterToChildren(TDataSet *topics, qint64 parentId, FilterText text)
{
    const QString prefix = text == FilterText::Reload ? QStringLiteral("preid = ") : QStringLiteral("preid =");
    topics->setFiltered(false);
    topics->setFilter(prefix + quotedFilterValue(QString::number(parentId)));
    topics->setFiltered(true);
}
