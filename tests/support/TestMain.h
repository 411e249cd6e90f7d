#pragma once

#include "ibdb/IbDriver.h"
#include "support/TestMainBase.h"
#include "uikit/WaitCursor.h"

#include <QApplication>

// For the windows' tests: the INTRBASE driver registered and the busy cursor
// shown while the database works, as at run time.
#define QUORVEL_TEST_MAIN(TestObject)                                               \
    QUORVEL_TEST_MAIN_WITH(QApplication,                                            \
                           (IbDriver::registerDriver(),                             \
                            WaitCursor::install(QCursor(Qt::WaitCursor))),          \
                           TestObject)
