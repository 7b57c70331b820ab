#include "data/rowset.h"

#include "data/database.h"

#include <algorithm>

namespace {

// Keys compare as integers when both are, else as text; empty keys first.
bool keyLess(const QVariant &a, const QVariant &b)
{
    if (!a.isValid() || !b.isValid()) return !a.isValid() && b.isValid();
    if (a.typeId() == QMetaType::LongLong && b.typeId() == QMetaType::LongLong)
        return a.toLongLong() < b.toLongLong();
    return a.toString() < b.toString();
}

const std::vector<int> kNoRows;

}  // namespace

RowSet::RowSet(const QStringList &columns, const std::vector<bool> &textColumns) : names_(columns)
{
    cols_.resize(columns.size());
    for (int i = 0; i < int(textColumns.size()) && i < columns.size(); ++i)
        cols_[i].text = textColumns[i];
}

std::shared_ptr<RowSet> RowSet::read(Statement &stmt, const QStringList &columns,
                                     const std::vector<bool> &textColumns)
{
    auto rows = std::make_shared<RowSet>(columns, textColumns);
    const int n = columns.size();
    while (stmt.step()) {
        int r = rows->append(stmt.columnInt(0));
        for (int c = 0; c < n; ++c) {
            if (stmt.isNull(c + 1)) continue;
            Column &col = rows->cols_[c];
            if (col.text) {
                col.strs[r] = stmt.columnText(c + 1);
            } else {
                col.ints[r] = stmt.columnInt(c + 1);
                col.nulls[r] = 0;
            }
        }
    }
    return rows;
}

std::shared_ptr<RowSet> RowSet::clone() const
{
    auto copy = std::make_shared<RowSet>(names_, std::vector<bool>{});
    copy->cols_ = cols_;
    copy->rowids_ = rowids_;
    copy->dead_ = dead_;
    return copy;
}

int RowSet::columnIndex(const QString &name) const
{
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int RowSet::rowOf(qint64 rowid) const
{
    if (!byRowidValid_) {
        byRowid_.clear();
        byRowid_.reserve(int(rowids_.size()));
        for (int r = 0; r < size(); ++r)
            if (!dead_[r]) byRowid_.insert(rowids_[r], r);
        byRowidValid_ = true;
    }
    return byRowid_.value(rowid, -1);
}

QVariant RowSet::value(int row, int col) const
{
    const Column &c = cols_[col];
    if (c.text) return c.strs[row].isNull() ? QVariant() : QVariant(c.strs[row]);
    return c.nulls[row] ? QVariant() : QVariant(c.ints[row]);
}

bool RowSet::isNull(int row, int col) const
{
    const Column &c = cols_[col];
    return c.text ? c.strs[row].isNull() : c.nulls[row] != 0;
}

qint64 RowSet::intValue(int row, int col) const
{
    const Column &c = cols_[col];
    return c.text ? c.strs[row].toLongLong() : c.ints[row];
}

int RowSet::append(qint64 rowid)
{
    int r = size();
    rowids_.push_back(rowid);
    dead_.push_back(0);
    for (Column &c : cols_) {
        if (c.text) {
            c.strs.emplace_back();
        } else {
            c.ints.push_back(0);
            c.nulls.push_back(1);
        }
    }
    if (byRowidValid_) byRowid_.insert(rowid, r);
    orders_.clear();
    reindex(r);
    return r;
}

void RowSet::setValue(int row, int col, const QVariant &value)
{
    unindex(row);
    Column &c = cols_[col];
    if (c.text) {
        c.strs[row] = value.isNull() ? QString() : value.toString();
        if (!value.isNull() && c.strs[row].isNull()) c.strs[row] = QLatin1String("");
    } else {
        c.nulls[row] = value.isNull() ? 1 : 0;
        c.ints[row] = value.isNull() ? 0 : value.toLongLong();
    }
    orders_.clear();
    reindex(row);
}

void RowSet::remove(int row)
{
    unindex(row);
    dead_[row] = 1;
    if (byRowidValid_) byRowid_.remove(rowids_[row]);
    orders_.clear();
}

bool RowSet::lessThan(int a, int b, int sortCol) const
{
    // Without a sort column rows keep the order in which they were read.
    if (sortCol < 0) return a < b;
    {
        const Column &c = cols_[sortCol];
        bool na = isNull(a, sortCol), nb = isNull(b, sortCol);
        if (na != nb) return na;
        if (!na) {
            if (c.text) {
                int cmp = c.strs[a].compare(c.strs[b]);
                if (cmp != 0) return cmp < 0;
            } else if (c.ints[a] != c.ints[b]) {
                return c.ints[a] < c.ints[b];
            }
        }
    }
    return rowids_[a] < rowids_[b];
}

const std::vector<int> &RowSet::ordered(int sortCol) const
{
    auto it = orders_.find(sortCol);
    if (it != orders_.end()) return it->second;
    std::vector<int> rows;
    rows.reserve(rowids_.size());
    for (int r = 0; r < size(); ++r)
        if (!dead_[r]) rows.push_back(r);
    if (sortCol >= 0)
        std::stable_sort(rows.begin(), rows.end(),
                         [this, sortCol](int a, int b) { return lessThan(a, b, sortCol); });
    return orders_.emplace(sortCol, std::move(rows)).first->second;
}

QVariant RowSet::keyOf(int row, int col) const
{
    return value(row, col);
}

RowSet::KeyIndex &RowSet::index(int keyCol, int sortCol) const
{
    for (auto &idx : indexes_)
        if (idx->keyCol == keyCol && idx->sortCol == sortCol) return *idx;
    auto idx = std::make_unique<KeyIndex>(KeyIndex{keyCol, sortCol, decltype(KeyIndex::buckets)(keyLess)});
    for (int r : ordered(sortCol)) idx->buckets[keyOf(r, keyCol)].push_back(r);
    indexes_.push_back(std::move(idx));
    return *indexes_.back();
}

const std::vector<int> &RowSet::matching(int keyCol, const QVariant &key, int sortCol) const
{
    if (!key.isValid()) return kNoRows;
    KeyIndex &idx = index(keyCol, sortCol);
    auto it = idx.buckets.find(key);
    return it == idx.buckets.end() ? kNoRows : it->second;
}

void RowSet::unindex(int row)
{
    for (auto &idx : indexes_) {
        auto it = idx->buckets.find(keyOf(row, idx->keyCol));
        if (it == idx->buckets.end()) continue;
        auto &v = it->second;
        v.erase(std::remove(v.begin(), v.end(), row), v.end());
    }
}

void RowSet::reindex(int row)
{
    if (dead_[row]) return;
    for (auto &idx : indexes_) {
        auto &v = idx->buckets[keyOf(row, idx->keyCol)];
        int sortCol = idx->sortCol;
        auto pos = std::upper_bound(v.begin(), v.end(), row,
                                    [this, sortCol](int a, int b) { return lessThan(a, b, sortCol); });
        v.insert(pos, row);
    }
}
