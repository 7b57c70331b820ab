#include "data/schema.h"

const ColumnDef *TableDef::column(const QString &n) const
{
    for (const ColumnDef &c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

QStringList TableDef::smallColumns() const
{
    QStringList out;
    for (const ColumnDef &c : columns)
        if (!c.isMemo()) out << c.name;
    return out;
}

namespace schema {

const std::vector<TableDef> &tables()
{
    using T = ColumnType;
    static const std::vector<TableDef> defs = {
        {"mainfile",
         {{"id", T::Integer},
          {"name", T::Text, 200},
          {"text", T::Memo},
          {"times", T::Integer},
          {"othersource", T::Text, 200},
          {"othersourceb", T::Text, 50}}},
        {"richfile", {{"id", T::Integer}, {"fileid", T::Integer}, {"richtext", T::Blob}}},
        {"zt", {{"id", T::Integer}, {"name", T::Text, 50}, {"itno", T::Integer}, {"preid", T::Integer}}},
        {"gl",
         {{"id", T::Integer},
          {"ztid", T::Integer},
          {"fileid", T::Integer},
          {"aztid", T::Integer},
          {"bztid", T::Integer},
          {"cztid", T::Integer},
          {"dztid", T::Integer}}},
        {"temp", {{"num", T::Integer}}},
        {"upmain", {{"id", T::Integer}, {"name", T::Text, 200}, {"text", T::Memo}}},
    };
    return defs;
}

const TableDef *table(const QString &name)
{
    for (const TableDef &t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

QStringList createStatements()
{
    return {
        "CREATE TABLE mainfile (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, text TEXT, "
        "times INTEGER, othersource TEXT, othersourceb TEXT)",
        "CREATE TABLE richfile (id INTEGER PRIMARY KEY AUTOINCREMENT, fileid INTEGER, richtext BLOB)",
        "CREATE TABLE zt (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, itno INTEGER, preid INTEGER)",
        "CREATE TABLE gl (id INTEGER PRIMARY KEY AUTOINCREMENT, ztid INTEGER, fileid INTEGER, "
        "aztid INTEGER, bztid INTEGER, cztid INTEGER, dztid INTEGER)",
        "CREATE TABLE temp (num INTEGER)",
        "CREATE TABLE upmain (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, text TEXT)",
    };
}

QStringList additionStatements()
{
    QStringList all{
        "CREATE INDEX IF NOT EXISTS wenk_gl_ztid ON gl (ztid)",
        "CREATE INDEX IF NOT EXISTS wenk_gl_fileid ON gl (fileid)",
        "CREATE INDEX IF NOT EXISTS wenk_zt_preid ON zt (preid)",
        "CREATE INDEX IF NOT EXISTS wenk_richfile_fileid ON richfile (fileid, id)",
        // The short columns of the tables with long ones, so copying them on
        // open reads this index and not every body in the file.
        "CREATE INDEX IF NOT EXISTS wenk_mainfile_list ON mainfile (id, name, times, othersource, othersourceb)",
        // Highest id ever handed out, for tables whose key the engine does
        // not number itself without reuse.
        "CREATE TABLE IF NOT EXISTS wenk_sequence (name TEXT PRIMARY KEY, last INTEGER NOT NULL)",
    };
    // A count of the writes to the library, by any program, so that a backup
    // can tell whether anything changed since the last one.
    all << "CREATE TABLE IF NOT EXISTS wenk_changes (n INTEGER NOT NULL)"
        << "INSERT INTO wenk_changes (n) SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM wenk_changes)";
    for (const char *table : {"mainfile", "richfile", "zt", "gl", "temp"})
        for (const char *op : {"INSERT", "UPDATE", "DELETE"})
            all << QStringLiteral("CREATE TRIGGER IF NOT EXISTS wenk_changes_%1_%2 AFTER %3 ON %1 BEGIN "
                                  "UPDATE wenk_changes SET n = n + 1; END")
                       .arg(QString::fromLatin1(table), QString::fromLatin1(op).toLower(), QString::fromLatin1(op));
    return all;
}

QString listIndex(const QString &table)
{
    if (table.compare("mainfile", Qt::CaseInsensitive) == 0) return "wenk_mainfile_list";
    if (table.compare("richfile", Qt::CaseInsensitive) == 0) return "wenk_richfile_fileid";
    return {};
}

QString linkPathColumn(int level)
{
    static const char *const columns[] = {"aztid", "bztid", "cztid", "dztid"};
    return QString::fromLatin1(columns[level - 1]);
}

}  // namespace schema
