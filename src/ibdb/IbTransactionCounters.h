#pragma once

#include <ibase.h>

#include <QSqlDatabase>

// The transaction markers of the database header: the oldest interesting
// (OIT), oldest active (OAT) and oldest snapshot (OST) transactions and the
// next one to start. Record versions newer than the oldest snapshot cannot be
// collected, so a wide gap between it and the next transaction is what makes
// a database slow down.
struct IbTransactionCounters
{
    qint64 oldestInteresting = 0;
    qint64 oldestActive = 0;
    qint64 oldestSnapshot = 0;
    qint64 next = 0;

    qint64 gap() const { return next - oldestSnapshot; }

    // Asks the server through the connection's attachment; throws
    // DatabaseError with the server's text.
    static IbTransactionCounters read(const QSqlDatabase &connection);
    // From the answer to isc_database_info; items the answer lacks stay 0.
    static IbTransactionCounters parse(const char *answer, int size);
};
