#pragma once
#include "data/database.h"
#include "data/filter.h"
#include "data/rowset.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class RowSet;
class TDataSource;

// The connection to the library file. It opens when the first dataset over
// it is opened.
class TADOConnection : public QObject {
    Q_OBJECT
public:
    explicit TADOConnection(const QString &fileName, QObject *parent = nullptr);
    void open();  // throws DataError naming the reason
    void close();
    bool connected() const { return db_.isOpen(); }
    QString fileName() const { return fileName_; }
    void setFileName(const QString &f) { fileName_ = f; }
    void setBusyTimeout(int ms) { busyTimeoutMs_ = ms; }
    Database &database() { return db_; }

private:
    QString fileName_;
    int busyTimeoutMs_ = 3000;
    Database db_;
};

enum class DataSetState { Inactive, Browse, Edit, Insert };

// A named dataset over a table or a statement. On open it takes its own copy
// of the rows (long text columns are read for the row that asks); rows
// written through another dataset show after close and open.
//
// How the copy is taken (see Database): a table or "select * from table
// [order by column]" shares the table's copy until this dataset writes; a
// detail of an integer key reads the rows of each key it shows when it first
// needs them, as they were when it opened, and counts a key's rows without
// reading them when nothing was written since. A locate, lookup or bookmark
// finds rows through the copy's index on the field and their place through
// the view's own order.
class TDataSet : public QObject {
    Q_OBJECT
public:
    TDataSet(TADOConnection *connection, const QString &name, QObject *parent = nullptr);
    ~TDataSet() override;

    QString name() const { return objectName(); }
    TADOConnection *connection() const { return conn_; }

    // Lifecycle.
    void open();
    void close();
    bool active() const { return state_ != DataSetState::Inactive; }
    DataSetState state() const { return state_; }

    // Movement.
    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    int recNo() const { return pos_ + 1; }  // 0 when there is no current row
    void moveTo(int position);              // 0-based, clamped

    // Fields of the current row (or of the row being edited).
    QVariant fieldValue(const QString &field) const;
    QString fieldText(const QString &field) const { return fieldValue(field).toString(); }
    qint64 fieldInt(const QString &field) const { return fieldValue(field).toLongLong(); }
    bool fieldIsNull(const QString &field) const { return fieldValue(field).isNull(); }
    void setFieldValue(const QString &field, const QVariant &value);
    bool hasField(const QString &field) const;
    QStringList fieldNames() const;
    // A field of the row at a position of the view, for grids.
    QVariant valueAt(int position, const QString &field) const;
    // resultField of the first row whose keyField equals key, without moving.
    QVariant lookup(const QString &keyField, const QVariant &key, const QString &resultField) const;

    // Editing.
    void append();
    void insert();
    void edit();
    void post();
    void cancel();
    void remove();
    void refresh();
    bool modified() const { return modified_; }

    // Locating: "id", or "ztid;fileid" with one value per field.
    bool locate(const QString &fields, const QVariantList &values);
    bool locate(const QString &field, const QVariant &value) { return locate(field, QVariantList{value}); }

    using Bookmark = qint64;  // the engine's row id; 0 for none
    Bookmark bookmark() const;
    bool gotoBookmark(Bookmark b);

    void setFilter(const QString &text);
    QString filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

    void setSort(const QString &field);
    QString sort() const { return sort_; }

    // Detail of master's current row: detailField = masterField.
    void setMaster(TDataSource *master, const QString &masterField, const QString &detailField);
    TDataSet *masterDataSet() const;
    QString detailField() const { return detailField_; }

    // Suspends the signals to grids; resuming shows the rows afresh.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return disabled_ > 0; }

