#pragma once
#include "ui/messagebox.h"

#include <QApplication>
#include <QTest>

// Like QTEST_MAIN, with message boxes answered by the tests, never shown.
#define WENK_TEST_MAIN(TestClass)                                \
    int main(int argc, char *argv[])                             \
    {                                                            \
        QApplication app(argc, argv);                            \
        MessageBoxes::setTestMode(true);                         \
        TestClass tc;                                            \
        return QTest::qExec(&tc, argc, argv);                    \
    }
