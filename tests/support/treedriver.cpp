#include "tests/support/treedriver.h"

#include "topics/Unitselectnode.h"
#include "topics/topictree.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

QTreeWidgetItem *nodeNamed(QTreeWidget *tree, const QString &name)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->text(0) == name || (*it)->text(0).startsWith(name + '[')) return *it;
    return nullptr;
}

void clickNode(QTreeWidget *tree, QTreeWidgetItem *node)
{
    for (QTreeWidgetItem *p = node->parent(); p; p = p->parent()) p->setExpanded(true);
    tree->scrollToItem(node);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
}

QList<bool> enabledCommands(const TTopicTree *tree)
{
    QList<bool> out;
    for (QToolButton *b : {tree->SpeedButton8, tree->SpeedButton9, tree->SpeedButton12, tree->SpeedButton13,
                           tree->SpeedButton14, tree->SpeedButton15})
        out << b->isEnabled();
    return out;
}

QLineEdit *labelEditor(QTreeWidget *tree)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QLineEdit *e : tree->viewport()->findChildren<QLineEdit *>())
        if (e->isVisible()) return e;
    return nullptr;
}

namespace {
void endEdit(QTreeWidget *tree, const QString &text, Qt::Key key)
{
    // A click on the node that was already selected opens the editor only
    // after the double-click time, whatever command comes meanwhile.
    QLineEdit *editor = labelEditor(tree);
    for (int waited = 0; !editor && waited < 2000; waited += 20) {
        QTest::qWait(20);
        editor = labelEditor(tree);
    }
    if (!editor) {
        QTest::qFail("no label editor is open", __FILE__, __LINE__);
        return;
    }
    if (key != Qt::Key_Escape) editor->setText(text);
    QTest::keyClick(editor, key);
    // Enter ends the edit through a queued call.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
}  // namespace

void acceptEdit(QTreeWidget *tree, const QString &text)
{
    endEdit(tree, text, Qt::Key_Return);
}

void cancelEdit(QTreeWidget *tree)
{
    endEdit(tree, QString(), Qt::Key_Escape);
}

void whenPickerShows(const std::function<void(Tfrmselectnode *)> &action)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (!frmselectnode || !frmselectnode->isVisible() || QApplication::activeModalWidget() != frmselectnode)
            return;
        poll->stop();
        poll->deleteLater();
        action(frmselectnode);
    });
    poll->start();
}

void whenPickerShowsPick(const QString &topic)
{
    whenPickerShows([topic](Tfrmselectnode *picker) {
        QTreeWidget *tree = picker->tree->TreeView1;
        if (QTreeWidgetItem *node = nodeNamed(tree, topic)) clickNode(tree, node);
        picker->SpeedButton2->click();
    });
}

void whenPickerShowsCancel()
{
    whenPickerShows([](Tfrmselectnode *picker) { picker->SpeedButton3->click(); });
}
