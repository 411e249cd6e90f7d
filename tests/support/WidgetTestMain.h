#pragma once

#include "support/TestMainBase.h"

#include <QApplication>

// For the controls' tests: widgets, and no database.
#define QUORVEL_WIDGET_TEST_MAIN(TestObject)                                        \
    QUORVEL_TEST_MAIN_WITH(QApplication, (void)0, TestObject)
