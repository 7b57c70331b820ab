#include "data/dataset.h"

#include "data/dataerror.h"
#include "data/rowset.h"
#include "data/schema.h"

#include <QRegularExpression>

// ---- TADOConnection ----------------------------------------------------------

TADOConnection::TADOConnection(const QString &fileName, QObject *parent) : QObject(parent), fileName_(fileName) {}

void TADOConnection::open()
{
    if (!db_.isOpen()) db_.openLibrary(fileName_, busyTimeoutMs_);
}

void TADOConnection::close()
{
    db_.close();
}

// ---- TDataSource -------------------------------------------------------------

TDataSource::TDataSource(const QString &name, TDataSet *dataSet, QObject *parent) : QObject(parent), dataSet_(dataSet)
{
    setObjectName(name);
}

// ---- TDataSet ----------------------------------------------------------------

namespace {
QString lower(const QString &s)
{
    return s.toLower();
}
}  // namespace

TDataSet::TDataSet(TADOConnection *connection, const QString &name, QObject *parent)
    : QObject(parent), conn_(connection)
{
    setObjectName(name);
}

TDataSet::~TDataSet()
{
    if (master_ && master_->dataSet()) {
        auto &d = master_->dataSet()->details_;
        d.erase(std::remove(d.begin(), d.end(), this), d.end());
    }
    for (TDataSet *d : details_) d->master_ = nullptr;
}

const RowSet &TDataSet::rows() const
{
    if (keyed_) {
        ensureView();
        return *current_;
    }
    if (own_) return *own_;
    return *shared_;
}

const RowSet &TDataSet::shape() const
{
    return keyed_ ? *keyShape_ : rows();
}

RowSet &TDataSet::ownRows()
{
    if (keyed_) {
        // The rows of a key are this dataset's own already.
        ensureView();
        materializeView();
        keptKeys_.insert(key_ ? *key_ : INT64_MIN);
        return *current_;
    }
    if (!own_) {
        // First write through this dataset: take a private copy, so datasets
        // that share the table's copy do not see the change.
        materializeView();
        own_ = shared_->clone();
        shared_.reset();
    }
    materializeView();
    return *own_;
}

RowRange TDataSet::view() const
{
    ensureView();
    return viewIsRef_ ? viewRef_ : RowRange(viewOwn_);
}

void TDataSet::materializeView()
{
    if (viewIsRef_) {
        viewOwn_.assign(viewRef_.begin(), viewRef_.end());
        viewIsRef_ = false;
        positionsValid_ = false;
    }
}

void TDataSet::requireActive() const
{
    if (!active()) throw DataError(QStringLiteral("数据集 %1 没有打开").arg(name()));
}

void TDataSet::requireTable() const
{
    if (table_.isEmpty()) throw DataError(QStringLiteral("数据集 %1 是只读的").arg(name()));
}

void TDataSet::open()
{
    if (active()) return;
    conn_->open();
    Database &db = conn_->database();
    moment_ = db.openMoment();
    keyed_ = readsPerKey();
    if (keyed_) {
        const TableDef *def = schema::table(table_);
        const QStringList cols = def->smallColumns();
        std::vector<bool> text;
        for (const QString &c : cols) text.push_back(def->column(c)->type == ColumnType::Text);
        keyShape_ = std::make_shared<RowSet>(cols, text);
        current_ = keyShape_;
        db.hold(table_, moment_);
    } else {
        shared_ = loadRows();
    }
    own_.reset();
    state_ = DataSetState::Browse;
    pending_.clear();
    modified_ = false;
    rebuildView();
}

void TDataSet::close()
{
    if (!active()) return;
    // A row still in edit is dropped, never posted.
    pending_.clear();
    modified_ = false;
    state_ = DataSetState::Inactive;
    if (keyed_ && conn_->connected()) conn_->database().release(table_, moment_);
    keyed_ = false;
    keyRows_.clear();
    keptKeys_.clear();
    keyShape_.reset();
    current_.reset();
    key_.reset();
    viewPending_ = false;
    shared_.reset();
    own_.reset();
    viewIsRef_ = false;
    viewOwn_.clear();
    positionsValid_ = false;
    pos_ = -1;
    bof_ = eof_ = true;
    emitReset();
    detailsDropRows();
}

