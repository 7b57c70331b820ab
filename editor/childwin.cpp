#include "editor/childwin.h"

#include "ui/command.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

TMDIChild::TMDIChild(QWidget *parent) : QWidget(parent)
{
    buildLayout();
    connectCommands();
}

void TMDIChild::connectCommands()
{
    connect(RichEdit1, &QWidget::customContextMenuRequested, this, &TMDIChild::RichEdit1ContextPopup);
    connect(N1, &QAction::triggered, this, &TMDIChild::N1Click);
    connect(N2, &QAction::triggered, this, &TMDIChild::N2Click);
    connect(N4, &QAction::triggered, this, &TMDIChild::N4Click);
    connect(N5, &QAction::triggered, this, &TMDIChild::N5Click);
    connect(N6, &QAction::triggered, this, &TMDIChild::N6Click);
    connect(N7, &QAction::triggered, this, &TMDIChild::N7Click);
    for (const auto &[button, handler] : {std::pair{SpeedButton1, &TMDIChild::SpeedButton1Click},
                                          std::pair{SpeedButton2, &TMDIChild::SpeedButton2Click},
                                          std::pair{SpeedButton3, &TMDIChild::SpeedButton3Click},
                                          std::pair{SpeedButton4, &TMDIChild::SpeedButton4Click},
                                          std::pair{SpeedButton5, &TMDIChild::SpeedButton5Click}})
        connect(button, &QToolButton::clicked, this, command(this, handler));
}

void TMDIChild::RichEdit1ContextPopup(const QPoint &position)
{
    PopupMenu1->popup(RichEdit1->viewport()->mapToGlobal(position));
}

QString TMDIChild::caption(qint64 documentId, const QString &name)
{
    return QStringLiteral("%1").arg(documentId, 2, 10, QChar('0')) + QStringLiteral("《") + name + QStringLiteral("》");
}

qint64 TMDIChild::documentId() const
{
    const QString caption = windowTitle();
    int n = 0;
    while (n < caption.size() && caption[n].isDigit()) ++n;
    return caption.left(n).toLongLong();
}

bool TMDIChild::isModified() const
{
    return RichEdit1->document()->isModified() || Edit1->isModified();
}

void TMDIChild::clearModified()
{
    RichEdit1->document()->setModified(false);
    Edit1->setModified(false);
}

void TMDIChild::placeCaret(int position)
{
    QTextCursor cursor = RichEdit1->textCursor();
    const int last = RichEdit1->document()->characterCount() - 1;
    cursor.setPosition(std::clamp(position, 0, std::max(last, 0)));
    RichEdit1->setTextCursor(cursor);
    RichEdit1->ensureCursorVisible();
}

// The subwindow is deleted on close, and this window with it.
void TMDIChild::closeEvent(QCloseEvent *event)
{
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}
