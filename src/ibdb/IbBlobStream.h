#pragma once

#include <ibase.h>

#include <QByteArray>

// Reads and writes whole blobs within one transaction of one attachment.
// Failures throw IbError; the blob handle is released on every path.
class IbBlobStream
{
public:
    IbBlobStream(isc_db_handle *database, isc_tr_handle *transaction)
        : m_database(database), m_transaction(transaction) {}

    QByteArray read(ISC_QUAD id) const;
    ISC_QUAD write(const QByteArray &content) const;

private:
    isc_db_handle *m_database;
    isc_tr_handle *m_transaction;
};
