#include "documents/Unit3.h"

#include "ui/command.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TForm3 *Form3 = nullptr;

namespace {

// Carried as the design's tree items carry them: the document in the
// selected-image index, the caret in the image index, the ordinal in the
// state index.
enum Role { CaretRole = Qt::UserRole + 1, DocumentRole, OrdinalRole };

}  // namespace

TForm3::TForm3(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName("Form3");
    setWindowTitle(QStringLiteral("跳转选择窗"));
    auto *column = new QVBoxLayout(this);
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName("TreeView1");
    TreeView1->setHeaderHidden(true);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    column->addWidget(TreeView1, 1);
    auto *buttons = new QHBoxLayout;
    SpeedButton1 = new QPushButton(QStringLiteral("选定"), this);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton2 = new QPushButton(QStringLiteral("返回"), this);
    SpeedButton2->setObjectName("SpeedButton2");
    buttons->addStretch(1);
    buttons->addWidget(SpeedButton1);
    buttons->addWidget(SpeedButton2);
    column->addLayout(buttons);
    resize(320, 360);

    connect(SpeedButton1, &QPushButton::clicked, this, command(this, &TForm3::SpeedButton1Click));
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, command(this, &TForm3::SpeedButton1Click));
    connect(SpeedButton2, &QPushButton::clicked, this, command(this, &TForm3::SpeedButton2Click));
}

void TForm3::SpeedButton1Click()
{
    if (onGoToSelected) onGoToSelected();
}

void TForm3::SpeedButton2Click()
{
    hide();
}

qint64 TForm3::documentOf(const QTreeWidgetItem *mark)
{
    return mark->data(0, DocumentRole).toLongLong();
}

int TForm3::caretOf(const QTreeWidgetItem *mark)
{
    return mark->data(0, CaretRole).toInt();
}

int TForm3::ordinalOf(const QTreeWidgetItem *mark)
{
    return mark->data(0, OrdinalRole).toInt();
}

void TForm3::addMark(int ordinal, qint64 documentId, int caret, const QString &label)
{
    auto *mark = new QTreeWidgetItem(QStringList{label});
    mark->setData(0, DocumentRole, documentId);
    mark->setData(0, CaretRole, caret);
    mark->setData(0, OrdinalRole, ordinal);
    TreeView1->addTopLevelItem(mark);
    TreeView1->setCurrentItem(mark);
}

QTreeWidgetItem *TForm3::selectedMark() const
{
    const QList<QTreeWidgetItem *> selected = TreeView1->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TForm3::selectMark(int ordinal)
{
    if (QTreeWidgetItem *mark = TreeView1->topLevelItem(ordinal)) TreeView1->setCurrentItem(mark);
}
