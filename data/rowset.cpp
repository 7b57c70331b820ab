#include "data/rowset.h"

#include "data/database.h"
#include "data/textorder.h"

#include <algorithm>

using chunks::slotOf;

RowSet::RowSet(const QStringList &columns, const std::vector<bool> &textColumns) : names_(columns)
{
    cols_.resize(size_t(columns.size()));
    for (int i = 0; i < int(textColumns.size()) && i < columns.size(); ++i)
        cols_[size_t(i)].text = textColumns[size_t(i)];
}

std::shared_ptr<RowSet> RowSet::read(Statement &stmt, const QStringList &columns, const std::vector<bool> &textColumns)
{
    auto rows = std::make_shared<RowSet>(columns, textColumns);
    const int n = int(columns.size());
    // Rows go straight to the columns: a fresh copy has no orders or
    // indexes to keep up to date yet.
    while (stmt.step()) {
        const qint64 rowid = stmt.columnInt(0);
        if (rows->size_ > 0 && rowid <= rows->rowid(rows->size_ - 1)) rows->rowidsSorted_ = false;
        chunks::Meta &meta = rows->meta_.tail();
        meta.rowids.push_back(rowid);
        meta.dead.push_back(0);
        for (int c = 0; c < n; ++c) {
            Column &col = rows->cols_[size_t(c)];
            if (col.text) {
                const bool null = stmt.isNull(c + 1);
                const QStringView v = null ? QStringView() : stmt.columnView(c + 1);
                col.texts.tail().push(reinterpret_cast<const char16_t *>(v.utf16()), size_t(v.size()), null);
            } else {
                // An empty value reads as 0; only then is the type asked.
                const qint64 v = stmt.columnInt(c + 1);
                chunks::Ints &ints = col.ints.tail();
                ints.values.push_back(v);
                ints.nulls.push_back(v == 0 && stmt.isNull(c + 1) ? 1 : 0);
            }
        }
        ++rows->size_;
    }
    return rows;
}

std::shared_ptr<RowSet> RowSet::clone() const
{
    return std::make_shared<RowSet>(*this);
}

std::shared_ptr<RowSet> RowSet::emptyLike() const
{
    std::vector<bool> text;
    for (const Column &c : cols_) text.push_back(c.text);
    return std::make_shared<RowSet>(names_, text);
}

void RowSet::sortByRowid()
{
    if (rowidsSorted_) return;
    std::vector<int> perm(static_cast<size_t>(size_));
    for (int i = 0; i < size_; ++i) perm[size_t(i)] = i;
    std::stable_sort(perm.begin(), perm.end(), [this](int a, int b) { return rowid(a) < rowid(b); });
    std::shared_ptr<RowSet> sorted = emptyLike();
    for (int r : perm) {
        const int row = sorted->append(rowid(r));
        for (int c = 0; c < int(cols_.size()); ++c) sorted->setValue(row, c, value(r, c));
        if (!isLive(r)) sorted->remove(row);
    }
    *this = std::move(*sorted);
}

int RowSet::columnIndex(const QString &name) const
{
    // Callers mostly spell names as the table does: try that first.
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i] == name) return i;
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int RowSet::rowOf(qint64 id) const
{
    if (rowidsSorted_) {
        int lo = 0, hi = size_;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (rowid(mid) < id)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo < size_ && rowid(lo) == id && isLive(lo) ? lo : -1;
    }
    if (!byRowidValid_) {
        byRowid_.clear();
        for (int r = 0; r < size_; ++r)
            if (isLive(r)) byRowid_.insert(rowid(r), r);
        byRowidValid_ = true;
    }
    return byRowid_.value(id, -1);
}

QStringView RowSet::text(int row, int col) const
{
    return cols_[size_t(col)].texts.at(row).at(slotOf(row));
}

QVariant RowSet::value(int row, int col) const
{
    const Column &c = cols_[size_t(col)];
    if (c.text) {
        if (c.texts.at(row).nulls[size_t(slotOf(row))]) return {};
        QString s = text(row, col).toString();
        if (s.isNull()) s = QLatin1String("");
        return s;
    }
    const chunks::Ints &ints = c.ints.at(row);
    return ints.nulls[size_t(slotOf(row))] ? QVariant() : QVariant(ints.values[size_t(slotOf(row))]);
}

