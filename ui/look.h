#pragma once
// The looks the forms share: the cream panes, the "宋体" font, selections
// that stay visible without the focus, and the wait cursor.
#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

namespace look {

inline const QColor cream(255, 251, 240);

inline QFont songFont(int pixels, bool bold = false)
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

inline void setColour(QWidget *w, QPalette::ColorRole role, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(role, c);
    w->setPalette(p);
}

inline void setCream(QWidget *w)
{
    setColour(w, QPalette::Base, cream);
}

inline void keepSelectionVisible(QWidget *w)
{
    QPalette p = w->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
    w->setPalette(p);
}

// The wait cursor for as long as a command runs, and never left behind when
// an error ends it early.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

}  // namespace look
