#include "library/documentlist.h"

#include "data/Unit1.h"
#include "data/datasource.h"
#include "library/documentgrid.h"
#include "topics/topictree.h"
#include "ui/look.h"
#include "ui/messagebox.h"

#include <QAbstractButton>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>

namespace {

const QString kTreeClickFailed = QStringLiteral("出错信息：点击专题窗出错。操作被中止");
const QString kListClickFailed = QStringLiteral("出错信息：点击列表窗出错。操作被中止");

// Grids bound to the query show nothing while it loads, and its rows once
// loaded or once it failed.
struct SuspendedDisplay {
    explicit SuspendedDisplay(TDataSet *ds) : ds(ds) { ds->disableControls(); }
    ~SuspendedDisplay() { ds->enableControls(); }
    TDataSet *ds;
};

void loadStatement(TADOQuery *query, const QString &statement, const QVariantList &parameters = {})
{
    query->clearSql();
    query->addSql(statement);
    query->setParameters(parameters);
    query->open();
}

QString countText(const QString &prefix, int count)
{
    return prefix + QString::number(count) + QStringLiteral("篇");
}

}  // namespace

TDocumentList::TDocumentList(TMastData &data, TTopicTree &tree, const TListWidgets &widgets, TListHost &host,
                             QString &listSql)
    : data_(data), tree_(tree), w_(widgets), host_(host), listSql_(listSql)
{}

TDataSource *TDocumentList::currentList() const
{
    return w_.model->dataSource();
}

TADOQuery *TDocumentList::currentListQuery() const
{
    TDataSource *list = currentList();
    return list ? qobject_cast<TADOQuery *>(list->dataSet()) : nullptr;
}

bool TDocumentList::isTopicList() const
{
    return currentList() == data_.DSADOQuery1;
}

qint64 TDocumentList::currentDocumentId() const
{
    TADOQuery *query = currentListQuery();
    if (!query || !query->active() || query->isEmpty()) return 0;
    // A topic's list holds links, whose document is fileid; a search lists documents.
    return query->fieldInt(isTopicList() ? "fileid" : "id");
}

QList<int> TDocumentList::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : w_.DBGrid13->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool TDocumentList::hasSelection() const
{
    return w_.DBGrid13->selectionModel()->hasSelection();
}

void TDocumentList::clearSelection()
{
    w_.DBGrid13->clearSelection();
}

void TDocumentList::showList(TDataSource *list)
{
    if (currentList() != list) w_.model->setDataSource(list);
}

void TDocumentList::TreeView1Click()
{
    tree_.CurrentNode = tree_.selectedNode();
    if (!tree_.CurrentNode) return;
    try {
        tree_.locate();
        showList(data_.DSADOQuery1);
        TADOQuery *links = data_.ADOQuery1;
        if (links->active()) links->close();
        // Only the links to this very topic, not those of its sub-topics.
        listSql_ =
            QStringLiteral("select * from gl where ztid = ") + QString::number(TTopicTree::topicId(tree_.CurrentNode));
        loadStatement(links, listSql_);
        w_.Label1->setText(countText(QStringLiteral("   [当前编数] "), links->recordCount()));
        tree_.EnableTreeCommands();
    } catch (...) {
        MessageBoxes::notice(w_.DBGrid13->window(), MessageBoxes::programTitle(), kTreeClickFailed);
    }
}

void TDocumentList::SpeedButton18Click()
{
    TADOQuery *found = data_.ADOQuery2;
    if (found->active()) found->close();
    look::WaitCursor wait;
    showList(data_.DSADOQuery2);
    SuspendedDisplay suspended(found);
    // The keyword goes to the engine as a value, never as statement text: a
    // quote is searched for like any other character, while "%" and "_"
    // typed by the user keep their wildcard meaning.
    const QString keyword = w_.Edit4->text();
    QVariantList parameters;
    if (keyword.isEmpty()) {
        listSql_ = QStringLiteral("Select * from mainfile order by name");
    } else {
        listSql_ = w_.RadioButton1->isChecked() ? QStringLiteral("Select * from mainfile where name like ? ")
                                                : QStringLiteral("Select * from mainfile where  text like ? ");
        parameters << QVariant(QLatin1Char('%') + keyword + QLatin1Char('%'));
    }
    loadStatement(found, listSql_, parameters);
    w_.Label1->setText(countText(QStringLiteral("  [当前编数] "), found->recordCount()));
}

void TDocumentList::DBGrid13CellClick()
{
    if (!hasSelection()) return;
    TADOQuery *query = currentListQuery();
    if (!query || !query->active()) return;
    const qint64 documentId = currentDocumentId();
    try {
        if (!data_.ADOTgl2->active()) data_.ADOTgl2->open();
        if (query->isEmpty()) {
            w_.SpeedButton2->setEnabled(false);
            return;
        }
        w_.SpeedButton2->setEnabled(true);
        // A row whose document is gone leaves the current document where it was.
        data_.ADOTmain->locate("id", documentId);
        if (w_.PageControl3->currentIndex() == 1)
            host_.btshowbzClick();
        else
            host_.btshowglxxClick();
    } catch (...) {
        MessageBoxes::notice(w_.DBGrid13->window(), MessageBoxes::programTitle(), kListClickFailed);
    }
}

void TDocumentList::DBGrid13DblClick()
{
    if (!hasSelection()) return;
    TADOQuery *query = currentListQuery();
    if (!query || !query->active() || query->isEmpty()) return;
    if (!data_.ADOTmain->locate("id", currentDocumentId())) return;
    host_.BitBtn3Click();
    w_.Panel2->hide();
}

void TDocumentList::PageControl3Change()
{
    if (w_.PageControl3->currentIndex() == 1) host_.btshowbzClick();
}