int TDataSet::recordCount() const
{
    if (!active()) return 0;
    if (keyed_ && viewPending_) return keyedCount();
    return int(view().size());
}

// The number of rows of the key shown, from the counts kept per key when
// nothing was written to the table since this dataset was opened; reading
// the rows otherwise.
int TDataSet::keyedCount() const
{
    if (!key_) return 0;
    Database &db = conn_->database();
    if (!(filtered_ && filterCond_) && !keyRows_.count(*key_) && !db.changedSince(table_, moment_))
        if (std::optional<int> n = db.countOf(table_, detailField_, *key_)) return *n;
    return int(view().size());
}

int TDataSet::currentRow() const
{
    if (!active() || pos_ < 0 || pos_ >= int(view().size())) return -1;
    return view()[size_t(pos_)];
}

qint64 TDataSet::shownId(int row) const
{
    const int idCol = rows().columnIndex("id");
    return idCol >= 0 && !rows().isNull(row, idCol) ? rows().intValue(row, idCol) : rows().rowid(row);
}

QVariant TDataSet::keyFor(int col, const QVariant &value) const
{
    if (!value.isValid() || value.isNull()) return {};
    if (shape().isText(col)) return value.toString();
    bool ok = false;
    qint64 v = value.toString().trimmed().toLongLong(&ok);
    if (!ok) throw DataError(QStringLiteral("“%1”不是数字").arg(value.toString()));
    return QVariant(v);
}

int TDataSet::sortColumn() const
{
    return sort_.isEmpty() ? orderColumn_ : shape().columnIndex(sort_);
}

void TDataSet::rebuildView()
{
    viewIsRef_ = false;
    viewOwn_.clear();
    positionsValid_ = false;
    viewPending_ = false;
    if (active() && keyed_) {
        // Only the key is taken now; its rows are read when first needed.
        key_.reset();
        TDataSet *m = master_ ? master_->dataSet() : nullptr;
        if (m && m->active() && m->state() != DataSetState::Insert && m->currentRow() >= 0) {
            const QVariant key = m->fieldValue(masterField_);
            if (!key.isNull()) key_ = keyFor(shape().columnIndex(detailField_), key).toLongLong();
        }
        viewPending_ = true;
        const int n = keyedCount();
        pos_ = n == 0 ? -1 : 0;
        bof_ = true;
        eof_ = n == 0;
        emitReset();
        detailsFollow();
        return;
    }
    if (active()) {
        const RowSet &rs = rows();
        const int sortCol = sortColumn();
        int filterCol = -1;
        QVariant filterKey;
        if (filtered_ && filterCond_) {
            filterCol = rs.columnIndex(filterCond_->column);
            filterKey = keyFor(filterCol, filterCond_->value);
        }
        if (master_) {
            TDataSet *m = master_->dataSet();
            QVariant key;
            if (m && m->active() && m->state() != DataSetState::Insert && m->currentRow() >= 0)
                key = m->fieldValue(masterField_);
            const int detailCol = rs.columnIndex(detailField_);
            const RowRange cand = key.isNull() ? RowRange() : rs.matching(detailCol, keyFor(detailCol, key), sortCol);
            if (filterCol < 0) {
                viewRef_ = cand;
                viewIsRef_ = true;
            } else {
                for (int r : cand)
                    if (!rs.isNull(r, filterCol) && rs.value(r, filterCol) == filterKey) viewOwn_.push_back(r);
            }
        } else if (filterCol >= 0) {
            viewRef_ = rs.matching(filterCol, filterKey, sortCol);
            viewIsRef_ = true;
        } else if (onlyRowids_) {
            for (qint64 rowid : *onlyRowids_)
                if (const int r = rs.rowOf(rowid); r >= 0) viewOwn_.push_back(r);
        } else {
            viewRef_ = rs.ordered(sortCol);
            viewIsRef_ = true;
        }
    }
    pos_ = view().empty() ? -1 : 0;
    bof_ = true;
    eof_ = view().empty();
    emitReset();
    detailsFollow();
}

