#pragma once
#include "data/chunks.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <map>
#include <memory>
#include <vector>

class Statement;

// A run of row numbers inside a RowSet's order or index; valid until the
// RowSet it came from is written to.
class RowRange {
public:
    RowRange() = default;
    RowRange(const int *b, const int *e) : b_(b), e_(e) {}
    explicit RowRange(const std::vector<int> &v) : b_(v.data()), e_(v.data() + v.size()) {}
    const int *begin() const { return b_; }
    const int *end() const { return e_; }
    size_t size() const { return size_t(e_ - b_); }
    bool empty() const { return b_ == e_; }
    int operator[](size_t i) const { return b_[i]; }

private:
    const int *b_ = nullptr;
    const int *e_ = nullptr;
};

// A static copy of rows, stored by column in chunks that copies share until
// one of them writes (chunks.h): clone() is cheap, and a write costs the
// chunk it touches. Row numbers are stable: a removed row is only marked
// dead. Rows stand in row id order, so a row id is found by binary search.
// Orders and key indexes are built on first use, shared by clones, and
// kept up to date row by row on writes.
class RowSet {
public:
    RowSet(const QStringList &columns, const std::vector<bool> &textColumns);

    // Reads every row of stmt: column 0 is the row id, the rest are columns().
    static std::shared_ptr<RowSet> read(Statement &stmt, const QStringList &columns,
                                        const std::vector<bool> &textColumns);
    std::shared_ptr<RowSet> clone() const;
    // An empty copy with the same columns.
    std::shared_ptr<RowSet> emptyLike() const;
    // Puts freshly read rows into row id order (an index may deliver others).
    void sortByRowid();

    const QStringList &columns() const { return names_; }
    int columnIndex(const QString &name) const;
    bool isText(int col) const { return cols_[size_t(col)].text; }

    int size() const { return size_; }
    bool isLive(int row) const { return !meta_.at(row).dead[size_t(chunks::slotOf(row))]; }
    qint64 rowid(int row) const { return meta_.at(row).rowids[size_t(chunks::slotOf(row))]; }
    int rowOf(qint64 rowid) const;  // -1 when absent or removed

    QVariant value(int row, int col) const;
    bool isNull(int row, int col) const;
    qint64 intValue(int row, int col) const;
    QStringView text(int row, int col) const;

    int append(qint64 rowid);  // a new live row, every column empty
    void setValue(int row, int col, const QVariant &value);
    void setRow(int row, const QVariantList &values);  // one value per column
    void remove(int row);

    // Live rows ordered by sortCol (text with letter case ignored), ties by
    // row id, empty values first; -1 keeps row id order.
    RowRange ordered(int sortCol) const;
    // Live rows whose keyCol equals key, in the same order.
    RowRange matching(int keyCol, const QVariant &key, int sortCol) const;

    bool lessThan(int a, int b, int sortCol) const;

private:
    struct Column {
        bool text = false;
        chunks::List<chunks::Ints> ints;
        chunks::List<chunks::Texts> texts;
    };
    using Rows = std::shared_ptr<std::vector<int>>;
    // Live rows with a value in keyCol, ordered by that value, then as ordered().
    struct KeyIndex {
        int keyCol;
        int sortCol;
        Rows rows;
    };
    void pushValue(Column &c, const QVariant &value);
    std::vector<int> &writable(Rows &rows);
    bool keyLess(int keyCol, int a, int b) const;
    bool indexLess(const KeyIndex &idx, int a, int b) const;
    void sortByIntColumn(std::vector<int> &rows, int sortCol) const;
    void sortByTextColumn(std::vector<int> &rows, int sortCol) const;
    int compareKey(int row, int col, const QVariant &key) const;
    // Take a row out of the orders and indexes that col decides (-2: all)
    // before a write, and put it back after.
    void unindex(int row, int col);
    void reindex(int row, int col);

    QStringList names_;
    std::vector<Column> cols_;
    chunks::List<chunks::Meta> meta_;
    int size_ = 0;
    bool rowidsSorted_ = true;
    mutable QHash<qint64, int> byRowid_;  // only once row ids came out of order
    mutable bool byRowidValid_ = false;
    mutable std::map<int, Rows> orders_;
    mutable std::vector<KeyIndex> indexes_;
};
