#include "app/pagescroller.h"

#include <QEvent>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>

namespace {
const int kArrowWidth = 14;
const int kStep = 40;
}  // namespace

TPageScroller::TPageScroller(QWidget *parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto arrow = [this](Qt::ArrowType type, const char *name, int direction) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setArrowType(type);
        b->setAutoRepeat(true);
        b->setAutoRaise(true);
        b->hide();
        connect(b, &QToolButton::clicked, this, [this, direction] { scrollBy(direction); });
        return b;
    };
    left_ = arrow(Qt::LeftArrow, "PageScrollerLeft", -1);
    right_ = arrow(Qt::RightArrow, "PageScrollerRight", 1);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &TPageScroller::updateArrows);
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, &TPageScroller::updateArrows);
}

void TPageScroller::setContent(QWidget *content)
{
    setWidget(content);
    content->installEventFilter(this);
    content->adjustSize();
    setFixedHeight(content->sizeHint().height());
}

void TPageScroller::scrollBy(int steps)
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + steps * kStep);
}

bool TPageScroller::eventFilter(QObject *watched, QEvent *event)
{
    // The content keeps its full width whenever its items change.
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        widget()->adjustSize();
        updateArrows();
    }
    if (watched == widget() && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) updateArrows();
    return QScrollArea::eventFilter(watched, event);
}

void TPageScroller::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    updateArrows();
}

void TPageScroller::wheelEvent(QWheelEvent *event)
{
    const QPoint d = event->angleDelta();
    const int delta = d.x() != 0 ? d.x() : d.y();
    if (delta != 0) scrollBy(delta > 0 ? -1 : 1);
    event->accept();
}

void TPageScroller::updateArrows()
{
    QScrollBar *bar = horizontalScrollBar();
    const bool overflow = widget() && !widget()->isHidden() && bar->maximum() > 0;
    // The arrows take room at the ends only while the content overflows.
    setViewportMargins(overflow ? kArrowWidth : 0, 0, overflow ? kArrowWidth : 0, 0);
    left_->setVisible(overflow);
    right_->setVisible(overflow);
    left_->setEnabled(bar->value() > bar->minimum());
    right_->setEnabled(bar->value() < bar->maximum());
    left_->setGeometry(0, 0, kArrowWidth, height());
    right_->setGeometry(width() - kArrowWidth, 0, kArrowWidth, height());
    left_->raise();
    right_->raise();
}
