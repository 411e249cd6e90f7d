#pragma once

#include <QStandardPaths>
#include <QTest>

// Like QTEST_MAIN, plus what every test of this program needs: the settings
// kept in a throw-away folder, and the set-up of the layer under test.
#define QUORVEL_TEST_MAIN_WITH(Application, setUp, TestObject)                     \
    int main(int argc, char **argv)                                                 \
    {                                                                               \
        QStandardPaths::setTestModeEnabled(true);                                   \
        Application app(argc, argv);                                                \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                    \
        setUp;                                                                      \
        TestObject tc;                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                  \
        return QTest::qExec(&tc, argc, argv);                                       \
    }