void TDataSet::ensureView() const
{
    if (keyed_ && viewPending_) const_cast<TDataSet *>(this)->buildKeyView();
}

// Reads the rows of the key shown, unless read before, and shows them.
void TDataSet::buildKeyView()
{
    viewPending_ = false;
    const qint64 slot = key_ ? *key_ : INT64_MIN;
    // The rows of keys read before are kept while they are few; dropped,
    // they are read again as they were, with this dataset's own writes.
    constexpr size_t kKeysKept = 256;
    if (!keyRows_.count(slot) && keyRows_.size() >= kKeysKept) {
        // Keys this dataset wrote to or refreshed stay: reading them again
        // would show the file's rows, not exactly what this copy held.
        for (auto it = keyRows_.begin(); it != keyRows_.end();)
            it = keptKeys_.count(it->first) ? std::next(it) : keyRows_.erase(it);
    }
    std::shared_ptr<RowSet> &rowsOfKey = keyRows_[slot];
    if (!rowsOfKey)
        rowsOfKey =
            key_ ? conn_->database().rowsWithKey(table_, detailField_, *key_, moment_, this) : keyShape_->emptyLike();
    current_ = rowsOfKey;
    const RowSet &rs = *current_;
    const int sortCol = sortColumn();
    // A row of this key that this dataset moved to another key stays out.
    const RowRange cand = key_ ? rs.matching(rs.columnIndex(detailField_), QVariant(*key_), sortCol) : RowRange();
    if (filtered_ && filterCond_) {
        const int filterCol = rs.columnIndex(filterCond_->column);
        const QVariant filterKey = keyFor(filterCol, filterCond_->value);
        for (int r : cand)
            if (!rs.isNull(r, filterCol) && rs.value(r, filterCol) == filterKey) viewOwn_.push_back(r);
        viewIsRef_ = false;
    } else {
        viewRef_ = cand;
        viewIsRef_ = true;
    }
    positionsValid_ = false;
}

int TDataSet::positionOf(int row) const
{
    if (row < 0) return -1;
    const RowRange v = view();
    const RowSet &rs = rows();
    if (viewIsRef_) {
        // A range of an order or index: sorted by the view's own order.
        const int sortCol = sortColumn();
        const int *at =
            std::lower_bound(v.begin(), v.end(), row, [&](int a, int b) { return rs.lessThan(a, b, sortCol); });
        return at != v.end() && *at == row ? int(at - v.begin()) : -1;
    }
    if (!positionsValid_) {
        positions_.assign(size_t(rs.size()), -1);
        for (int p = 0; p < int(v.size()); ++p) positions_[size_t(v[size_t(p)])] = p;
        positionsValid_ = true;
    }
    return row < int(positions_.size()) ? positions_[size_t(row)] : -1;
}

void TDataSet::emitReset()
{
    if (disabled_ > 0) {
        pendingReset_ = true;
        return;
    }
    emit rowsReset();
}

// A change of one row, told to the grids at once, or as a reset of all rows
// once their display is resumed.
void TDataSet::emitRow(void (TDataSet::*signal)(int), int position)
{
    if (disabled_ > 0) {
        pendingReset_ = true;
        return;
    }
    emit(this->*signal)(position);
}

void TDataSet::emitCurrent()
{
    if (disabled_ > 0) {
        pendingReset_ = true;
        return;
    }
    emit currentChanged();
}

void TDataSet::detailsFollow()
{
    for (TDataSet *d : details_)
        if (d->active()) {
            d->checkBrowseMode();
            d->rebuildView();
        }
}

// The master closed: its details show nothing, and a row in edit there is
// dropped, as closing never writes.
void TDataSet::detailsDropRows()
{
    for (TDataSet *d : details_)
        if (d->active()) {
            d->cancel();
            d->rebuildView();
        }
}

void TDataSet::setPosition(int pos, bool notify)
{
    const int old = pos_;
    pos_ = pos;
    if (notify && old != pos_) {
        emitCurrent();
        detailsFollow();
    } else if (notify) {
        emitCurrent();
    }
}

void TDataSet::checkBrowseMode()
{
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        if (modified_)
            post();
        else
            cancel();
    }
}

