#include "ui/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <deque>

namespace MessageBoxes {
namespace {

struct Expected {
    Answer answer;
    QString text;
    QString caption;
};

bool testMode = false;
std::deque<Expected> expected;
QStringList failures;
QList<Shown> shown;

bool takeTestAnswer(const Shown &box, Answer fallback, Answer *answer)
{
    if (!testMode) return false;
    shown << box;
    if (expected.empty()) {
        failures << QStringLiteral("unexpected box: [%1] %2").arg(box.caption, box.text);
        *answer = fallback;
        return true;
    }
    Expected e = expected.front();
    expected.pop_front();
    if (e.text != box.text) failures << QStringLiteral("box text: expected [%1], got [%2]").arg(e.text, box.text);
    if (!e.caption.isNull() && e.caption != box.caption)
        failures << QStringLiteral("box caption: expected [%1], got [%2]").arg(e.caption, box.caption);
    *answer = e.answer;
    return true;
}

// The buttons in the program's language, as the system's own boxes name them.
void nameButtons(QMessageBox &box)
{
    const std::pair<QMessageBox::StandardButton, QString> names[] = {{QMessageBox::Yes, QStringLiteral("是(&Y)")},
                                                                     {QMessageBox::No, QStringLiteral("否(&N)")},
                                                                     {QMessageBox::Cancel, QStringLiteral("取消")},
                                                                     {QMessageBox::Ok, QStringLiteral("确定")}};
    for (const auto &[which, name] : names)
        if (QAbstractButton *b = box.button(which)) b->setText(name);
}

}  // namespace

QString programTitle()
{
    return QStringLiteral("云笈研读书匣");
}

Answer question(QWidget *owner, const QString &caption, const QString &text, bool withCancel)
{
    Answer a;
    if (takeTestAnswer({caption, text, true, withCancel}, withCancel ? Cancel : No, &a)) return a;
    QMessageBox box(QMessageBox::Question, caption, text,
                    withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                               : QMessageBox::Yes | QMessageBox::No,
                    owner);
    nameButtons(box);
    switch (box.exec()) {
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    default: return withCancel ? Cancel : No;
    }
}

void notice(QWidget *owner, const QString &caption, const QString &text)
{
    Answer a;
    if (takeTestAnswer({caption, text, false, false}, Ok, &a)) return;
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
    nameButtons(box);
    box.exec();
}

void setTestMode(bool on)
{
    testMode = on;
}

void expectNext(Answer answer, const QString &text, const QString &caption)
{
    expected.push_back({answer, text, caption});
}

QStringList takeFailures()
{
    QStringList out = failures;
    for (const Expected &e : expected) out << QStringLiteral("expected box never shown: %1").arg(e.text);
    expected.clear();
    failures.clear();
    return out;
}

QList<Shown> takeShown()
{
    QList<Shown> out = shown;
    shown.clear();
    return out;
}

}  // namespace MessageBoxes
