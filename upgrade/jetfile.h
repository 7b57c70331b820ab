#pragma once
// Reading a library of the Windows version: a Jet 4.0 database file, read
// with libmdb. Texts are decoded here rather than by libmdb, which would cut
// long memo values at its buffer size.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

struct JetError {
    QString message;
};

class JetFile {
public:
    // True when the file begins like a Jet or Access database.
    static bool looksLikeJet(const QString &path);

    // Opens the file and reads its catalog; throws JetError saying what is
    // wrong (not a Jet file, unreadable or encrypted).
    explicit JetFile(const QString &path);
    ~JetFile();
    JetFile(const JetFile &) = delete;
    JetFile &operator=(const JetFile &) = delete;

    QString path() const { return path_; }
    QStringList tableNames() const;  // the user tables, as stored
    bool hasTable(const QString &table) const;
    // Column names of a table, as stored; empty when there is no such table.
    QStringList columnNames(const QString &table);
    // The row count the table's definition records.
    qint64 rowCount(const QString &table);

    // Calls row with the values of the given columns (matched without regard
    // to letter case; a column the table lacks reads as null) for every row,
    // until row returns false. Integers read as qint64, texts and memos as
    // QString, binary values as QByteArray, NULL as a null QVariant. Returns
    // false when row stopped it.
    // Deleted rows are passed over; rows moved to another page are read
    // there; damaged rows and long values are noted in problems().
    bool readRows(const QString &table, const QStringList &columns,
                  const std::function<bool(const QVariantList &)> &row);

    // What could not be read whole, one line each, as the user reads it.
    QStringList problems() const;

private:
    struct Handle;
    QString path_;
    std::unique_ptr<Handle> h_;
};
