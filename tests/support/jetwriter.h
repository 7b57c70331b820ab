#pragma once
// Writes Jet 4.0 database files for tests: libraries of the Windows version
// of the program, and files that break them.
#include <QByteArray>
#include <QString>
#include <QVariant>
#include <functional>
#include <set>
#include <vector>

namespace jet {

enum class ColType { Long, Int, Text, Memo, Ole };

struct Column {
    QString name;
    ColType type;
    int size = 0;  // characters, for Text
};

struct Table {
    QString name;
    std::vector<Column> columns;
    std::vector<QVariantList> rows;  // a null QVariant is NULL; Long/Int: int; Text/Memo: QString; Ole: QByteArray
    // Rows produced on demand instead (for big files): called with i = 0, 1, ... until it returns false.
    std::function<bool(qint64 i, QVariantList &row)> rowSource;
    // Row indexes (into rows) written as deleted: the row's bytes stay on the
    // page, its offset carries the 0x8000 flag, and the table's row count
    // leaves it out.
    std::set<int> deletedRows = {};
    // Row indexes written as overflow rows: the slot on the row's page holds
    // a 4-byte data pointer (page << 8 | row) flagged 0x4000, and the row
    // itself stands on a later data page of the same table.
    std::set<int> overflowRows = {};
};

struct Options {
    bool compressText = true;  // use the 0xFF 0xFE compressed form where it is shorter
};

// Writes the tables to a new Jet 4.0 file at path (replacing any file there).
// Throws std::runtime_error when it cannot write.
void writeFile(const QString &path, const std::vector<Table> &tables, const Options &options = {});

// The six tables of a library of the Windows version, with their columns and no rows:
// mainfile(id Long, name Text 200, text Memo, times Long, othersource Text 200, othersourceb Text 50),
// richfile(id Long, fileid Long, richtext Memo), zt(id Long, name Text 50, itno Long, preid Long),
// gl(id Long, ztid Long, fileid Long, aztid Long, bztid Long, cztid Long, dztid Long),
// temp(num Long), upmain(id Long, name Text 200, text Memo).
std::vector<Table> libraryTables();
// The table of that name in tables (throws when absent), for filling rows.
Table &table(std::vector<Table> &tables, const QString &name);

}  // namespace jet
