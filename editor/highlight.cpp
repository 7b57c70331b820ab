// The keyword highlight view: a read-only copy of the editor's plain text in
// which every occurrence of the keyword is blue.
#include "editor/childwin.h"

#include <QLineEdit>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
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

// The text written in runs, plain and blue by turns: far cheaper than
// colouring ten thousand ranges of a written document one by one.
void writeRuns(QTextDocument *view, const QString &text, const QList<int> &hits, int length)
{
    QTextCursor out(view);
    QTextCharFormat plain, blue;
    blue.setForeground(kHighlight);
    out.beginEditBlock();
    int written = 0;
    for (int at : hits) {
        // Occurrences overlapping the one before continue its blue run.
        const int from = std::max(at, written);
        if (from > written) out.insertText(text.mid(written, from - written), plain);
        out.insertText(text.mid(from, at + length - from), blue);
        written = at + length;
    }
    out.insertText(text.mid(written), plain);
    out.endEditBlock();
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
    const QString keyword = Edit2->text();
    const QList<int> hits = text.isEmpty() || keyword.isEmpty() ? QList<int>() : occurrences(text, keyword);
    // A fresh document in the view's own font and colour.
    auto *view = new QTextDocument(RichEdit3);
    view->setDocumentLayout(new QPlainTextDocumentLayout(view));
    view->setDefaultFont(RichEdit3->font());
    view->setUndoRedoEnabled(false);
    writeRuns(view, text, hits, int(keyword.size()));
    // The view's first document belongs to it and goes with the swap; the
    // ones made here belong to this window and go here.
    QTextDocument *old = RichEdit3->document();
    const bool oursToDelete = old->parent() == RichEdit3;
    RichEdit3->setDocument(view);
    if (oursToDelete) old->deleteLater();
    BodyArea->setCurrentWidget(RichEdit3);
    // The view's selection is the last occurrence found, else the start.
    QTextCursor last(view);
    if (!hits.isEmpty()) {
        last.setPosition(hits.last());
        last.setPosition(hits.last() + int(keyword.size()), QTextCursor::KeepAnchor);
    }
    RichEdit3->setTextCursor(last);
}

void TMDIChild::showEditor()
{
    placeCaret(RichEdit3->textCursor().selectionStart());
    BodyArea->setCurrentWidget(RichEdit1);
}