void TDataSet::first()
{
    requireActive();
    checkBrowseMode();
    bof_ = true;
    eof_ = view().empty();
    setPosition(view().empty() ? -1 : 0);
}

void TDataSet::last()
{
    requireActive();
    checkBrowseMode();
    eof_ = true;
    bof_ = view().empty();
    setPosition(int(view().size()) - 1);
}

void TDataSet::next()
{
    requireActive();
    checkBrowseMode();
    if (pos_ + 1 < int(view().size())) {
        bof_ = eof_ = false;
        setPosition(pos_ + 1);
    } else {
        eof_ = true;
    }
}

void TDataSet::prior()
{
    requireActive();
    checkBrowseMode();
    if (pos_ > 0) {
        bof_ = eof_ = false;
        setPosition(pos_ - 1);
    } else {
        bof_ = true;
    }
}

void TDataSet::moveTo(int position)
{
    requireActive();
    checkBrowseMode();
    if (view().empty()) return;
    position = std::clamp(position, 0, int(view().size()) - 1);
    bof_ = eof_ = false;
    setPosition(position);
}

bool TDataSet::hasField(const QString &field) const
{
    if (isComputedField(field) || isMemo(field)) return true;
    if (active()) return shape().columnIndex(field) >= 0;
    return false;
}

QStringList TDataSet::fieldNames() const
{
    QStringList out = active() ? shape().columns() : QStringList();
    out += memoColumns_;
    return out;
}

