#include "topics/Unitselectnode.h"

#include "topics/topictree.h"
#include "ui/command.h"
#include "ui/look.h"
#include "ui/messagebox.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QPushButton>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

Tfrmselectnode *frmselectnode = nullptr;

namespace {

const QString kTreeClickFailed = QStringLiteral("出错信息：点击专题窗出错。操作被中止");

void addSpace(QToolBar *bar, int width)
{
    auto *space = new QWidget(bar);
    space->setFixedWidth(width);
    bar->addWidget(space);
}

QToolButton *captionButton(QToolBar *bar, const char *name, const QString &caption, QSize size)
{
    QToolButton *b = ui::captionButton(bar, name, caption);
    b->setFixedSize(size);
    return b;
}

}  // namespace

Tfrmselectnode::Tfrmselectnode(QWidget *parent) : QDialog(parent)
{
    setObjectName("frmselectnode");
    setWindowTitle(QStringLiteral("专题选择窗"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar2 = new QToolBar(this);
    ToolBar2->setObjectName("ToolBar2");
    ToolBar2->setFixedHeight(29);
    addSpace(ToolBar2, 33);
    SpeedButton2 = captionButton(ToolBar2, "SpeedButton2", QStringLiteral("选定"), {72, 26});
    addSpace(ToolBar2, 40);
    SpeedButton3 = captionButton(ToolBar2, "SpeedButton3", QStringLiteral("取消"), {66, 26});
    layout->addWidget(ToolBar2);

    tree = new TTopicTree(false, this);
    tree->ToolBar1->setFixedHeight(25);
    tree->ToolBar1->setAutoFillBackground(true);
    look::setColour(tree->ToolBar1, QPalette::Window, QColor(192, 192, 192));
    look::setCream(tree->TreeView1);
    look::keepSelectionVisible(tree->TreeView1);
    tree->TreeView1->setFont(look::songFont(13));
    tree->TreeView1->setIndentation(19);
    layout->addWidget(tree, 1);

    btbiaodw2 = new QPushButton(QStringLiteral("btbiaodw2定位"), this);
    btbiaodw2->setObjectName("btbiaodw2");
    btbiaodw2->hide();

    resize(283, 378);
    move(489, 229);

    connect(SpeedButton2, &QToolButton::clicked, this, command(this, &Tfrmselectnode::SpeedButton2Click));
    connect(SpeedButton3, &QToolButton::clicked, this, command(this, &Tfrmselectnode::SpeedButton3Click));
    connect(btbiaodw2, &QPushButton::clicked, this, command(this, &Tfrmselectnode::btbiaodw2Click));
    connect(tree->TreeView1, &QTreeWidget::itemClicked, this, command(this, &Tfrmselectnode::TreeView1Click));
}

// Every showing rebuilds the tree, collapsed and with nothing selected.
void Tfrmselectnode::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    runCommand([this] { FormActivate(); });
}

void Tfrmselectnode::FormActivate()
{
    tree->SpeedButton16Click();
}

void Tfrmselectnode::SpeedButton2Click()
{
    if (tree->TreeView1->selectedItems().isEmpty()) {
        reject();
        return;
    }
    // A selection moved by the keyboard alone was never located: locate it,
    // so the topic filed under is always the one the user sees selected.
    btbiaodw2Click();
    accept();
}

void Tfrmselectnode::SpeedButton3Click()
{
    reject();
}

void Tfrmselectnode::btbiaodw2Click()
{
    tree->locate();
}

void Tfrmselectnode::TreeView1Click()
{
    const QList<QTreeWidgetItem *> selected = tree->TreeView1->selectedItems();
    tree->CurrentNode = selected.isEmpty() ? nullptr : selected.first();
    if (!tree->CurrentNode) return;
    try {
        btbiaodw2Click();
        tree->EnableTreeCommands();
    } catch (...) {
        MessageBoxes::notice(this, MessageBoxes::programTitle(), kTreeClickFailed);
    }
}

std::optional<PickedTopic> pickTopic()
{
    // Kept above the window that asks, the quick collection window included,
    // which stays above all others.
    QWidget *caller = QApplication::activeWindow();
    frmselectnode->winId();
    if (caller && caller != frmselectnode && frmselectnode->windowHandle())
        frmselectnode->windowHandle()->setTransientParent(caller->windowHandle());
    if (frmselectnode->exec() != QDialog::Accepted) return std::nullopt;
    const TTopicTree *t = frmselectnode->tree;
    PickedTopic picked;
    // A node whose topic was never stored has nothing to file under.
    if (t->CurrentNode && t->CurrentLevel >= 1 && TTopicTree::topicId(t->CurrentNode) > 0) {
        picked.level = t->CurrentLevel;
        picked.path = TTopicTree::pathIds(t->CurrentNode);
    }
    return picked;
}
