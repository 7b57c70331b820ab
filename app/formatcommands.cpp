// The paragraph formats, the font command, find, the About box, and the
// check marks of the format menu that follow the text at the caret.
#include "app/main.h"

#include "app/about.h"
#include "app/finddialog.h"
#include "editor/childwin.h"

#include <QAction>
#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>

namespace {

QTextEdit *focusedRichText()
{
    return qobject_cast<QTextEdit *>(QApplication::focusWidget());
}

void alignFocused(Qt::Alignment alignment)
{
    if (QTextEdit *edit = focusedRichText()) edit->setAlignment(alignment);
}

}  // namespace

void TMainForm::RichEditAlignCenter1Execute()
{
    alignFocused(Qt::AlignHCenter);
}

void TMainForm::RichEditAlignLeft1Execute()
{
    alignFocused(Qt::AlignLeft);
}

void TMainForm::RichEditAlignRight1Execute()
{
    alignFocused(Qt::AlignRight);
}

// A bullet on every paragraph of the selection, or off again when the
// paragraph at the caret has one.
void TMainForm::RichEditBullets1Execute()
{
    QTextEdit *edit = focusedRichText();
    if (!edit) return;
    QTextCursor cursor = edit->textCursor();
    const QTextBlock first = edit->document()->findBlock(cursor.selectionStart());
    const QTextBlock last = edit->document()->findBlock(cursor.selectionEnd());
    const bool on = !first.textList();
    cursor.beginEditBlock();
    QTextList *list = nullptr;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        QTextCursor at(b);
        if (on) {
            if (!list)
                list = at.createList(QTextListFormat::ListDisc);
            else if (!b.textList())
                list->add(b);
        } else if (QTextList *l = b.textList()) {
            l->remove(b);
            QTextBlockFormat f = at.blockFormat();
            f.setIndent(0);
            at.setBlockFormat(f);
        }
        if (b == last) break;
    }
    cursor.endEditBlock();
}

// The check marks say what the text at the caret has, whatever a click on
// them did to their state.
void TMainForm::updateFormatChecks()
{
    QTextEdit *edit = focusedRichText();
    const QTextCharFormat f = edit ? edit->currentCharFormat() : QTextCharFormat();
    const Qt::Alignment a = edit ? edit->alignment() & Qt::AlignHorizontal_Mask : Qt::Alignment();
    RichEditBold2->setChecked(edit && f.fontWeight() >= QFont::Bold);
    RichEditItalic1->setChecked(edit && f.fontItalic());
    RichEditUnderline1->setChecked(edit && f.fontUnderline());
    RichEditStrikeOut1->setChecked(edit && f.fontStrikeOut());
    RichEditAlignCenter1->setChecked(edit && (a & Qt::AlignHCenter));
    RichEditAlignRight1->setChecked(edit && (a & Qt::AlignRight));
    RichEditAlignLeft1->setChecked(edit && !(a & (Qt::AlignHCenter | Qt::AlignRight | Qt::AlignJustify)));
    RichEditBullets1->setChecked(edit && edit->textCursor().currentList());
}

// The checks and the find commands follow the focused text control.
void TMainForm::followFormat(QWidget *focused)
{
    for (const QMetaObject::Connection &c : formatLinks_) disconnect(c);
    formatLinks_.clear();
    auto updateFind = [this] {
        const bool any = holdsText(QApplication::focusWidget());
        SearchFind1->setEnabled(any);
        SearchFindNext1->setEnabled(any);
    };
    if (auto *edit = qobject_cast<QTextEdit *>(focused)) {
        formatLinks_ << connect(edit, &QTextEdit::currentCharFormatChanged, this, &TMainForm::updateFormatChecks)
                     << connect(edit, &QTextEdit::cursorPositionChanged, this, &TMainForm::updateFormatChecks)
                     << connect(edit, &QTextEdit::textChanged, this, updateFind);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(focused)) {
        formatLinks_ << connect(plain, &QPlainTextEdit::textChanged, this, updateFind);
    } else if (auto *line = qobject_cast<QLineEdit *>(focused)) {
        formatLinks_ << connect(line, &QLineEdit::textChanged, this, updateFind);
    }
    updateFormatChecks();
    updateFind();
}

void TMainForm::SpeedButton17Click()
{
    ActiveEditor = activeEditor();
    if (!ActiveEditor) return;
    QTextEdit *edit = ActiveEditor->RichEdit1;
    // The editor's own font, not that of the selected text, under the name
    // and size of the font that shows it ("宋体" is a substitute here).
    const QFontInfo shown(edit->font());
    QFont preset = edit->font();
    preset.setFamily(shown.family());
    preset.setPointSizeF(shown.pointSizeF());
    QFontDialog dialog(preset, this);
    dialog.setObjectName("FontDialog1");
    if (dialog.exec() != QDialog::Accepted) return;
    QTextCharFormat f;
    f.setFont(dialog.selectedFont());
    edit->mergeCurrentCharFormat(f);
}

void TMainForm::SearchFind1Execute()
{
    QWidget *target = QApplication::focusWidget();
    if (!holdsText(target)) return;
    if (!FindDialog1) FindDialog1 = new TFindDialog(this);
    FindDialog1->showFor(target);
}

void TMainForm::SearchFindNext1Execute()
{
    QWidget *target = QApplication::focusWidget();
    if (FindDialog1 && target == FindDialog1->FindText) return;
    if (!holdsText(target)) return;
    if (!FindDialog1 || !FindDialog1->findAgain(target)) SearchFind1Execute();
}

void TMainForm::HelpAbout1Execute()
{
    TAboutBox box(this);
    box.exec();
}