bool TDataSet::isMemo(const QString &field) const
{
    for (const QString &m : memoColumns_)
        if (m == field || m.compare(field, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool TDataSet::computeField(const QString &, int, QVariant *) const
{
    return false;
}
bool TDataSet::isComputedField(const QString &) const
{
    return false;
}

QVariant TDataSet::readMemo(qint64 rowid, const QString &field) const
{
    Database &db = conn_->database();
    const TableDef *def = schema::table(table_);
    const ColumnDef *col = def ? def->column(field) : nullptr;
    Statement s(db.handle(), QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE rowid = ?").arg(field, table_));
    s.bind(1, rowid);
    if (!s.step() || s.isNull(0)) return {};
    if (col && col->type == ColumnType::Blob) return s.columnBlob(0);
    return s.columnText(0);
}

QVariant TDataSet::fieldValue(const QString &field) const
{
    requireActive();
    if (!pending_.isEmpty()) {
        auto it = pending_.constFind(lower(field));
        if (it != pending_.constEnd()) return *it;
    }
    if (state_ == DataSetState::Insert) {
        QVariant computed;
        if (computeField(field, -1, &computed)) return computed;
        if (!hasField(field)) throw DataError(QStringLiteral("数据集 %1 没有字段 %2").arg(name(), field));
        return {};
    }
    return valueAt(pos_, field);
}

QVariant TDataSet::valueAt(int position, const QString &field) const
{
    requireActive();
    const int row = position >= 0 && position < int(view().size()) ? view()[position] : -1;
    QVariant computed;
    if (computeField(field, row, &computed)) return computed;
    if (isMemo(field)) return row < 0 ? QVariant() : readMemo(rows().rowid(row), field);
    const int col = rows().columnIndex(field);
    if (col < 0) throw DataError(QStringLiteral("数据集 %1 没有字段 %2").arg(name(), field));
    return row < 0 ? QVariant() : rows().value(row, col);
}

QVariant TDataSet::storedValue(int row, const QString &field) const
{
    const int col = rows().columnIndex(field);
    return row < 0 || col < 0 ? QVariant() : rows().value(row, col);
}

QVariant TDataSet::lookup(const QString &keyField, const QVariant &key, const QString &resultField) const
{
    if (!active() || key.isNull()) return {};
    const RowSet &rs = rows();
    const int kc = rs.columnIndex(keyField);
    const int rc = rs.columnIndex(resultField);
    if (kc < 0 || rc < 0) return {};
    // The rows with the key come from the copy's index; the first of them
    // that the view shows wins.
    int first = -1, firstRow = -1;
    for (int r : rs.matching(kc, keyFor(kc, key), -1)) {
        const int p = positionOf(r);
        if (p >= 0 && (first < 0 || p < first)) {
            first = p;
            firstRow = r;
        }
    }
    return firstRow < 0 ? QVariant() : rs.value(firstRow, rc);
}

void TDataSet::checkValue(const QString &field, const QVariant &value) const
{
    const TableDef *def = schema::table(table_);
    const ColumnDef *col = def ? def->column(field) : nullptr;
    if (!col || value.isNull()) return;
    if (col->type == ColumnType::Text && col->size > 0) {
        const int length = int(value.toString().toUcs4().size());
        if (length > col->size)
            throw DataError(QStringLiteral("字段 %1 最多容纳 %2 个字符，输入的内容有 %3 个字符，没有保存")
                                .arg(field)
                                .arg(col->size)
                                .arg(length));
    } else if (col->type == ColumnType::Integer) {
        bool ok = false;
        const qint64 v = value.toString().toLongLong(&ok);
        if (!ok) throw DataError(QStringLiteral("字段 %1 只能存放整数，“%2”不是整数").arg(field, value.toString()));
        if (field.compare("id", Qt::CaseInsensitive) != 0 && (v < INT32_MIN || v > INT32_MAX))
            throw DataError(QStringLiteral("字段 %1 的值 %2 超出了范围").arg(field).arg(v));
    }
}

void TDataSet::setFieldValue(const QString &field, const QVariant &value)
{
    requireActive();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        throw DataError(QStringLiteral("数据集 %1 不在编辑状态").arg(name()));
    if (!hasField(field) && !shape().columns().contains(field, Qt::CaseInsensitive))
        throw DataError(QStringLiteral("数据集 %1 没有字段 %2").arg(name(), field));
    pending_.insert(lower(field), value);
    modified_ = true;
}

void TDataSet::startNewRow(int position)
{
    requireActive();
    requireTable();
    checkBrowseMode();
    state_ = DataSetState::Insert;
    pending_.clear();
    modified_ = false;
    insertPos_ = position;
    if (master_ && master_->dataSet() && master_->dataSet()->active()) {
        TDataSet *m = master_->dataSet();
        pending_.insert(lower(detailField_), m->fieldValue(masterField_));
    }
    if (onNewRecord) onNewRecord(*this);
    emitCurrent();
}

void TDataSet::append()
{
    startNewRow(int(view().size()));
}

void TDataSet::insert()
{
    startNewRow(std::max(pos_, 0));
}

void TDataSet::edit()
{
    requireActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
    if (view().empty()) {
        append();
        return;
    }
    requireTable();
    state_ = DataSetState::Edit;
    pending_.clear();
    modified_ = false;
}

void TDataSet::postDetails()
{
    for (TDataSet *d : details_)
        if (d->state() == DataSetState::Edit || d->state() == DataSetState::Insert) d->post();
}

void TDataSet::post()
{
    requireActive();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    // A detail's pending change goes first, as the master's post implies it.
    postDetails();
    for (auto it = pending_.constBegin(); it != pending_.constEnd(); ++it) checkValue(it.key(), it.value());
    Database &db = conn_->database();
    QStringList cols;
    QVariantList vals;
    for (auto it = pending_.constBegin(); it != pending_.constEnd(); ++it) {
        if (isComputedField(it.key())) continue;
        cols << it.key();
        vals << it.value();
    }
    if (state_ == DataSetState::Insert) {
        // The rows shown are read before the row is written, so the new row
        // is added to them once.
        ensureView();
        const qint64 rowid = db.insertRow(table_, cols, vals, this);
        RowSet &rs = ownRows();
        const int row = rs.append(rowid);
        // Read the stored row back, so the engine's id and defaults show.
        const QStringList small = rs.columns();
        Statement s(db.handle(),
                    QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE rowid = ?").arg(small.join("\", \""), table_));
        s.bind(1, rowid);
        if (s.step()) {
            QVariantList stored;
            for (int c = 0; c < small.size(); ++c) stored << s.column(c);
            rs.setRow(row, stored);
        }
        const int at = std::clamp(insertPos_, 0, int(viewOwn_.size()));
        viewOwn_.insert(viewOwn_.begin() + at, row);
        positionsValid_ = false;
        forgetOtherKey(row);
        state_ = DataSetState::Browse;
        pending_.clear();
        modified_ = false;
        pos_ = at;
        bof_ = eof_ = false;
        emitRow(&TDataSet::rowInserted, at);
        emitCurrent();
        detailsFollow();
    } else {
        const int row = currentRow();
        if (row < 0) throw DataError(QStringLiteral("数据集 %1 没有当前记录").arg(name()));
        const qint64 rowid = rows().rowid(row);
        db.updateRow(table_, rowid, cols, vals, this, shownId(row));
        RowSet &rs = ownRows();
        for (int i = 0; i < cols.size(); ++i) {
            const int c = rs.columnIndex(cols[i]);
            if (c >= 0) rs.setValue(row, c, vals[i]);
        }
        forgetOtherKey(row);
        state_ = DataSetState::Browse;
        pending_.clear();
        modified_ = false;
        emitRow(&TDataSet::rowChanged, pos_);
        detailsFollow();
    }
}

// A row this dataset wrote under another key than the one shown: that key's
// rows, if read before, are read again when next shown, with the write.
void TDataSet::forgetOtherKey(int row)
{
    if (!keyed_) return;
    const RowSet &rs = *current_;
    const int col = rs.columnIndex(detailField_);
    if (rs.isNull(row, col)) return;
    const qint64 key = rs.intValue(row, col);
    if (!key_ || key != *key_) {
        keyRows_.erase(key);
        keptKeys_.erase(key);
    }
}

void TDataSet::cancel()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    const bool wasInsert = state_ == DataSetState::Insert;
    state_ = DataSetState::Browse;
    pending_.clear();
    modified_ = false;
    if (wasInsert) emitCurrent();
}

void TDataSet::remove()
{
    requireActive();
    requireTable();
    if (state_ == DataSetState::Insert) {
        cancel();
        return;
    }
    const int row = currentRow();
    if (row < 0) throw DataError(QStringLiteral("数据集 %1 没有记录可删除").arg(name()));
    conn_->database().deleteRow(table_, rows().rowid(row), this, shownId(row));
    state_ = DataSetState::Browse;
    pending_.clear();
    modified_ = false;
    RowSet &rs = ownRows();
    rs.remove(row);
    const int at = pos_;
    viewOwn_.erase(viewOwn_.begin() + at);
    positionsValid_ = false;
    if (pos_ >= int(viewOwn_.size())) pos_ = int(viewOwn_.size()) - 1;
    eof_ = viewOwn_.empty();
    bof_ = viewOwn_.empty();
    emitRow(&TDataSet::rowRemoved, at);
    emitCurrent();
    detailsFollow();
}

void TDataSet::refresh()
{
    requireActive();
    checkBrowseMode();
    if (table_.isEmpty()) return;
    // Only the rows this dataset shows are read again, each by its row id:
    // a filtered view of a large table costs its own rows.
    RowSet &rs = ownRows();
    const QStringList small = rs.columns();
    Statement s(conn_->database().handle(),
                QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE rowid = ?").arg(small.join("\", \""), table_));
    for (int row : viewOwn_) {
        s.reset();
        s.bind(1, rs.rowid(row));
        if (!s.step()) continue;
        QVariantList stored;
        for (int c = 0; c < small.size(); ++c) stored << s.column(c);
        rs.setRow(row, stored);
    }
    emitReset();
    detailsFollow();
}

