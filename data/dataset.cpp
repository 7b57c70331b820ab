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
    if (own_) return *own_;
    return *shared_;
}

RowSet &TDataSet::ownRows()
{
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

void TDataSet::materializeView()
{
    if (viewIsRef_) {
        viewOwn_.assign(viewRef_.begin(), viewRef_.end());
        viewIsRef_ = false;
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
    std::shared_ptr<const RowSet> loaded = loadRows();
    shared_ = loaded;
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
    shared_.reset();
    own_.reset();
    viewIsRef_ = false;
    viewOwn_.clear();
    pos_ = -1;
    bof_ = eof_ = true;
    emitReset();
    detailsFollow();
}

int TDataSet::recordCount() const
{
    return active() ? int(view().size()) : 0;
}

int TDataSet::currentRow() const
{
    if (!active() || pos_ < 0 || pos_ >= int(view().size())) return -1;
    return view()[pos_];
}

QVariant TDataSet::keyFor(int col, const QVariant &value) const
{
    if (!value.isValid() || value.isNull()) return {};
    if (rows().isText(col)) return value.toString();
    bool ok = false;
    qint64 v = value.toString().trimmed().toLongLong(&ok);
    if (!ok) throw DataError(QStringLiteral("“%1”不是数字").arg(value.toString()));
    return QVariant(v);
}

void TDataSet::rebuildView()
{
    viewIsRef_ = false;
    viewOwn_.clear();
    if (active()) {
        const RowSet &rs = rows();
        const int sortCol = sort_.isEmpty() ? -1 : rs.columnIndex(sort_);
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
    if (active()) return rows().columnIndex(field) >= 0;
    return false;
}

QStringList TDataSet::fieldNames() const
{
    QStringList out = active() ? rows().columns() : QStringList();
    out += memoColumns_;
    return out;
}

bool TDataSet::isMemo(const QString &field) const
{
    for (const QString &m : memoColumns_)
        if (m.compare(field, Qt::CaseInsensitive) == 0) return true;
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
    auto it = pending_.constFind(lower(field));
    if (it != pending_.constEnd()) return *it;
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
    const QVariant k = keyFor(kc, key);
    if (!master_ && !(filtered_ && filterCond_)) {
        const RowRange hits = rs.matching(kc, k, -1);
        return hits.empty() ? QVariant() : rs.value(hits[0], rc);
    }
    for (int r : view())
        if (!rs.isNull(r, kc) && rs.value(r, kc) == k) return rs.value(r, rc);
    return {};
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
    if (!hasField(field) && !rows().columns().contains(field, Qt::CaseInsensitive))
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
        const qint64 rowid = db.insertRow(table_, cols, vals);
        RowSet &rs = ownRows();
        const int row = rs.append(rowid);
        // Read the stored row back, so the engine's id and defaults show.
        const QStringList small = rs.columns();
        Statement s(db.handle(),
                    QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE rowid = ?").arg(small.join("\", \""), table_));
        s.bind(1, rowid);
        if (s.step())
            for (int c = 0; c < small.size(); ++c) rs.setValue(row, c, s.column(c));
        const int at = std::clamp(insertPos_, 0, int(viewOwn_.size()));
        viewOwn_.insert(viewOwn_.begin() + at, row);
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
        db.updateRow(table_, rowid, cols, vals);
        RowSet &rs = ownRows();
        for (int i = 0; i < cols.size(); ++i) {
            const int c = rs.columnIndex(cols[i]);
            if (c >= 0) rs.setValue(row, c, vals[i]);
        }
        state_ = DataSetState::Browse;
        pending_.clear();
        modified_ = false;
        emitRow(&TDataSet::rowChanged, pos_);
        detailsFollow();
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
    conn_->database().deleteRow(table_, rows().rowid(row));
    state_ = DataSetState::Browse;
    pending_.clear();
    modified_ = false;
    RowSet &rs = ownRows();
    rs.remove(row);
    const int at = pos_;
    viewOwn_.erase(viewOwn_.begin() + at);
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
        for (int c = 0; c < small.size(); ++c) rs.setValue(row, c, s.column(c));
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
    const RowRange v = view();
    // The rows with the first value come from the copy's index on that
    // field; the view is then searched for the first of them it shows.
    std::vector<int> hits;
    if (keys[0].isValid()) {
        for (int r : rs.matching(cols[0], keys[0], -1))
            if (matchesAll(r)) hits.push_back(r);
        std::sort(hits.begin(), hits.end());
        if (hits.empty()) return false;
    }
    for (int p = 0; p < int(v.size()); ++p) {
        const bool found = keys[0].isValid() ? std::binary_search(hits.begin(), hits.end(), v[p]) : matchesAll(v[p]);
        if (found) {
            bof_ = eof_ = false;
            setPosition(p);
            return true;
        }
    }
    return false;
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
    const int row = rows().rowOf(b);
    if (row < 0) return false;
    const RowRange v = view();
    for (int p = 0; p < int(v.size()); ++p)
        if (v[p] == row) {
            bof_ = eof_ = false;
            setPosition(p);
            return true;
        }
    return false;
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
