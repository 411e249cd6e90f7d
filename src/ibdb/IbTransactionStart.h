#pragma once

#include <ibase.h>

#include <QByteArray>

// The one way the program starts a transaction on one attachment:
// isc_start_multiple with a transaction existence block. The tool's own
// transaction passes no parameter block, so the client's default options
// apply; the catalogue queries pass theirs.
namespace IbTransactionStart {

// The existence block as the client reads it: its length field is 32 bits
// wide whatever the width of long.
struct ExistenceBlock
{
    isc_db_handle *database;
    ISC_LONG parameterLength;
    const char *parameters;
};

// Starts `transaction` on `database`; the outcome is in `status`.
void start(ISC_STATUS *status, isc_tr_handle *transaction, isc_db_handle *database,
           const QByteArray &parameters = QByteArray());

} // namespace IbTransactionStart