bool TDataSet::locate(const QString &fields, const QVariantList &values)
{
    requireActive();
    checkBrowseMode();
    const QStringList names = fields.split(';', Qt::SkipEmptyParts);
    if (names.size() != values.size()) throw DataError(QStringLiteral("定位的字段和值的数目不一致：%1").arg(fields));
    const RowSet &rs = rows();
    std::vector<int> cols;
    std::vector<QVariant> keys;
    for (int i = 0; i < names.size(); ++i) {
        const int c = rs.columnIndex(names[i].trimmed());
        if (c < 0) throw DataError(QStringLiteral("数据集 %1 没有字段 %2").arg(name(), names[i]));
        cols.push_back(c);
        keys.push_back(keyFor(c, values[i]));
    }
    auto matchesAll = [&](int row) {
        for (size_t i = 0; i < cols.size(); ++i) {
            const bool equal = !keys[i].isValid() ? rs.isNull(row, cols[i])
                                                  : !rs.isNull(row, cols[i]) && rs.value(row, cols[i]) == keys[i];
            if (!equal) return false;
        }
        return true;
    };
    // The rows with the first value come from the copy's index on that
    // field; the first of them in the view's order wins.
    int found = -1;
    if (keys[0].isValid()) {
        for (int r : rs.matching(cols[0], keys[0], -1))
            if (matchesAll(r)) {
                const int p = positionOf(r);
                if (p >= 0 && (found < 0 || p < found)) found = p;
            }
    } else {
        // An empty first value has no index entry; rare enough to search.
        const RowRange v = view();
        for (int p = 0; p < int(v.size()) && found < 0; ++p)
            if (matchesAll(v[size_t(p)])) found = p;
    }
    if (found < 0) return false;
    bof_ = eof_ = false;
    setPosition(found);
    return true;
}

