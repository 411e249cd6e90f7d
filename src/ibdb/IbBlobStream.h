#pragma once

#include <ibase.h>

#include <QByteArray>

// Reads and writes whole blobs within one transaction of one attachment.
// Failures throw IbError; the blob handle is released on every path.
class IbBlobStream
{
public:
    // A blob's first bytes and the length of all of it.
    struct Start
    {
        QByteArray bytes;
        qint64 length = 0;
    };

    IbBlobStream(isc_db_handle *database, isc_tr_handle *transaction)
        : m_database(database), m_transaction(transaction) {}

    QByteArray read(ISC_QUAD id) const;
    // All of a blob no longer than `whole` bytes, else its first `start`
    // bytes; with the whole length either way.
    Start readStart(ISC_QUAD id, qint64 whole, qint64 start) const;
    ISC_QUAD write(const QByteArray &content) const;

private:
    static Start readOpened(isc_blob_handle *blob, qint64 whole, qint64 start);

    isc_db_handle *m_database;
    isc_tr_handle *m_transaction;
};
