#pragma once
#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

class TDataSource;
class TDataSet;

// Presents the dataset behind a data source to a grid: one row per row of
// the dataset's view, one column per field given. Switching the data source
// or reopening the dataset resets the model.
class DataSourceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSourceModel(QObject *parent = nullptr);

    void setDataSource(TDataSource *source);
    TDataSource *dataSource() const { return source_; }
    TDataSet *dataSet() const;

    struct Column {
        QString field;
        QString title;
    };
    void setColumns(const QList<Column> &columns);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // The dataset's current row moved (by a locate, a post, ...).
    void currentMoved(int row);

private:
    void attach();
    void detach();

    QPointer<TDataSource> source_;
    QPointer<TDataSet> attached_;
    QList<Column> columns_;
    QList<QMetaObject::Connection> links_;
    // The row count last announced to the views; a dataset whose display is
    // suspended changes without telling, and a model must not.
    int rows_ = 0;
    int liveCount() const;
};
