#pragma once

#include "IbDriver.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

// Like QTEST_MAIN, plus what every test of this program needs: the INTRBASE
// driver registered and the settings kept in a throw-away folder.
#define QUORVEL_TEST_MAIN(TestObject)                                               \
    int main(int argc, char **argv)                                                 \
    {                                                                               \
        QStandardPaths::setTestModeEnabled(true);                                   \
        QApplication app(argc, argv);                                               \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                    \
        IbDriver::registerDriver();                                                 \
        TestObject tc;                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                  \
        return QTest::qExec(&tc, argc, argv);                                       \
    }
