// The main window's handlers of the topic tree and the document list, whose
// work is done in topics/ and library/.
#include "app/main.h"

#include "data/Unit1.h"
#include "topics/topictree.h"

#include <QToolButton>

void TMainForm::SpeedButton16Click()
{
    tree->SpeedButton16Click();
}

void TMainForm::btbiaodwClick()
{
    tree->locate();
}

TDocumentList TMainForm::documentList()
{
    const TListWidgets widgets{DBGrid13,     DBGrid13Model, Label1,       Edit4,
                               RadioButton1, PageControl3,  SpeedButton2, Panel2};
    return TDocumentList(*MastData, *tree, widgets, *this, ListSql);
}

void TMainForm::TreeView1Click()
{
    documentList().TreeView1Click();
}

void TMainForm::SpeedButton18Click()
{
    documentList().SpeedButton18Click();
}

void TMainForm::DBGrid13CellClick()
{
    documentList().DBGrid13CellClick();
}

void TMainForm::DBGrid13DblClick()
{
    documentList().DBGrid13DblClick();
}

void TMainForm::PageControl3Change()
{
    documentList().PageControl3Change();
}

TDataSource *TMainForm::currentList() const
{
    return const_cast<TMainForm *>(this)->documentList().currentList();
}

TADOQuery *TMainForm::currentListQuery() const
{
    return const_cast<TMainForm *>(this)->documentList().currentListQuery();
}

qint64 TMainForm::currentListDocumentId() const
{
    return const_cast<TMainForm *>(this)->documentList().currentDocumentId();
}

QList<int> TMainForm::selectedListRows() const
{
    return const_cast<TMainForm *>(this)->documentList().selectedRows();
}
