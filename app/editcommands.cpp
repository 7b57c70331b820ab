// The edit and character-format commands: they act on the text control that
// has the input focus, in practice an editor window's body.
#include "app/main.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// Runs the same member on whichever kind of text control has the focus.
template <class Call>
void onFocusedText(Call call)
{
    QWidget *w = QApplication::focusWidget();
    if (auto *e = qobject_cast<QTextEdit *>(w))
        call(e);
    else if (auto *p = qobject_cast<QPlainTextEdit *>(w))
        call(p);
    else if (auto *l = qobject_cast<QLineEdit *>(w))
        call(l);
}

// Toggles one character format on the selection, or on what is typed next.
template <class Has, class Set>
void toggleFormat(Has has, Set set)
{
    auto *edit = qobject_cast<QTextEdit *>(QApplication::focusWidget());
    if (!edit) return;
    QTextCharFormat f;
    set(f, !has(edit->currentCharFormat()));
    edit->mergeCurrentCharFormat(f);
}

}  // namespace

void TMainForm::EditCut1Execute()
{
    onFocusedText([](auto *t) { t->cut(); });
}

void TMainForm::EditCopy1Execute()
{
    onFocusedText([](auto *t) { t->copy(); });
}

void TMainForm::EditPaste1Execute()
{
    onFocusedText([](auto *t) { t->paste(); });
}

void TMainForm::EditUndo1Execute()
{
    onFocusedText([](auto *t) { t->undo(); });
}

void TMainForm::EditSelectAll1Execute()
{
    onFocusedText([](auto *t) { t->selectAll(); });
}

void TMainForm::RichEditBold2Execute()
{
    toggleFormat([](const QTextCharFormat &f) { return f.fontWeight() >= QFont::Bold; },
                 [](QTextCharFormat &f, bool on) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
}

void TMainForm::RichEditItalic1Execute()
{
    toggleFormat([](const QTextCharFormat &f) { return f.fontItalic(); },
                 [](QTextCharFormat &f, bool on) { f.setFontItalic(on); });
}

void TMainForm::RichEditUnderline1Execute()
{
    toggleFormat([](const QTextCharFormat &f) { return f.fontUnderline(); },
                 [](QTextCharFormat &f, bool on) { f.setFontUnderline(on); });
}

void TMainForm::RichEditStrikeOut1Execute()
{
    toggleFormat([](const QTextCharFormat &f) { return f.fontStrikeOut(); },
                 [](QTextCharFormat &f, bool on) { f.setFontStrikeOut(on); });
}

// Undo is offered while the focused control has something to undo.
void TMainForm::followUndo(QWidget *focused)
{
    disconnect(undoLink_);
    if (auto *e = qobject_cast<QTextEdit *>(focused)) {
        EditUndo1->setEnabled(e->document()->isUndoAvailable());
        undoLink_ = connect(e->document(), &QTextDocument::undoAvailable, EditUndo1, &QAction::setEnabled);
    } else if (auto *p = qobject_cast<QPlainTextEdit *>(focused)) {
        EditUndo1->setEnabled(p->document()->isUndoAvailable());
        undoLink_ = connect(p->document(), &QTextDocument::undoAvailable, EditUndo1, &QAction::setEnabled);
    } else if (auto *l = qobject_cast<QLineEdit *>(focused)) {
        EditUndo1->setEnabled(l->isUndoAvailable());
        undoLink_ =
            connect(l, &QLineEdit::textChanged, EditUndo1, [this, l] { EditUndo1->setEnabled(l->isUndoAvailable()); });
    } else {
        EditUndo1->setEnabled(false);
    }
}
