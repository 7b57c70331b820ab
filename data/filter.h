#pragma once
#include <QString>

// A filter text is one comparison, "column = value", the value bare or
// between single quotes (inner quotes doubled). Anything else is refused.
struct FilterCondition {
    QString column;
    QString value;
};

FilterCondition parseFilter(const QString &text);  // throws DataError

// Quotes a value for a filter text: 12 -> '12', O'Neil -> 'O''Neil'.
QString quotedFilterValue(const QString &value);
