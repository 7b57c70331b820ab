#pragma once
#include <QString>
#include <QStringList>

class QWidget;

// Every message box of the program goes through here: questions with the
// question icon and Yes/No (or Yes/No/Cancel), notices with one OK button.
// Tests give the next answer beforehand, and the box is then not shown.
namespace MessageBoxes {

enum Answer { Yes, No, Cancel, Ok };

// The program's title: the caption of the plain notices that name none of
// their own, as the system's message boxes show the application's title.
QString programTitle();

Answer question(QWidget *owner, const QString &caption, const QString &text, bool withCancel = false);
void notice(QWidget *owner, const QString &caption, const QString &text);

// ---- for tests ------------------------------------------------------------
struct Shown {
    QString caption;
    QString text;
    bool isQuestion;
    bool withCancel;
};
// In test mode no box is ever shown: each box takes the next queued answer,
// and a box nobody expected is recorded as a failure and answered No / OK.
void setTestMode(bool on);
// The next box must carry this text (and this caption, unless it is null).
void expectNext(Answer answer, const QString &text, const QString &caption = QString());
// Failures since the last call: unexpected boxes, wrong texts or captions,
// expected boxes that never came.
QStringList takeFailures();
// Every box shown since the last call.
QList<Shown> takeShown();

}  // namespace MessageBoxes
