#include "ui/command.h"

#include "data/dataerror.h"
#include "ui/messagebox.h"

#include <QApplication>

void showDefaultError(const QString &message)
{
    MessageBoxes::notice(QApplication::activeWindow(), MessageBoxes::programTitle(), message);
}

void runCommand(const std::function<void()> &command)
{
    try {
        command();
    } catch (const DataError &e) {
        showDefaultError(e.message());
    } catch (const std::exception &e) {
        showDefaultError(QString::fromLocal8Bit(e.what()));
    }
}
