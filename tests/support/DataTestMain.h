#pragma once

#include "ibdb/IbDriver.h"
#include "support/TestMainBase.h"

#include <QCoreApplication>

// For the data layer's tests: no widgets, the INTRBASE driver registered.
#define QUORVEL_DATA_TEST_MAIN(TestObject)                                          \
    QUORVEL_TEST_MAIN_WITH(QCoreApplication, IbDriver::registerDriver(), TestObject)
