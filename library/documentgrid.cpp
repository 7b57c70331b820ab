#include "library/documentgrid.h"

#include "data/dataset.h"
#include "ui/command.h"

#include <QItemSelectionModel>
#include <QTableView>

TDocumentGridModel::TDocumentGridModel(QObject *parent) : DataSourceModel(parent)
{
    setColumns({{"fileid", QStringLiteral("文件ID")}, {"name", QStringLiteral("文 件 名 称")}});
    auto moveIndicator = [this](int row) {
        const int old = indicatorRow_;
        indicatorRow_ = row;
        if (old >= 0 && old < rowCount()) emit headerDataChanged(Qt::Vertical, old, old);
        if (row >= 0 && row < rowCount()) emit headerDataChanged(Qt::Vertical, row, row);
    };
    connect(this, &DataSourceModel::currentMoved, this, moveIndicator);
    connect(this, &QAbstractItemModel::modelReset, this, [this] {
        TDataSet *ds = dataSet();
        indicatorRow_ = ds && ds->active() && rowCount() > 0 ? ds->recNo() - 1 : -1;
    });
}

QVariant TDocumentGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return section == 1 ? QVariant(Qt::AlignCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section == indicatorRow_ ? QStringLiteral("▸") : QString();
    return DataSourceModel::headerData(section, orientation, role);
}

void followCurrentRow(QTableView *grid, DataSourceModel *model)
{
    auto showDataSetRow = [grid, model] {
        TDataSet *ds = model->dataSet();
        if (!ds || !ds->active() || ds->recNo() <= 0 || ds->recNo() > model->rowCount()) return;
        const int row = ds->recNo() - 1;
        if (grid->currentIndex().row() == row) return;
        const int column = std::max(grid->currentIndex().column(), 0);
        grid->selectionModel()->setCurrentIndex(model->index(row, column), QItemSelectionModel::NoUpdate);
    };
    QObject::connect(model, &DataSourceModel::currentMoved, grid, showDataSetRow);
    QObject::connect(model, &QAbstractItemModel::modelReset, grid, showDataSetRow);
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, grid,
                     [model](const QModelIndex &current) {
                         TDataSet *ds = model->dataSet();
                         if (!current.isValid() || !ds || !ds->active() || ds->recNo() == current.row() + 1) return;
                         runCommand([ds, &current] { ds->moveTo(current.row()); });
                     });
}
