#pragma once
#include <QList>
#include <QString>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTableView;
class QWidget;
class TADOQuery;
class TDataSource;
class TDocumentGridModel;
class TMastData;
class TTopicTree;

// The widgets of the library panel that the document list works on.
struct TListWidgets {
    QTableView *DBGrid13;
    TDocumentGridModel *model;
    QLabel *Label1;
    QLineEdit *Edit4;
    QRadioButton *RadioButton1;  // "标题"
    QTabWidget *PageControl3;
    QAbstractButton *SpeedButton2;  // "取消", offered while the list holds rows
    QWidget *Panel2;
};

// What the list runs in the main window, which lies above this folder.
class TListHost {
public:
    virtual ~TListHost() = default;
    virtual void btshowglxxClick() = 0;  // link information
    virtual void btshowbzClick() = 0;    // annotation list
    virtual void BitBtn3Click() = 0;     // open the current document
};

// The document list: a topic's documents after a tree click, or the result
// of the keyword search; a click makes a listed document the current one.
// Made for each use from the window's widgets and state.
class TDocumentList {
public:
    TDocumentList(TMastData &data, TTopicTree &tree, const TListWidgets &widgets, TListHost &host, QString &listSql);

    void TreeView1Click();
    void SpeedButton18Click();
    void DBGrid13CellClick();
    void DBGrid13DblClick();
    void PageControl3Change();

    // The current list: the data source the grid shows (DSADOQuery1 after a
    // tree click, DSADOQuery2 after a search), its query, whether it is the
    // topic list, the document id of the query's current row, and the
    // positions of the selected rows in list order.
    TDataSource *currentList() const;
    TADOQuery *currentListQuery() const;
    bool isTopicList() const;
    qint64 currentDocumentId() const;
    QList<int> selectedRows() const;
    bool hasSelection() const;
    void clearSelection();

private:
    void showList(TDataSource *list);
    TMastData &data_;
    TTopicTree &tree_;
    TListWidgets w_;
    TListHost &host_;
    QString &listSql_;
};
