#include "app/finddialog.h"

#include "ui/messagebox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QTextDocument::FindFlags flagsOf(bool backward, bool matchCase, bool wholeWord)
{
    QTextDocument::FindFlags f;
    if (backward) f |= QTextDocument::FindBackward;
    if (matchCase) f |= QTextDocument::FindCaseSensitively;
    if (wholeWord) f |= QTextDocument::FindWholeWords;
    return f;
}

// A line edit has no find of its own: the same rules by hand.
bool findInLine(QLineEdit *edit, const QString &text, bool backward, bool matchCase, bool wholeWord)
{
    const QString pattern =
        (wholeWord ? QStringLiteral("\\b%1\\b") : QStringLiteral("%1")).arg(QRegularExpression::escape(text));
    const QRegularExpression re(pattern, matchCase ? QRegularExpression::NoPatternOption
                                                   : QRegularExpression::CaseInsensitiveOption);
    const QString content = edit->text();
    const int from = backward ? (edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition())
                              : (edit->hasSelectedText() ? edit->selectionEnd() : edit->cursorPosition());
    QRegularExpressionMatch hit;
    if (backward) {
        const qsizetype at = content.left(from).lastIndexOf(re, -1, &hit);
        if (at < 0) return false;
    } else {
        hit = re.match(content, from);
        if (!hit.hasMatch()) return false;
    }
    edit->setSelection(int(hit.capturedStart()), int(hit.capturedLength()));
    return true;
}

}  // namespace

bool holdsText(const QWidget *w)
{
    if (auto *e = qobject_cast<const QTextEdit *>(w)) return !e->document()->isEmpty();
    if (auto *p = qobject_cast<const QPlainTextEdit *>(w)) return !p->document()->isEmpty();
    if (auto *l = qobject_cast<const QLineEdit *>(w)) return !l->text().isEmpty();
    return false;
}

TFindDialog::TFindDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName("FindDialog1");
    setWindowTitle(QStringLiteral("查找"));
    setModal(false);
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("查找内容(&N):"), this), 0, 0);
    FindText = new QLineEdit(this);
    FindText->setObjectName("FindText");
    grid->addWidget(FindText, 0, 1);
    FindNext = new QPushButton(QStringLiteral("查找下一个(&F)"), this);
    FindNext->setObjectName("FindNext");
    FindNext->setDefault(true);
    grid->addWidget(FindNext, 0, 2);
    WholeWord = new QCheckBox(QStringLiteral("全字匹配(&W)"), this);
    WholeWord->setObjectName("WholeWord");
    MatchCase = new QCheckBox(QStringLiteral("区分大小写(&C)"), this);
    MatchCase->setObjectName("MatchCase");
    auto *options = new QVBoxLayout;
    options->addWidget(WholeWord);
    options->addWidget(MatchCase);
    grid->addLayout(options, 1, 0);
    auto *direction = new QGroupBox(QStringLiteral("方向"), this);
    auto *d = new QHBoxLayout(direction);
    Up = new QRadioButton(QStringLiteral("向上(&U)"), direction);
    Up->setObjectName("Up");
    Down = new QRadioButton(QStringLiteral("向下(&D)"), direction);
    Down->setObjectName("Down");
    Down->setChecked(true);
    d->addWidget(Up);
    d->addWidget(Down);
    grid->addWidget(direction, 1, 1);
    CancelButton = new QPushButton(QStringLiteral("取消"), this);
    CancelButton->setObjectName("CancelButton");
    grid->addWidget(CancelButton, 1, 2, Qt::AlignTop);
    connect(FindNext, &QPushButton::clicked, this, [this] { find(target_); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::hide);
}

void TFindDialog::showFor(QWidget *target)
{
    target_ = target;
    show();
    raise();
    activateWindow();
    FindText->setFocus();
    FindText->selectAll();
}

bool TFindDialog::findAgain(QWidget *target)
{
    if (FindText->text().isEmpty()) return false;
    target_ = target;
    find(target);
    return true;
}

bool TFindDialog::find(QWidget *target)
{
    const QString text = FindText->text();
    if (!target || text.isEmpty()) return false;
    const bool backward = Up->isChecked();
    bool found = false;
    if (auto *e = qobject_cast<QTextEdit *>(target))
        found = e->find(text, flagsOf(backward, MatchCase->isChecked(), WholeWord->isChecked()));
    else if (auto *p = qobject_cast<QPlainTextEdit *>(target))
        found = p->find(text, flagsOf(backward, MatchCase->isChecked(), WholeWord->isChecked()));
    else if (auto *l = qobject_cast<QLineEdit *>(target))
        found = findInLine(l, text, backward, MatchCase->isChecked(), WholeWord->isChecked());
    if (!found)
        MessageBoxes::notice(isVisible() ? static_cast<QWidget *>(this) : target->window(), QStringLiteral("查找"),
                             QStringLiteral("找不到“%1”。").arg(text));
    return found;
}
