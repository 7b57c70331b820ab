#pragma once
// What this program wrote to the library, row by row, with each row as it
// was before the write. Copies are brought up to date from it (re-reading
// only the rows written since the copy was taken), and a copy taken lazily
// is wound back with it to the moment its dataset was opened.
#include <QHash>
#include <QString>
#include <QVariant>
#include <deque>
#include <map>
#include <set>
#include <vector>

// One row at some moment: absent, or the values of its short columns.
struct RowImage {
    bool exists = false;
    QVariantList values;
};

struct Change {
    quint64 moment;  // increases by one with every change
    qint64 rowid;
    const void *writer;  // the dataset that wrote, if any
    RowImage before;
};

class Journal {
public:
    quint64 now() const { return moment_; }
    void record(const QString &table, qint64 rowid, const void *writer, RowImage before);
    // Something changed that the journal cannot describe (another program,
    // a statement of unknown effect): no copy from before it is current.
    void recordUnknown() { unknownSince_ = ++moment_; }
    quint64 unknownSince() const { return unknownSince_; }

    bool changedSince(const QString &table, quint64 moment) const;
    // The changes of table after moment, oldest first.
    std::vector<const Change *> changesAfter(const QString &table, quint64 moment) const;
    // The same, by row: each row's changes oldest first.
    std::map<qint64, std::vector<const Change *>> changesByRow(const QString &table, quint64 moment) const;
    // Every table and row changed after moment.
    std::vector<std::pair<QString, qint64>> rowsChangedAfter(quint64 moment) const;

    // Moments that copies still need; older changes are forgotten.
    void hold(const QString &table, quint64 moment) { held_[table].insert(moment); }
    void release(const QString &table, quint64 moment);
    void forgetBefore(const QString &table, quint64 moment);
    size_t size(const QString &table) const;
    quint64 oldestHeld(const QString &table) const;

private:
    quint64 moment_ = 0;
    quint64 unknownSince_ = 0;
    QHash<QString, std::deque<Change>> log_;
    QHash<QString, std::multiset<quint64>> held_;
};