TDataSet::Bookmark TDataSet::bookmark() const
{
    const int row = currentRow();
    return row < 0 ? 0 : rows().rowid(row);
}

bool TDataSet::gotoBookmark(Bookmark b)
{
    requireActive();
    checkBrowseMode();
    const int p = positionOf(rows().rowOf(b));
    if (p < 0) return false;
    bof_ = eof_ = false;
    setPosition(p);
    return true;
}

void TDataSet::setFilter(const QString &text)
{
    std::optional<FilterCondition> cond;
    if (!text.trimmed().isEmpty()) cond = parseFilter(text);
    filterText_ = text;
    filterCond_ = cond;
    if (filtered_ && active()) {
        checkBrowseMode();
        rebuildView();
    }
}

void TDataSet::setFiltered(bool on)
{
    if (filtered_ == on) return;
    filtered_ = on;
    if (active()) {
        checkBrowseMode();
        rebuildView();
    }
}

void TDataSet::setSort(const QString &field)
{
    sort_ = field;
    if (active()) rebuildView();
}

void TDataSet::setMaster(TDataSource *master, const QString &masterField, const QString &detailField)
{
    if (master_ && master_->dataSet()) {
        auto &d = master_->dataSet()->details_;
        d.erase(std::remove(d.begin(), d.end(), this), d.end());
    }
    master_ = master;
    masterField_ = masterField;
    detailField_ = detailField;
    if (master_ && master_->dataSet()) master_->dataSet()->details_.push_back(this);
    if (active()) rebuildView();
}

TDataSet *TDataSet::masterDataSet() const
{
    return master_ ? master_->dataSet() : nullptr;
}

void TDataSet::disableControls()
{
    ++disabled_;
}

void TDataSet::enableControls()
{
    if (disabled_ == 0) return;
    if (--disabled_ == 0 && pendingReset_) {
        pendingReset_ = false;
        emit rowsReset();
    }
}

// ---- TADOTable ---------------------------------------------------------------

TADOTable::TADOTable(TADOConnection *connection, const QString &name, const QString &tableName, QObject *parent)
    : TDataSet(connection, name, parent)
{
    table_ = tableName;
    if (const TableDef *def = schema::table(tableName))
        for (const ColumnDef &c : def->columns)
            if (c.isMemo()) memoColumns_ << c.name;
}

std::shared_ptr<const RowSet> TADOTable::loadRows()
{
    if (!schema::table(table_)) throw DataError(QStringLiteral("没有数据表 %1").arg(table_));
    return connection()->database().snapshot(table_);
}

bool TADOTable::readsPerKey() const
{
    const TableDef *def = schema::table(table_);
    const ColumnDef *key = def && masterDataSet() ? def->column(detailField()) : nullptr;
    return key && key->type == ColumnType::Integer;
}

// ---- TADOQuery ---------------------------------------------------------------

TADOQuery::TADOQuery(TADOConnection *connection, const QString &name, QObject *parent)
    : TDataSet(connection, name, parent)
{}