bool RowSet::isNull(int row, int col) const
{
    const Column &c = cols_[size_t(col)];
    return c.text ? c.texts.at(row).nulls[size_t(slotOf(row))] != 0 : c.ints.at(row).nulls[size_t(slotOf(row))] != 0;
}

qint64 RowSet::intValue(int row, int col) const
{
    const Column &c = cols_[size_t(col)];
    return c.text ? text(row, col).toLongLong() : c.ints.at(row).values[size_t(slotOf(row))];
}

void RowSet::pushValue(Column &c, const QVariant &value)
{
    const bool null = value.isNull();
    if (c.text) {
        const QString s = null ? QString() : value.toString();
        c.texts.tail().push(reinterpret_cast<const char16_t *>(s.utf16()), size_t(s.size()), null);
    } else {
        chunks::Ints &ints = c.ints.tail();
        ints.values.push_back(null ? 0 : value.toLongLong());
        ints.nulls.push_back(null ? 1 : 0);
    }
}

int RowSet::append(qint64 id)
{
    const int r = size_;
    if (r > 0 && id <= rowid(r - 1)) rowidsSorted_ = false;
    chunks::Meta &meta = meta_.tail();
    meta.rowids.push_back(id);
    meta.dead.push_back(0);
    for (Column &c : cols_) pushValue(c, QVariant());
    ++size_;
    if (byRowidValid_) byRowid_.insert(id, r);
    reindex(r, -2);
    return r;
}

void RowSet::setValue(int row, int col, const QVariant &value)
{
    unindex(row, col);
    Column &c = cols_[size_t(col)];
    const bool null = value.isNull();
    if (c.text) {
        c.texts.mut(row).set(slotOf(row), null ? QString() : value.toString(), null);
    } else {
        chunks::Ints &ints = c.ints.mut(row);
        ints.values[size_t(slotOf(row))] = null ? 0 : value.toLongLong();
        ints.nulls[size_t(slotOf(row))] = null ? 1 : 0;
    }
    reindex(row, col);
}

void RowSet::setRow(int row, const QVariantList &values)
{
    unindex(row, -2);
    for (int c = 0; c < int(cols_.size()) && c < values.size(); ++c) {
        Column &col = cols_[size_t(c)];
        const bool null = values[c].isNull();
        if (col.text) {
            col.texts.mut(row).set(slotOf(row), null ? QString() : values[c].toString(), null);
        } else {
            chunks::Ints &ints = col.ints.mut(row);
            ints.values[size_t(slotOf(row))] = null ? 0 : values[c].toLongLong();
            ints.nulls[size_t(slotOf(row))] = null ? 1 : 0;
        }
    }
    reindex(row, -2);
}

void RowSet::remove(int row)
{
    if (!isLive(row)) return;
    unindex(row, -2);
    meta_.mut(row).dead[size_t(slotOf(row))] = 1;
    if (byRowidValid_) byRowid_.remove(rowid(row));
}

bool RowSet::lessThan(int a, int b, int sortCol) const
{
    // Without a sort column rows keep the order in which they were read.
    if (sortCol < 0) return a < b;
    const bool na = isNull(a, sortCol), nb = isNull(b, sortCol);
    if (na != nb) return na;
    if (!na) {
        if (cols_[size_t(sortCol)].text) {
            const int cmp = textorder::compare(text(a, sortCol), text(b, sortCol));
            if (cmp != 0) return cmp < 0;
        } else {
            const qint64 va = intValue(a, sortCol), vb = intValue(b, sortCol);
            if (va != vb) return va < vb;
        }
    }
    return rowid(a) < rowid(b);
}

