// The keyword highlight view: a read-only copy of the editor's plain text in
// which every occurrence of the keyword is blue.
#include "editor/childwin.h"

#include <QLineEdit>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace {

const QColor kHighlight(0, 0, 255);

// Where the keyword occurs, case-sensitive. The next search starts at the
// last character of an occurrence, so occurrences overlapping by one
// character are found too; for a one-character keyword, after it.
QList<int> occurrences(const QString &text, const QString &keyword)
{
    QList<int> found;
    const qsizetype step = keyword.size() == 1 ? 1 : keyword.size() - 1;
    for (qsizetype at = text.indexOf(keyword); at >= 0; at = text.indexOf(keyword, at + step)) found << int(at);
    return found;
}

}  // namespace

void TMDIChild::SpeedButton3Click()
{
    if (SpeedButton3->isChecked())
        showHighlights();
    else
        showEditor();
}

void TMDIChild::showHighlights()
{
    placeCaret(0);
    const QString text = RichEdit1->document()->toPlainText();
    // A fresh document in the view's own font and colour; shown once filled.
    auto *view = new QTextDocument(RichEdit3);
    view->setDefaultFont(RichEdit3->font());
    view->setUndoRedoEnabled(false);
    view->setPlainText(text);
    const QString keyword = Edit2->text();
    QTextCursor last(view);
    if (!text.isEmpty() && !keyword.isEmpty()) {
        QTextCharFormat blue;
        blue.setForeground(kHighlight);
        for (int at : occurrences(text, keyword)) {
            last.setPosition(at);
            last.setPosition(at + int(keyword.size()), QTextCursor::KeepAnchor);
            last.mergeCharFormat(blue);
        }
    }
    // The view's first document belongs to it and goes with the swap; the
    // ones made here belong to this window and go here.
    QTextDocument *old = RichEdit3->document();
    const bool oursToDelete = old->parent() == RichEdit3;
    RichEdit3->setDocument(view);
    if (oursToDelete) old->deleteLater();
    BodyArea->setCurrentWidget(RichEdit3);
    // The view's selection is the last occurrence found, else the start.
    RichEdit3->setTextCursor(last);
}

void TMDIChild::showEditor()
{
    placeCaret(RichEdit3->textCursor().selectionStart());
    BodyArea->setCurrentWidget(RichEdit1);
}
