#include "collect/Unitget.h"

#include "collect/collecting.h"
#include "ui/command.h"
#include "ui/look.h"
#include "ui/widgets.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

Tfrmget *frmget = nullptr;

Tfrmget::Tfrmget(QWidget *parent) : QDialog(parent)
{
    buildLayout();
    auto on = [this](auto *sender, auto signal, void (Tfrmget::*handler)()) {
        connect(sender, signal, this, command(this, handler));
    };
    on(SpeedButton1, &QToolButton::clicked, &Tfrmget::SpeedButton1Click);
    on(SpeedButton2, &QToolButton::clicked, &Tfrmget::SpeedButton2Click);
    on(BitBtn4, &QPushButton::clicked, &Tfrmget::BitBtn4Click);
    on(TrackBar1, &QSlider::valueChanged, &Tfrmget::TrackBar1Change);
    on(N1, &QAction::triggered, &Tfrmget::N1Click);
    on(N2, &QAction::triggered, &Tfrmget::N2Click);
    on(N8, &QAction::triggered, &Tfrmget::N8Click);
    on(N3, &QAction::triggered, &Tfrmget::N3Click);
    on(N4, &QAction::triggered, &Tfrmget::N4Click);
    on(N6, &QAction::triggered, &Tfrmget::N6Click);
    connect(Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(Memo1->viewport()->mapToGlobal(at)); });
    connect(Edit1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu2->popup(Edit1->mapToGlobal(at)); });
}

void Tfrmget::buildLayout()
{
    setObjectName("frmget");
    setWindowTitle(QStringLiteral("简易收集窗"));
    // Above every other window, with a close box as its only title-bar button.
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto *left = new QVBoxLayout;
    left->setSpacing(0);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setFont(look::songFont(15));
    Edit1->setContextMenuPolicy(Qt::CustomContextMenu);
    left->addWidget(Edit1, 0, Qt::AlignLeft);
    Memo1 = new QTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setFont(look::songFont(16));
    Memo1->setAcceptRichText(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QTextEdit::NoWrap);
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    left->addWidget(Memo1, 1);
    row->addLayout(left, 1);

    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedWidth(79);
    auto *panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(4, 4, 4, 4);
    auto *sizes = new QHBoxLayout;
    SpeedButton1 = ui::pictureButton(Panel1, "SpeedButton1", QStyle::SP_TitleBarMaxButton, QStringLiteral("放大窗口"));
    SpeedButton2 = ui::pictureButton(Panel1, "SpeedButton2", QStyle::SP_TitleBarMinButton, QStringLiteral("缩小窗口"));
    sizes->addWidget(SpeedButton1);
    sizes->addWidget(SpeedButton2);
    panel->addLayout(sizes);
    BitBtn4 = new QPushButton(QStringLiteral("收集"), Panel1);
    BitBtn4->setObjectName("BitBtn4");
    BitBtn4->setAutoDefault(false);
    panel->addWidget(BitBtn4);
    TrackBar1 = new QSlider(Qt::Vertical, Panel1);
    TrackBar1->setObjectName("TrackBar1");
    TrackBar1->setRange(1, 10);
    TrackBar1->setValue(1);
    // Position 1 at the top.
    TrackBar1->setInvertedAppearance(true);
    TrackBar1->setInvertedControls(true);
    TrackBar1->setTickPosition(QSlider::TicksRight);
    panel->addWidget(TrackBar1, 1, Qt::AlignHCenter);
    row->addWidget(Panel1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    N1 = ui::menuItem(PopupMenu1, "N1", QStringLiteral("复制"));
    N2 = ui::menuItem(PopupMenu1, "N2", QStringLiteral("粘贴"));
    PopupMenu1->addSeparator();
    N8 = ui::menuItem(PopupMenu1, "N8", QStringLiteral("清空"));
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName("PopupMenu2");
    N3 = ui::menuItem(PopupMenu2, "N3", QStringLiteral("复制"));
    N4 = ui::menuItem(PopupMenu2, "N4", QStringLiteral("粘贴"));
    PopupMenu2->addSeparator();
    N6 = ui::menuItem(PopupMenu2, "N6", QStringLiteral("清空"));

    resizeTo({291, 190}, 291 - 79);
}

void Tfrmget::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) runCommand([this] { FormActivate(); });
}

// Above the windows that are not, without moving or resizing: the window is
// made with that hint, and shown here above them.
void Tfrmget::FormActivate()
{
    raise();
}

void Tfrmget::TrackBar1Change()
{
    setWindowOpacity(opacityOf(TrackBar1->value()) / 255.0);
}

void Tfrmget::SpeedButton1Click()
{
    resizeTo({700, 360}, 610);
}

void Tfrmget::SpeedButton2Click()
{
    resizeTo({280, 220}, 190);
}

// The title box first, so the window may shrink below its old width.
void Tfrmget::resizeTo(QSize window, int titleWidth)
{
    Edit1->setFixedWidth(titleWidth);
    layout()->activate();
    resize(window);
}

void Tfrmget::BitBtn4Click()
{
    if (collectDocument(Edit1->text(), *Memo1->document(), this)) {
        Edit1->clear();
        Memo1->clear();
    }
}

void Tfrmget::done(int result)
{
    runCommand([this] { FormClose(); });
    QDialog::done(result);
}

void Tfrmget::FormClose()
{
    finishCollecting();
}

void Tfrmget::N1Click()
{
    Memo1->copy();
}

void Tfrmget::N2Click()
{
    Memo1->paste();
}

void Tfrmget::N8Click()
{
    Memo1->clear();
}

void Tfrmget::N3Click()
{
    Edit1->copy();
}

void Tfrmget::N4Click()
{
    Edit1->paste();
}

void Tfrmget::N6Click()
{
    Edit1->clear();
}