// Orders rows by an integer column, ties by row id, empty values first.
// Keys are mostly small ids (topics, documents), so a counting sort over
// their range does it in linear time; wide ranges fall back to sorting.
void RowSet::sortByIntColumn(std::vector<int> &rows, int sortCol) const
{
    if (!rowidsSorted_) std::sort(rows.begin(), rows.end(), [this](int a, int b) { return rowid(a) < rowid(b); });
    qint64 lo = INT64_MAX, hi = INT64_MIN;
    for (int r : rows)
        if (!isNull(r, sortCol)) {
            lo = std::min(lo, intValue(r, sortCol));
            hi = std::max(hi, intValue(r, sortCol));
        }
    if (lo > hi) return;  // every value empty: row id order stands
    const quint64 span = quint64(hi) - quint64(lo);
    if (span <= quint64(4 * rows.size() + 1024)) {
        // Slot 0 holds the empty values; slot k + 1 the value lo + k.
        auto slot = [&](int r) { return isNull(r, sortCol) ? size_t(0) : size_t(intValue(r, sortCol) - lo) + 1; };
        std::vector<int> start(size_t(span) + 3, 0);
        for (int r : rows) ++start[slot(r) + 1];
        for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
        std::vector<int> out(rows.size());
        for (int r : rows) out[size_t(start[slot(r)]++)] = r;
        rows.swap(out);
        return;
    }
    std::stable_sort(rows.begin(), rows.end(), [this, sortCol](int a, int b) { return lessThan(a, b, sortCol); });
}

// Orders rows by a text column with letter case ignored. Rows are sorted
// by a number made of their first three letters, then each run of equal
// numbers by the next three, and so on: one integer comparison decides most
// pairs, however long the prefixes that titles share.
void RowSet::sortByTextColumn(std::vector<int> &rows, int sortCol) const
{
    std::vector<int> empty;
    std::vector<std::pair<uint64_t, int>> keyed;
    keyed.reserve(rows.size());
    for (int r : rows) {
        if (isNull(r, sortCol))
            empty.push_back(r);
        else
            keyed.emplace_back(textorder::key(text(r, sortCol)), r);
    }
    if (!rowidsSorted_) std::sort(empty.begin(), empty.end(), [this](int a, int b) { return rowid(a) < rowid(b); });
    auto byKey = [](const auto &a, const auto &b) { return a.first < b.first; };
    std::sort(keyed.begin(), keyed.end(), byKey);
    // Runs of equal keys still to order, with the letters already compared.
    struct Run {
        size_t begin, end;
        int skip;
    };
    std::vector<Run> todo{{0, keyed.size(), 0}};
    while (!todo.empty()) {
        const Run run = todo.back();
        todo.pop_back();
        for (size_t i = run.begin; i < run.end;) {
            size_t j = i + 1;
            while (j < run.end && keyed[j].first == keyed[i].first) ++j;
            if (j - i > 1) {
                if (keyed[i].first == 0) {
                    // The texts ended: equal but for letter case, by row id.
                    std::sort(keyed.begin() + long(i), keyed.begin() + long(j),
                              [this, sortCol](const auto &a, const auto &b) {
                                  const int cmp = textorder::compare(text(a.second, sortCol), text(b.second, sortCol));
                                  return cmp != 0 ? cmp < 0 : rowid(a.second) < rowid(b.second);
                              });
                } else {
                    const int skip = run.skip + 3;
                    for (size_t k = i; k < j; ++k)
                        keyed[k].first = textorder::key(text(keyed[k].second, sortCol), skip);
                    std::sort(keyed.begin() + long(i), keyed.begin() + long(j), byKey);
                    todo.push_back({i, j, skip});
                }
            }
            i = j;
        }
    }
    rows = std::move(empty);
    for (const auto &k : keyed) rows.push_back(k.second);
}

RowRange RowSet::ordered(int sortCol) const
{
    auto it = orders_.find(sortCol);
    if (it == orders_.end()) {
        auto rows = std::make_shared<std::vector<int>>();
        rows->reserve(size_t(size_));
        for (int r = 0; r < size_; ++r)
            if (isLive(r)) rows->push_back(r);
        if (sortCol >= 0 && cols_[size_t(sortCol)].text)
            sortByTextColumn(*rows, sortCol);
        else if (sortCol >= 0)
            sortByIntColumn(*rows, sortCol);
        it = orders_.emplace(sortCol, std::move(rows)).first;
    }
    return RowRange(*it->second);
}

bool RowSet::keyLess(int keyCol, int a, int b) const
{
    // Keys match exactly, letter case included.
    if (cols_[size_t(keyCol)].text) return text(a, keyCol).compare(text(b, keyCol)) < 0;
    return intValue(a, keyCol) < intValue(b, keyCol);
}