    // Runs when a new row starts, after the detail key is filled.
    std::function<void(TDataSet &)> onNewRecord;

signals:
    void rowsReset();
    void currentChanged();
    void rowChanged(int position);
    void rowInserted(int position);
    void rowRemoved(int position);

protected:
    // Subclasses say which table the rows come from and how to read them.
    virtual std::shared_ptr<const RowSet> loadRows() = 0;
    // The table written on post and delete; empty for a free statement.
    QString table_;
    // Long columns read on demand from table_, by row id.
    QStringList memoColumns_;
    // Fields that are computed rather than stored (lookups).
    virtual bool computeField(const QString &field, int row, QVariant *out) const;
    virtual bool isComputedField(const QString &field) const;
    QVariant storedValue(int row, const QString &field) const;

protected:
    // Whether rows are read per key of the master, when first needed,
    // instead of copying the table (tables keyed by an integer column).
    virtual bool readsPerKey() const { return false; }
    // The column a statement orders by, when the rows come from a table copy.
    int orderColumn_ = -1;
    // The rows of the table copy that a statement selects, by row id, when
    // an index answered its condition.
    std::optional<std::vector<qint64>> onlyRowids_;

private:
    const RowSet &rows() const;
    // The columns, without reading any row.
    const RowSet &shape() const;
    RowSet &ownRows();
    RowRange view() const;
    void materializeView();
    void rebuildView();
    void buildKeyView();
    void ensureView() const;
    int keyedCount() const;
    int sortColumn() const;
    // The position of a row in the view, -1 when it is not shown; through
    // the view's own order, never by walking the rows.
    int positionOf(int row) const;
    void setPosition(int pos, bool notify = true);
    void checkBrowseMode();
    void startNewRow(int position);
    void postDetails();
    void detailsFollow();
    void detailsDropRows();
    void forgetOtherKey(int row);
    void requireActive() const;
    void requireTable() const;
    int currentRow() const;
    qint64 shownId(int row) const;
    bool isMemo(const QString &field) const;
    QVariant readMemo(qint64 rowid, const QString &field) const;
    void checkValue(const QString &field, const QVariant &value) const;
    QVariant keyFor(int col, const QVariant &value) const;
    void emitReset();
    void emitCurrent();
    void emitRow(void (TDataSet::*signal)(int), int position);

    TADOConnection *conn_;
    DataSetState state_ = DataSetState::Inactive;
    quint64 moment_ = 0;  // when the copy was taken
    std::shared_ptr<const RowSet> shared_;
    std::shared_ptr<RowSet> own_;
    // Per-key reading: the rows of each key read so far (this dataset's
    // own, written in place), the key shown now, and whether its view is
    // still to be built.
    bool keyed_ = false;
    std::map<qint64, std::shared_ptr<RowSet>> keyRows_;
    std::set<qint64> keptKeys_;  // written to or refreshed: never dropped
    std::shared_ptr<RowSet> keyShape_;
    std::shared_ptr<RowSet> current_;
    std::optional<qint64> key_;
    bool viewPending_ = false;
    // The rows shown: a range of the copy's own order or index while this
    // dataset has not written, else a list of its own.
    RowRange viewRef_;
    bool viewIsRef_ = false;
    std::vector<int> viewOwn_;
    mutable std::vector<int> positions_;  // row -> position, for a list of its own
    mutable bool positionsValid_ = false;
    int pos_ = -1;
    bool bof_ = true, eof_ = true;

    QHash<QString, QVariant> pending_;  // field (lower case) -> new value
    bool modified_ = false;
    int insertPos_ = 0;

    QString filterText_;
    bool filtered_ = false;
    std::optional<FilterCondition> filterCond_;
    QString sort_;

    TDataSource *master_ = nullptr;
    QString masterField_, detailField_;
    std::vector<TDataSet *> details_;

    int disabled_ = 0;
    bool pendingReset_ = false;
};

// A whole table, optionally filtered, sorted and tied to a master.
class TADOTable : public TDataSet {
    Q_OBJECT
public:
    TADOTable(TADOConnection *connection, const QString &name, const QString &tableName, QObject *parent = nullptr);
    QString tableName() const { return table_; }

protected:
    std::shared_ptr<const RowSet> loadRows() override;
    bool readsPerKey() const override;
};

// The result of a statement text, built one line at a time.
class TADOQuery : public TDataSet {
    Q_OBJECT
public:
    TADOQuery(TADOConnection *connection, const QString &name, QObject *parent = nullptr);

    void clearSql();
    void addSql(const QString &line);
    QString sqlText() const { return sql_.join('\n'); }
    // Values bound to the statement's "?" marks, in order.
    void setParameters(const QVariantList &values) { params_ = values; }
    void execSql();  // a statement that returns no rows

    // A lookup field: the resultField of the row of lookup whose lookupKey
    // equals this row's keyField (empty while lookup is closed).
    void addLookupField(const QString &name, const QString &keyField, TDataSet *lookup, const QString &lookupKey,
                        const QString &resultField);

protected:
    std::shared_ptr<const RowSet> loadRows() override;
    bool computeField(const QString &field, int row, QVariant *out) const override;
    bool isComputedField(const QString &field) const override;

private:
    struct Lookup {
        QString name, keyField, lookupKey, resultField;
        TDataSet *dataset;
    };
    QStringList sql_;
    QVariantList params_;
    std::vector<Lookup> lookups_;
};

// Ties grids and detail datasets to a dataset.
class TDataSource : public QObject {
    Q_OBJECT
public:
    TDataSource(const QString &name, TDataSet *dataSet, QObject *parent = nullptr);
    TDataSet *dataSet() const { return dataSet_; }

private:
    TDataSet *dataSet_;
};