void TADOQuery::clearSql()
{
    sql_.clear();
}

void TADOQuery::addSql(const QString &line)
{
    sql_ << line;
}

void TADOQuery::execSql()
{
    connection()->open();
    connection()->database().exec(sqlText(), params_);
}

void TADOQuery::addLookupField(const QString &name, const QString &keyField, TDataSet *lookup, const QString &lookupKey,
                               const QString &resultField)
{
    lookups_.push_back({name, keyField, lookupKey, resultField, lookup});
}

bool TADOQuery::isComputedField(const QString &field) const
{
    for (const Lookup &l : lookups_)
        if (l.name.compare(field, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool TADOQuery::computeField(const QString &field, int row, QVariant *out) const
{
    for (const Lookup &l : lookups_) {
        if (l.name.compare(field, Qt::CaseInsensitive) != 0) continue;
        *out = QVariant();
        if (row < 0 || !l.dataset->active()) return true;
        *out = l.dataset->lookup(l.lookupKey, storedValue(row, l.keyField), l.resultField);
        return true;
    }
    return false;
}

std::shared_ptr<const RowSet> TADOQuery::loadRows()
{
    table_.clear();
    memoColumns_.clear();
    orderColumn_ = -1;
    onlyRowids_.reset();
    QString sql = sqlText();
    // "select * from <table> ..." over a table with long columns: copy the
    // short columns only; the long ones are read for the row that asks.
    static const QRegularExpression star(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+([A-Za-z_][A-Za-z0-9_]*)\\b(.*)$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = star.match(sql);
    const TableDef *def = m.hasMatch() ? schema::table(m.captured(1)) : nullptr;
    Database &db = connection()->database();
    if (def) {
        table_ = def->name;
        QStringList cols = def->smallColumns();
        std::vector<bool> text;
        for (const QString &c : cols) text.push_back(def->column(c)->type == ColumnType::Text);
        for (const ColumnDef &c : def->columns)
            if (c.isMemo()) memoColumns_ << c.name;
        // The whole table, in row id order or ordered by one short column:
        // the table's shared copy serves, ordered as the copy orders text.
        static const QRegularExpression wholeTable(
            QStringLiteral("^\\s*(order\\s+by\\s+\"?([A-Za-z_][A-Za-z0-9_]*)\"?(\\s+asc)?)?\\s*;?\\s*$"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch whole = wholeTable.match(m.captured(2));
        if (whole.hasMatch()) {
            const QString order = whole.captured(2);
            for (int i = 0; i < cols.size(); ++i)
                if (cols[i].compare(order, Qt::CaseInsensitive) == 0) orderColumn_ = i;
        }
        // "where <column> like ?": an index of the column may name the rows.
        static const QRegularExpression likeOne(
            QStringLiteral("^\\s*where\\s+\"?([A-Za-z_][A-Za-z0-9_]*)\"?\\s+like\\s+\\?\\s*$"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch like = likeOne.match(m.captured(2));
        if (like.hasMatch() && params_.size() == 1) {
            onlyRowids_ = db.rowsLike(def->name, like.captured(1), params_[0].toString());
            if (onlyRowids_) return db.snapshot(def->name);
        }
        if (whole.hasMatch() && (whole.captured(2).isEmpty() || orderColumn_ >= 0)) {
            return db.snapshot(def->name);
        }
        Statement s(db.handle(), QStringLiteral("SELECT \"%1\".rowid, \"%2\" FROM \"%1\"%3")
                                     .arg(def->name, cols.join("\", \""), m.captured(2)));
        s.bindAll(params_);
        return RowSet::read(s, cols, text);
    }
    Statement s(db.handle(), sql);
    s.bindAll(params_);
    QStringList cols;
    std::vector<bool> text;
    for (int i = 0; i < s.columnCount(); ++i) {
        cols << s.columnName(i);
        text.push_back(true);
    }
    auto rows = std::make_shared<RowSet>(cols, text);
    qint64 n = 0;
    while (s.step()) {
        const int r = rows->append(++n);
        for (int c = 0; c < cols.size(); ++c) rows->setValue(r, c, s.column(c));
    }
    return rows;
}