bool RowSet::indexLess(const KeyIndex &idx, int a, int b) const
{
    if (keyLess(idx.keyCol, a, b)) return true;
    if (keyLess(idx.keyCol, b, a)) return false;
    return lessThan(a, b, idx.sortCol);
}

// <0, 0, >0 as the row's value in col is below, equal to or above key.
int RowSet::compareKey(int row, int col, const QVariant &key) const
{
    if (cols_[size_t(col)].text) return text(row, col).compare(key.toString());
    const qint64 k = key.toLongLong(), v = intValue(row, col);
    return v < k ? -1 : v > k ? 1 : 0;
}

RowRange RowSet::matching(int keyCol, const QVariant &key, int sortCol) const
{
    if (!key.isValid() || key.isNull()) return {};
    auto found = std::find_if(indexes_.begin(), indexes_.end(),
                              [&](const KeyIndex &i) { return i.keyCol == keyCol && i.sortCol == sortCol; });
    if (found == indexes_.end()) {
        auto rows = std::make_shared<std::vector<int>>();
        rows->reserve(size_t(size_));
        for (int r : ordered(sortCol))
            if (!isNull(r, keyCol)) rows->push_back(r);
        // Rows already stand in sort order, so a stable sort on the key alone
        // keeps that order among equal keys; keys often come sorted already
        // (an id in row id order).
        auto byKey = [this, keyCol](int a, int b) { return keyLess(keyCol, a, b); };
        if (!std::is_sorted(rows->begin(), rows->end(), byKey)) std::stable_sort(rows->begin(), rows->end(), byKey);
        indexes_.push_back(KeyIndex{keyCol, sortCol, std::move(rows)});
        found = indexes_.end() - 1;
    }
    const std::vector<int> &v = *found->rows;
    auto lo = std::lower_bound(v.begin(), v.end(), 0, [&](int row, int) { return compareKey(row, keyCol, key) < 0; });
    auto hi = std::upper_bound(lo, v.end(), 0, [&](int, int row) { return compareKey(row, keyCol, key) > 0; });
    return RowRange(v.data() + (lo - v.begin()), v.data() + (hi - v.begin()));
}

std::vector<int> &RowSet::writable(Rows &rows)
{
    if (rows.use_count() > 1) rows = std::make_shared<std::vector<int>>(*rows);
    return *rows;
}

namespace {
// Removes row from rows, found by binary search under less.
template <class Less>
void eraseSorted(std::vector<int> &rows, int row, Less less)
{
    auto pos = std::lower_bound(rows.begin(), rows.end(), row, less);
    if (pos != rows.end() && *pos == row)
        rows.erase(pos);
    else
        rows.erase(std::remove(rows.begin(), rows.end(), row), rows.end());
}
}  // namespace

void RowSet::unindex(int row, int col)
{
    if (!isLive(row)) return;
    for (auto &[sortCol, rows] : orders_)
        if (col == -2 || sortCol == col) {
            const int s = sortCol;
            eraseSorted(writable(rows), row, [this, s](int a, int b) { return lessThan(a, b, s); });
        }
    for (KeyIndex &idx : indexes_)
        if ((col == -2 || idx.keyCol == col || idx.sortCol == col) && !isNull(row, idx.keyCol))
            eraseSorted(writable(idx.rows), row, [this, &idx](int a, int b) { return indexLess(idx, a, b); });
}

void RowSet::reindex(int row, int col)
{
    if (!isLive(row)) return;
    for (auto &[sortCol, rows] : orders_)
        if (col == -2 || sortCol == col) {
            const int s = sortCol;
            std::vector<int> &v = writable(rows);
            v.insert(std::upper_bound(v.begin(), v.end(), row, [this, s](int a, int b) { return lessThan(a, b, s); }),
                     row);
        }
    for (KeyIndex &idx : indexes_)
        if ((col == -2 || idx.keyCol == col || idx.sortCol == col) && !isNull(row, idx.keyCol)) {
            std::vector<int> &v = writable(idx.rows);
            v.insert(
                std::upper_bound(v.begin(), v.end(), row, [this, &idx](int a, int b) { return indexLess(idx, a, b); }),
                row);
        }
}
