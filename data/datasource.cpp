#include "data/datasource.h"

#include "data/dataerror.h"
#include "data/dataset.h"

DataSourceModel::DataSourceModel(QObject *parent) : QAbstractTableModel(parent) {}

TDataSet *DataSourceModel::dataSet() const
{
    return source_ ? source_->dataSet() : nullptr;
}

void DataSourceModel::setDataSource(TDataSource *source)
{
    beginResetModel();
    detach();
    source_ = source;
    attach();
    rows_ = liveCount();
    endResetModel();
}

void DataSourceModel::setColumns(const QList<Column> &columns)
{
    beginResetModel();
    columns_ = columns;
    rows_ = liveCount();
    endResetModel();
}

void DataSourceModel::attach()
{
    TDataSet *ds = dataSet();
    attached_ = ds;
    if (!ds) return;
    links_ << connect(ds, &TDataSet::rowsReset, this, [this] {
        beginResetModel();
        rows_ = liveCount();
        endResetModel();
        if (attached_ && attached_->recNo() > 0) emit currentMoved(attached_->recNo() - 1);
    });
    links_ << connect(ds, &TDataSet::currentChanged, this, [this] {
        if (attached_ && attached_->recNo() > 0) emit currentMoved(attached_->recNo() - 1);
    });
    links_ << connect(ds, &TDataSet::rowChanged, this,
                      [this](int pos) { emit dataChanged(index(pos, 0), index(pos, columnCount() - 1)); });
    links_ << connect(ds, &TDataSet::rowInserted, this, [this](int pos) {
        beginInsertRows({}, pos, pos);
        rows_ = liveCount();
        endInsertRows();
    });
    links_ << connect(ds, &TDataSet::rowRemoved, this, [this](int pos) {
        beginRemoveRows({}, pos, pos);
        rows_ = liveCount();
        endRemoveRows();
    });
}

void DataSourceModel::detach()
{
    for (const auto &l : links_) disconnect(l);
    links_.clear();
    attached_ = nullptr;
}

int DataSourceModel::liveCount() const
{
    TDataSet *ds = dataSet();
    return ds && ds->active() ? ds->recordCount() : 0;
}

int DataSourceModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int DataSourceModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DataSourceModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    TDataSet *ds = dataSet();
    if (!ds || !ds->active() || index.row() >= ds->recordCount()) return {};
    const QString &field = columns_[index.column()].field;
    // A field the current dataset lacks (a search row has no fileid) shows empty.
    if (!ds->hasField(field)) return {};
    try {
        return ds->valueAt(index.row(), field);
    } catch (const DataError &) {
        return {};
    }
}

QVariant DataSourceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal && section < columns_.size()) return columns_[section].title;
    if (orientation == Qt::Vertical) return QString();
    return {};
}
