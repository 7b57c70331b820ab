// Which control runs which command.
#include "app/main.h"
#include "topics/topictree.h"
#include "ui/command.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>

void TMainForm::connectCommands()
{
    auto onClick = [this](QAbstractButton *b, void (TMainForm::*h)()) {
        connect(b, &QAbstractButton::clicked, this, command(this, h));
    };
    auto onTrigger = [this](QAction *a, void (TMainForm::*h)()) {
        connect(a, &QAction::triggered, this, command(this, h));
    };
    onClick(SpeedButton1, &TMainForm::SpeedButton1Click);
    onClick(SpeedButton6, &TMainForm::SpeedButton6Click);
    onClick(SpeedButton20, &TMainForm::SpeedButton20Click);
    onClick(SpeedButton7, &TMainForm::SpeedButton7Click);
    onClick(SpeedButton2, &TMainForm::SpeedButton2Click);
    onClick(SpeedButton5, &TMainForm::SpeedButton5Click);
    onClick(SpeedButton11, &TMainForm::SpeedButton11Click);
    onClick(SpeedButton4, &TMainForm::SpeedButton4Click);
    onClick(SpeedButton10, &TMainForm::SpeedButton10Click);
    onClick(ToolButton26, &TMainForm::ToolButton26Click);
    onClick(ToolButton31, &TMainForm::ToolButton31Click);
    onClick(ToolButton29, &TMainForm::ToolButton29Click);
    onClick(SpeedButton17, &TMainForm::SpeedButton17Click);
    onClick(SpeedButton18, &TMainForm::SpeedButton18Click);
    onClick(BitBtn3, &TMainForm::BitBtn3Click);
    onClick(btbiaodw, &TMainForm::btbiaodwClick);
    onClick(btshowglxx, &TMainForm::btshowglxxClick);
    onClick(btshowbz, &TMainForm::btshowbzClick);
    onClick(BitBtn4, &TMainForm::BitBtn4Click);
    onTrigger(N18, &TMainForm::ToolButton26Click);
    onTrigger(N2, &TMainForm::ToolButton26Click);
    onTrigger(N5, &TMainForm::ToolButton29Click);
    onTrigger(N3, &TMainForm::ToolButton31Click);
    onTrigger(N20, &TMainForm::N20Click);
    onTrigger(FileExit1, &TMainForm::FileExit1Execute);
    onTrigger(HelpAbout1, &TMainForm::HelpAbout1Execute);
    onTrigger(N22, &TMainForm::SpeedButton20Click);
    onTrigger(RestoreBackup1, &TMainForm::RestoreBackup1Click);
    onTrigger(EditCut1, &TMainForm::EditCut1Execute);
    onTrigger(EditCopy1, &TMainForm::EditCopy1Execute);
    onTrigger(EditPaste1, &TMainForm::EditPaste1Execute);
    onTrigger(EditUndo1, &TMainForm::EditUndo1Execute);
    onTrigger(EditSelectAll1, &TMainForm::EditSelectAll1Execute);
    onTrigger(RichEditBold2, &TMainForm::RichEditBold2Execute);
    onTrigger(RichEditItalic1, &TMainForm::RichEditItalic1Execute);
    onTrigger(RichEditUnderline1, &TMainForm::RichEditUnderline1Execute);
    onTrigger(RichEditStrikeOut1, &TMainForm::RichEditStrikeOut1Execute);
    onTrigger(RichEditAlignCenter1, &TMainForm::RichEditAlignCenter1Execute);
    onTrigger(RichEditAlignLeft1, &TMainForm::RichEditAlignLeft1Execute);
    onTrigger(RichEditAlignRight1, &TMainForm::RichEditAlignRight1Execute);
    onTrigger(RichEditBullets1, &TMainForm::RichEditBullets1Execute);
    // A click flips a check mark; it must say what the text has.
    for (QAction *a : {RichEditBold2, RichEditItalic1, RichEditUnderline1, RichEditStrikeOut1, RichEditAlignCenter1,
                       RichEditAlignLeft1, RichEditAlignRight1, RichEditBullets1})
        connect(a, &QAction::triggered, this, &TMainForm::updateFormatChecks);
    onTrigger(SearchFind1, &TMainForm::SearchFind1Execute);
    onTrigger(SearchFindNext1, &TMainForm::SearchFindNext1Execute);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        followUndo(now);
        followFormat(now);
    });
    onTrigger(WindowClose1, &TMainForm::WindowClose1Execute);
    onTrigger(WindowNext1, &TMainForm::WindowNext1Execute);
    onTrigger(WindowPrevious1, &TMainForm::WindowPrevious1Execute);
    onTrigger(WindowCascade1, &TMainForm::WindowCascade1Execute);
    onTrigger(WindowTileHorizontal1, &TMainForm::WindowTileHorizontal1Execute);
    onTrigger(WindowTileVertical1, &TMainForm::WindowTileVertical1Execute);
    onTrigger(WindowMinimizeAll1, &TMainForm::WindowMinimizeAll1Execute);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::updateWindowActions);
    updateWindowActions();
    onTrigger(N11, &TMainForm::SpeedButton17Click);

    connect(tree->TreeView1, &QTreeWidget::itemClicked, this, command(this, &TMainForm::TreeView1Click));
    connect(DBGrid13, &QTableView::clicked, this, command(this, &TMainForm::DBGrid13CellClick));
    connect(DBGrid13, &QTableView::doubleClicked, this, command(this, &TMainForm::DBGrid13DblClick));
    connect(TreeView4, &QTreeWidget::itemDoubleClicked, this, command(this, &TMainForm::BitBtn4Click));
    connect(PageControl3, &QTabWidget::currentChanged, this, command(this, &TMainForm::PageControl3Change));
    // The keyword box's tooltip promises that Enter searches.
    connect(Edit4, &QLineEdit::returnPressed, this, command(this, &TMainForm::SpeedButton18Click));
}
