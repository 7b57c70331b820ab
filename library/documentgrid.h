#pragma once
#include "data/dataset.h"
#include "data/datasource.h"

class QTableView;

// The document grid's model: the titles as the grid shows them (the name
// column's title centred) and the row indicator on the current row.
class TDocumentGridModel : public DataSourceModel {
    Q_OBJECT
public:
    explicit TDocumentGridModel(QObject *parent = nullptr);
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int indicatorRow_ = -1;
};

// Keeps the grid's current row and the dataset's current row the same: a
// click moves the dataset, a move of the dataset moves the grid's current
// row. The grid's selection is left alone either way.
void followCurrentRow(QTableView *grid, DataSourceModel *model);
