#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (!startProgram()) return 0;
    const int result = app.exec();
    stopProgram();
    return result;
}
