// The editor window's controls: title across the top, the body on the left,
// the side panel with keyword, attachment and cover on the right.
#include "editor/childwin.h"

#include "ui/lengthlimit.h"
#include "ui/look.h"
#include "ui/widgets.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <class W>
W *named(W *w, const char *name)
{
    w->setObjectName(name);
    return w;
}

// A row of the side panel: its label on the left, its buttons on the right.
void addLabelledRow(QVBoxLayout *panel, QLabel *label, std::initializer_list<QToolButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addStretch(1);
    for (QToolButton *b : buttons) row->addWidget(b);
    panel->addLayout(row);
}

}  // namespace

void TMDIChild::buildLayout()
{
    setObjectName("MDIChild");
    QFont song(QStringLiteral("宋体"));
    song.setPixelSize(15);
    setFont(song);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Panel3 = named(new QWidget(this), "Panel3");
    auto *top = new QHBoxLayout(Panel3);
    top->setContentsMargins(2, 2, 2, 2);
    Edit1 = named(new QLineEdit(Panel3), "Edit1");
    limitCharacters(Edit1, 200);  // the title column's size
    top->addWidget(Edit1);
    column->addWidget(Panel3);

    Splitter1 = named(new QSplitter(Qt::Horizontal, this), "Splitter1");
    column->addWidget(Splitter1, 1);

    BodyArea = named(new QStackedWidget(Splitter1), "BodyArea");
    RichEdit1 = named(new QTextEdit(BodyArea), "RichEdit1");
    RichEdit1->setAcceptRichText(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    look::keepSelectionVisible(RichEdit1);
    RichEdit3 = named(new QPlainTextEdit(BodyArea), "RichEdit3");
    RichEdit3->setReadOnly(true);
    RichEdit3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    look::setCream(RichEdit3);
    BodyArea->addWidget(RichEdit1);
    BodyArea->addWidget(RichEdit3);
    BodyArea->setCurrentWidget(RichEdit1);

    Panel2 = named(new QWidget(Splitter1), "Panel2");
    // 184 pixels at first; the boxes take whatever width the splitter gives.
    Panel2->setMinimumWidth(184);
    auto *side = new QVBoxLayout(Panel2);
    side->setContentsMargins(4, 4, 4, 4);

    auto *keywordRow = new QHBoxLayout;
    Edit2 = named(new QLineEdit(QStringLiteral("关键词反显"), Panel2), "Edit2");
    look::setCream(Edit2);
    Edit2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    SpeedButton3 = ui::captionButton(Panel2, "SpeedButton3", QStringLiteral("反显"), QStringLiteral("反显关键词"));
    SpeedButton3->setCheckable(true);
    keywordRow->addWidget(Edit2, 1);
    keywordRow->addWidget(SpeedButton3);
    side->addLayout(keywordRow);

    Label1 = named(new QLabel(QStringLiteral("附件"), Panel2), "Label1");
    SpeedButton1 = ui::captionButton(Panel2, "SpeedButton1", QStringLiteral("选择"), QStringLiteral("选择附件"));
    SpeedButton2 = ui::captionButton(Panel2, "SpeedButton2", QStringLiteral("打开"), QStringLiteral("打开附件"));
    SpeedButton2->setEnabled(false);
    addLabelledRow(side, Label1, {SpeedButton1, SpeedButton2});
    Edit3 = named(new QPlainTextEdit(Panel2), "Edit3");
    Edit3->setReadOnly(true);
    Edit3->setFixedHeight(60);
    Edit3->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    side->addWidget(Edit3);

    Label2 = named(new QLabel(QStringLiteral("封面"), Panel2), "Label2");
    SpeedButton4 = ui::captionButton(Panel2, "SpeedButton4", QStringLiteral("选择"), QStringLiteral("选择封面"));
    SpeedButton5 = ui::captionButton(Panel2, "SpeedButton5", QStringLiteral("去除封面"), QStringLiteral("去除封面"));
    addLabelledRow(side, Label2, {SpeedButton4, SpeedButton5});
    Image1 = named(new QLabel(Panel2), "Image1");
    Image1->setFixedSize(174, 229);
    Image1->setScaledContents(true);
    Image1->setFrameShape(QFrame::StyledPanel);
    side->addWidget(Image1, 0, Qt::AlignHCenter);
    Edit5 = named(new QLineEdit(Panel2), "Edit5");
    Edit5->setReadOnly(true);
    Edit5->hide();
    side->addWidget(Edit5);
    side->addStretch(1);

    Splitter1->addWidget(BodyArea);
    Splitter1->addWidget(Panel2);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setCollapsible(0, false);

    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    N1 = ui::menuItem(PopupMenu1, "N1", QStringLiteral("插入前标号"));
    N2 = ui::menuItem(PopupMenu1, "N2", QStringLiteral("插入后标号"));
    PopupMenu1->addSeparator();
    N4 = ui::menuItem(PopupMenu1, "N4", QStringLiteral("  黑 色"));
    N5 = ui::menuItem(PopupMenu1, "N5", QStringLiteral("  红 色"));
    N6 = ui::menuItem(PopupMenu1, "N6", QStringLiteral("  蓝 色"));
    N7 = ui::menuItem(PopupMenu1, "N7", QStringLiteral("  绿 色"));
}
