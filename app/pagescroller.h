#pragma once
#include <QScrollArea>

class QToolButton;

// Holds a toolbar wider than the room it gets: the toolbar keeps its full
// width and two arrow buttons at the ends scroll it (as does the wheel), so
// every button stays reachable in a narrow window.
class TPageScroller : public QScrollArea {
    Q_OBJECT
public:
    explicit TPageScroller(QWidget *parent = nullptr);
    void setContent(QWidget *content);
    // Scrolls by one step; negative to the left.
    void scrollBy(int steps);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateArrows();
    QToolButton *left_;
    QToolButton *right_;
};
