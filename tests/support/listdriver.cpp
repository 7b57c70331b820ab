#include "tests/support/listdriver.h"

#include "app/main.h"
#include "tests/support/treedriver.h"
#include "topics/topictree.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

void clickTopic(const QString &name)
{
    QTreeWidget *tree = MainForm->tree->TreeView1;
    QTreeWidgetItem *node = nodeNamed(tree, name);
    if (!node) {
        QTest::qFail(qPrintable("no topic " + name), __FILE__, __LINE__);
        return;
    }
    clickNode(tree, node);
}

void searchFor(const QString &keyword, bool inTitles)
{
    (inTitles ? MainForm->RadioButton1 : MainForm->RadioButton2)->setChecked(true);
    MainForm->Edit4->setText(keyword);
    QTest::mouseClick(MainForm->SpeedButton18, Qt::LeftButton);
}

QStringList gridRows()
{
    QAbstractItemModel *m = MainForm->DBGrid13->model();
    QStringList rows;
    for (int r = 0; r < m->rowCount(); ++r)
        rows << m->index(r, 0).data().toString() + '|' + m->index(r, 1).data().toString();
    return rows;
}

namespace {
QPoint rowCentre(int row)
{
    QTableView *grid = MainForm->DBGrid13;
    grid->scrollTo(grid->model()->index(row, 1));
    return grid->visualRect(grid->model()->index(row, 1)).center();
}
}  // namespace

void clickRow(int row, Qt::KeyboardModifiers modifiers)
{
    QTest::mouseClick(MainForm->DBGrid13->viewport(), Qt::LeftButton, modifiers, rowCentre(row));
}

void doubleClickRow(int row)
{
    clickRow(row);
    QTest::mouseDClick(MainForm->DBGrid13->viewport(), Qt::LeftButton, {}, rowCentre(row));
}

void selectRowsNamed(const QStringList &names)
{
    QAbstractItemModel *m = MainForm->DBGrid13->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (names.contains(m->index(r, 1).data().toString())) clickRow(r, Qt::ControlModifier);
}
