#pragma once
#include <QString>
#include <QStringList>

class QTreeWidget;

// Starts the real program in-process in the current working folder and
// stops it at the end of the scope. started() is false when start-up ended
// the program (no library, a broken file).
class ProgramRun {
public:
    ProgramRun();
    ~ProgramRun();
    bool started() const { return started_; }
    // Lets the event loop run until the worker's request has been served.
    void settle();

private:
    bool started_;
};

// The tree as text, one node a line, two spaces of indent per level:
// "唐诗[1/2]\n  李白[1/1]\n".
QString treeText(const QTreeWidget *tree);

// Fails the current test with the message-box failures, if any.
#define CHECK_BOXES()                                                                   \
    do {                                                                                \
        const QStringList boxFailures = MessageBoxes::takeFailures();                   \
        QVERIFY2(boxFailures.isEmpty(), qPrintable(boxFailures.join("; ")));            \
    } while (0)
