#pragma once
#include <QWidget>
#include <functional>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The jump window: the list of marks set while reading, one item a mark in
// the order they were made. Closing it only hides it; the marks stay until
// the program ends.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    QTreeWidget *TreeView1;
    QPushButton *SpeedButton1;  // "选定"
    QPushButton *SpeedButton2;  // "返回"

    // "选定" and the double click: go to the selected mark, through
    // onGoToSelected, which the main window sets (it opens documents).
    std::function<void()> onGoToSelected;
    void SpeedButton1Click();
    void SpeedButton2Click();

    // What a mark carries.
    static qint64 documentOf(const QTreeWidgetItem *mark);
    static int caretOf(const QTreeWidgetItem *mark);
    static int ordinalOf(const QTreeWidgetItem *mark);
    // Adds a mark as the last item and selects it.
    void addMark(int ordinal, qint64 documentId, int caret, const QString &label);
    QTreeWidgetItem *selectedMark() const;
    void selectMark(int ordinal);
};

extern TForm3 *Form3;
