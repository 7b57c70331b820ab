#include "data/rowset.h"

#include "data/database.h"

#include <algorithm>

RowSet::RowSet(const QStringList &columns, const std::vector<bool> &textColumns) : names_(columns)
{
    cols_.resize(columns.size());
    for (int i = 0; i < int(textColumns.size()) && i < columns.size(); ++i) cols_[i].text = textColumns[i];
}

void RowSet::reserve(size_t n)
{
    rowids_.reserve(n);
    dead_.reserve(n);
    for (Column &c : cols_) {
        if (c.text) {
            c.strs.reserve(n);
        } else {
            c.ints.reserve(n);
            c.nulls.reserve(n);
        }
    }
}

std::shared_ptr<RowSet> RowSet::read(Statement &stmt, const QStringList &columns, const std::vector<bool> &textColumns,
                                     qint64 expectedRows)
{
    auto rows = std::make_shared<RowSet>(columns, textColumns);
    // Growing a dozen column vectors row by row costs more than the read.
    if (expectedRows > 0) rows->reserve(size_t(std::min<qint64>(expectedRows, 50'000'000)));
    const int n = columns.size();
    // Rows go straight to the columns: a fresh copy has no orders or
    // indexes to keep up to date yet.
    while (stmt.step()) {
        rows->rowids_.push_back(stmt.columnInt(0));
        rows->dead_.push_back(0);
        for (int c = 0; c < n; ++c) {
            Column &col = rows->cols_[size_t(c)];
            if (col.text) {
                col.strs.push_back(stmt.isNull(c + 1) ? QString() : stmt.columnText(c + 1));
            } else {
                // An empty value reads as 0; only then is the type asked.
                const qint64 v = stmt.columnInt(c + 1);
                col.ints.push_back(v);
                col.nulls.push_back(v == 0 && stmt.isNull(c + 1) ? 1 : 0);
            }
        }
    }
    return rows;
}

