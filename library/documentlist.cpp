// The document list: a topic's documents after a tree click, or the result of
// the keyword search; a click makes a listed document the current one.
#include "app/look.h"
#include "app/main.h"
#include "app/messagebox.h"
#include "data/Unit1.h"
#include "data/datasource.h"
#include "topics/topictree.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
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

TDataSource *TMainForm::currentList() const
{
    return DBGrid13Model->dataSource();
}

TADOQuery *TMainForm::currentListQuery() const
{
    TDataSource *list = currentList();
    return list ? qobject_cast<TADOQuery *>(list->dataSet()) : nullptr;
}

bool TMainForm::currentListIsTopicList() const
{
    return currentList() == MastData->DSADOQuery1;
}

void TMainForm::clearListSelection()
{
    DBGrid13->clearSelection();
}

qint64 TMainForm::currentListDocumentId() const
{
    TADOQuery *query = currentListQuery();
    if (!query || !query->active() || query->isEmpty()) return 0;
    // A topic's list holds links, whose document is fileid; a search lists documents.
    return query->fieldInt(currentListIsTopicList() ? "fileid" : "id");
}

QList<int> TMainForm::selectedListRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : DBGrid13->selectionModel()->selectedRows()) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TMainForm::showList(TDataSource *list)
{
    if (currentList() != list) DBGrid13Model->setDataSource(list);
}

void TMainForm::TreeView1Click()
{
    const QList<QTreeWidgetItem *> selected = tree->TreeView1->selectedItems();
    tree->CurrentNode = selected.isEmpty() ? nullptr : selected.first();
    if (!tree->CurrentNode) return;
    try {
        btbiaodwClick();
        showList(MastData->DSADOQuery1);
        TADOQuery *links = MastData->ADOQuery1;
        if (links->active()) links->close();
        // Only the links to this very topic, not those of its sub-topics.
        ListSql = QStringLiteral("select * from gl where ztid = ") +
                  QString::number(TTopicTree::topicId(tree->CurrentNode));
        loadStatement(links, ListSql);
        Label1->setText(countText(QStringLiteral("   [当前编数] "), links->recordCount()));
        tree->EnableTreeCommands();
    } catch (...) {
        MessageBoxes::notice(this, windowTitle(), kTreeClickFailed);
    }
}

void TMainForm::SpeedButton18Click()
{
    TADOQuery *found = MastData->ADOQuery2;
    if (found->active()) found->close();
    look::WaitCursor wait;
    showList(MastData->DSADOQuery2);
    SuspendedDisplay suspended(found);
    // The keyword goes to the engine as a value, never as statement text: a
    // quote is searched for like any other character, while "%" and "_"
    // typed by the user keep their wildcard meaning.
    const QString keyword = Edit4->text();
    QVariantList parameters;
    if (keyword.isEmpty()) {
        ListSql = QStringLiteral("Select * from mainfile order by name");
    } else {
        ListSql = RadioButton1->isChecked() ? QStringLiteral("Select * from mainfile where name like ? ")
                                            : QStringLiteral("Select * from mainfile where  text like ? ");
        parameters << QVariant(QLatin1Char('%') + keyword + QLatin1Char('%'));
    }
    loadStatement(found, ListSql, parameters);
    Label1->setText(countText(QStringLiteral("  [当前编数] "), found->recordCount()));
}

void TMainForm::DBGrid13CellClick()
{
    if (!DBGrid13->selectionModel()->hasSelection()) return;
    TADOQuery *query = currentListQuery();
    if (!query || !query->active()) return;
    const qint64 documentId = currentListDocumentId();
    try {
        if (!MastData->ADOTgl2->active()) MastData->ADOTgl2->open();
        if (query->isEmpty()) {
            SpeedButton2->setEnabled(false);
            return;
        }
        SpeedButton2->setEnabled(true);
        // A row whose document is gone leaves the current document where it was.
        MastData->ADOTmain->locate("id", documentId);
        if (PageControl3->currentIndex() == 1)
            btshowbzClick();
        else
            btshowglxxClick();
    } catch (...) {
        MessageBoxes::notice(this, windowTitle(), kListClickFailed);
    }
}

void TMainForm::DBGrid13DblClick()
{
    if (!DBGrid13->selectionModel()->hasSelection()) return;
    TADOQuery *query = currentListQuery();
    if (!query || !query->active() || query->isEmpty()) return;
    if (!MastData->ADOTmain->locate("id", currentListDocumentId())) return;
    BitBtn3Click();
    Panel2->hide();
}

void TMainForm::PageControl3Change()
{
    if (PageControl3->currentIndex() == 1) btshowbzClick();
}
