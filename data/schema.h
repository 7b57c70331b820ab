#pragma once
#include <QString>
#include <QStringList>
#include <vector>

enum class ColumnType { Integer, Text, Memo, Blob };

struct ColumnDef {
    QString name;
    ColumnType type;
    int size = 0;  // characters, for Text columns

    bool isMemo() const { return type == ColumnType::Memo || type == ColumnType::Blob; }
};

struct TableDef {
    QString name;
    std::vector<ColumnDef> columns;

    const ColumnDef *column(const QString &name) const;
    QStringList smallColumns() const;  // every column that is copied on open
};

namespace schema {

// The library file, found in the working folder.
inline const QString libraryFileName = QStringLiteral("wenk.dat");

// The six tables of a library, with their columns.
const std::vector<TableDef> &tables();
const TableDef *table(const QString &name);

// Statements that make an empty library.
QStringList createStatements();

// What the program adds to a library it opens: lookup indexes.
QStringList additionStatements();

// The path column of a link for a level from 1 to 4: aztid, bztid, cztid,
// dztid, holding the id of the topic of that level on the linked topic's path.
QString linkPathColumn(int level);

// The index that holds every short column of a table with long ones.
QString listIndex(const QString &table);

}  // namespace schema
