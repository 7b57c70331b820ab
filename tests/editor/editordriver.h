#pragma once
// Drives editor windows the way a user does: through the main window's
// hidden open button, keys typed into the controls, the window's close box.
#include "ui/command.h"
#include "app/main.h"
#include "ui/messagebox.h"
#include "data/Unit1.h"
#include "editor/childwin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTextEdit>

// Makes the document current and runs the open command as its callers do,
// errors going to the default error display; the window active afterwards.
inline TMDIChild *openDocument(qint64 id)
{
    MastData->ADOTmain->locate("id", id);
    runCommand([] { MainForm->BitBtn3Click(); });
    return MainForm->activeEditor();
}

inline QMdiSubWindow *subWindowOf(TMDIChild *editor)
{
    return qobject_cast<QMdiSubWindow *>(editor->parentWidget());
}

// The question a save asks of a document filed nowhere; No files nothing
// and the save goes on.
inline void expectFilingQuestion(MessageBoxes::Answer answer = MessageBoxes::No)
{
    MessageBoxes::expectNext(answer, QStringLiteral("该文件尚未归类，是否要选择归类 ? \n选『是』，进行选择。"),
                             QStringLiteral("选择"));
}

// Destroys what closing scheduled for deletion.
inline void settleDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The close box of the window; true when the window went away.
inline bool closeWindow(TMDIChild *editor)
{
    const bool closed = subWindowOf(editor)->close();
    settleDeletes();
    return closed;
}

// Key presses carrying text, as an input method delivers Chinese.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

inline void typeAtEnd(QTextEdit *editor, const QString &text)
{
    editor->moveCursor(QTextCursor::End);
    typeText(editor, text);
}

inline int caretOf(TMDIChild *editor)
{
    return editor->RichEdit1->textCursor().position();
}

// The error displays shown since the last check (boxes no test answered
// beforehand), and any other message-box failure, which a test must not have.
struct ErrorBoxes {
    QStringList texts;
    QStringList otherFailures;
};
inline ErrorBoxes takeErrorBoxes()
{
    ErrorBoxes out;
    QStringList unanswered;
    for (const MessageBoxes::Shown &box : MessageBoxes::takeShown()) {
        if (box.isQuestion) continue;
        out.texts << box.text;
        unanswered << QStringLiteral("unexpected box: [%1] %2").arg(box.caption, box.text);
    }
    for (const QString &failure : MessageBoxes::takeFailures())
        if (!unanswered.removeOne(failure)) out.otherFailures << failure;
    return out;
}

// A body as the rich-edit control stores it: one paragraph a line.
inline QByteArray rtfOf(const QString &plain)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg936 ";
    for (const QChar c : plain) {
        if (c == '\n')
            out += "\\par ";
        else if (c.unicode() < 128)
            out += char(c.unicode());
        else
            out += "\\u" + QByteArray::number(c.unicode()) + "?";
    }
    return out + "}";
}
