#pragma once
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

// A static copy of rows, stored by column so that a large table costs little
// memory. Row numbers are stable: a removed row is only marked dead. Orders
// and key indexes are built on first use and kept up to date on writes.
class RowSet {
public:
    RowSet(const QStringList &columns, const std::vector<bool> &textColumns);

    // Reads every row of stmt: column 0 is the row id, the rest are columns().
    static std::shared_ptr<RowSet> read(Statement &stmt, const QStringList &columns,
                                        const std::vector<bool> &textColumns, qint64 expectedRows = 0);
    void reserve(size_t rows);
    std::shared_ptr<RowSet> clone() const;
    // Puts freshly read rows into row id order (an index may deliver others).
    void sortByRowid();

    const QStringList &columns() const { return names_; }
    int columnIndex(const QString &name) const;
    bool isText(int col) const { return cols_[col].text; }

    int size() const { return int(rowids_.size()); }
    bool isLive(int row) const { return !dead_[row]; }
    qint64 rowid(int row) const { return rowids_[row]; }
    int rowOf(qint64 rowid) const;  // -1 when absent or removed

    QVariant value(int row, int col) const;
    bool isNull(int row, int col) const;
    qint64 intValue(int row, int col) const;

    int append(qint64 rowid);  // a new live row, every column empty
    void setValue(int row, int col, const QVariant &value);
    void remove(int row);

    // Live rows ordered by sortCol, ties by row id; -1 keeps the order read.
    RowRange ordered(int sortCol) const;
    // Live rows whose keyCol equals key, in the same order.
    RowRange matching(int keyCol, const QVariant &key, int sortCol) const;

    bool lessThan(int a, int b, int sortCol) const;

private:
    struct Column {
        bool text = false;
        std::vector<qint64> ints;
        std::vector<unsigned char> nulls;
        std::vector<QString> strs;
    };
    // Live rows with a value in keyCol, ordered by that value, then as ordered().
    struct KeyIndex {
        int keyCol;
        int sortCol;
        std::vector<int> rows;
    };
    KeyIndex &index(int keyCol, int sortCol) const;
    bool indexLess(const KeyIndex &idx, int a, int b) const;
    void sortByIntColumn(std::vector<int> &rows, int sortCol) const;
    int compareKey(int row, int col, const QVariant &key) const;
    void unindex(int row);
    void reindex(int row);

    QStringList names_;
    std::vector<Column> cols_;
    std::vector<qint64> rowids_;
    std::vector<unsigned char> dead_;
    mutable QHash<qint64, int> byRowid_;
    mutable bool byRowidValid_ = false;
    mutable std::map<int, std::vector<int>> orders_;
    mutable std::vector<std::unique_ptr<KeyIndex>> indexes_;
};