void RowSet::sortByRowid()
{
    if (std::is_sorted(rowids_.begin(), rowids_.end())) return;
    std::vector<int> perm(rowids_.size());
    for (size_t i = 0; i < perm.size(); ++i) perm[i] = int(i);
    std::stable_sort(perm.begin(), perm.end(), [this](int a, int b) { return rowids_[a] < rowids_[b]; });
    auto permute = [&perm](auto &v) {
        std::remove_reference_t<decltype(v)> out;
        out.reserve(v.size());
        for (int i : perm) out.push_back(std::move(v[size_t(i)]));
        v = std::move(out);
    };
    permute(rowids_);
    permute(dead_);
    for (Column &c : cols_) {
        if (c.text) {
            permute(c.strs);
        } else {
            permute(c.ints);
            permute(c.nulls);
        }
    }
    orders_.clear();
    indexes_.clear();
    byRowidValid_ = false;
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

// Orders rows by an integer column, ties by row id, empty values first.
// Keys are mostly small ids (topics, documents), so a counting sort over
// their range does it in linear time; wide ranges fall back to sorting.
void RowSet::sortByIntColumn(std::vector<int> &rows, int sortCol) const
{
    const Column &c = cols_[sortCol];
    if (!std::is_sorted(rows.begin(), rows.end(), [this](int a, int b) { return rowids_[a] < rowids_[b]; }))
        std::sort(rows.begin(), rows.end(), [this](int a, int b) { return rowids_[a] < rowids_[b]; });
    qint64 lo = INT64_MAX, hi = INT64_MIN;
    for (int r : rows)
        if (!c.nulls[r]) {
            lo = std::min(lo, c.ints[r]);
            hi = std::max(hi, c.ints[r]);
        }
    if (lo > hi) return;  // every value empty: row id order stands
    const quint64 span = quint64(hi - lo);
    if (span <= quint64(4 * rows.size() + 1024)) {
        // Slot 0 holds the empty values; slot k + 1 the value lo + k.
        std::vector<int> start(size_t(span) + 3, 0);
        for (int r : rows) ++start[c.nulls[r] ? 1 : size_t(c.ints[r] - lo) + 2];
        for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
        std::vector<int> out(rows.size());
        for (int r : rows) out[size_t(start[c.nulls[r] ? 0 : size_t(c.ints[r] - lo) + 1]++)] = r;
        rows.swap(out);
        return;
    }
    std::stable_sort(rows.begin(), rows.end(), [&c](int a, int b) {
        if (c.nulls[a] || c.nulls[b]) return c.nulls[a] > c.nulls[b];
        return c.ints[a] < c.ints[b];
    });
}

RowRange RowSet::ordered(int sortCol) const
{
    auto it = orders_.find(sortCol);
    if (it == orders_.end()) {
        std::vector<int> rows;
        rows.reserve(rowids_.size());
        for (int r = 0; r < size(); ++r)
            if (!dead_[r]) rows.push_back(r);
        if (sortCol >= 0 && !cols_[sortCol].text) {
            sortByIntColumn(rows, sortCol);
        } else if (sortCol >= 0) {
            std::stable_sort(rows.begin(), rows.end(),
                             [this, sortCol](int a, int b) { return lessThan(a, b, sortCol); });
        }
        it = orders_.emplace(sortCol, std::move(rows)).first;
    }
    return RowRange(it->second);
}

bool RowSet::indexLess(const KeyIndex &idx, int a, int b) const
{
    const Column &c = cols_[idx.keyCol];
    if (c.text) {
        const int cmp = c.strs[a].compare(c.strs[b]);
        if (cmp != 0) return cmp < 0;
    } else if (c.ints[a] != c.ints[b]) {
        return c.ints[a] < c.ints[b];
    }
    return lessThan(a, b, idx.sortCol);
}

// <0, 0, >0 as the row's value in col is below, equal to or above key.
int RowSet::compareKey(int row, int col, const QVariant &key) const
{
    const Column &c = cols_[col];
    if (c.text) return c.strs[row].compare(key.toString());
    const qint64 k = key.toLongLong();
    return c.ints[row] < k ? -1 : c.ints[row] > k ? 1 : 0;
}

RowSet::KeyIndex &RowSet::index(int keyCol, int sortCol) const
{
    for (auto &idx : indexes_)
        if (idx->keyCol == keyCol && idx->sortCol == sortCol) return *idx;
    auto idx = std::make_unique<KeyIndex>(KeyIndex{keyCol, sortCol, {}});
    idx->rows.reserve(rowids_.size());
    for (int r : ordered(sortCol))
        if (!isNull(r, keyCol)) idx->rows.push_back(r);
    // Rows already stand in sort order, so a stable sort on the key alone
    // keeps that order among equal keys; sorted by the key itself, they are done.
    const Column &c = cols_[keyCol];
    if (keyCol == sortCol) {
    } else if (c.text)
        std::stable_sort(idx->rows.begin(), idx->rows.end(),
                         [&c](int a, int b) { return c.strs[a].compare(c.strs[b]) < 0; });
    else
        std::stable_sort(idx->rows.begin(), idx->rows.end(), [&c](int a, int b) { return c.ints[a] < c.ints[b]; });
    indexes_.push_back(std::move(idx));
    return *indexes_.back();
}

RowRange RowSet::matching(int keyCol, const QVariant &key, int sortCol) const
{
    if (!key.isValid() || key.isNull()) return {};
    const KeyIndex &idx = index(keyCol, sortCol);
    auto lo = std::lower_bound(idx.rows.begin(), idx.rows.end(), 0,
                               [&](int row, int) { return compareKey(row, keyCol, key) < 0; });
    auto hi = std::upper_bound(lo, idx.rows.end(), 0, [&](int, int row) { return compareKey(row, keyCol, key) > 0; });
    return RowRange(idx.rows.data() + (lo - idx.rows.begin()), idx.rows.data() + (hi - idx.rows.begin()));
}

void RowSet::unindex(int row)
{
    if (dead_[row]) return;
    for (auto &idx : indexes_) {
        if (isNull(row, idx->keyCol)) continue;
        auto &v = idx->rows;
        auto pos = std::lower_bound(v.begin(), v.end(), row, [&](int a, int b) { return indexLess(*idx, a, b); });
        if (pos != v.end() && *pos == row)
            v.erase(pos);
        else
            v.erase(std::remove(v.begin(), v.end(), row), v.end());
    }
}

void RowSet::reindex(int row)
{
    if (dead_[row]) return;
    for (auto &idx : indexes_) {
        if (isNull(row, idx->keyCol)) continue;
        auto &v = idx->rows;
        v.insert(std::upper_bound(v.begin(), v.end(), row, [&](int a, int b) { return indexLess(*idx, a, b); }), row);
    }
}
