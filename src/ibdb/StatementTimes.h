#pragma once

#include <QtGlobal>

// Where a statement's time went, in nanoseconds of the caller's clock:
// preparing it, running it (up to its first row), fetching its rows.
struct StatementTimes
{
    qint64 prepareNs = 0;
    qint64 executeNs = 0;
    qint64 fetchNs = 0;
};
