#include "ibdb/IbSnapshot.h"

#include "ibdb/IbDriver.h"
#include "ibdb/IbError.h"
#include "ibdb/IbResult.h"
#include "ibdb/IbTransactionStart.h"
#include "ibdb/ServerCall.h"
#include "ibdb/SqlErrorText.h"

#include <QSqlError>

namespace {

void start(isc_db_handle attachment, IbTransaction &transaction)
{
    static const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_concurrency,
                               isc_tpb_nowait};
    ISC_STATUS_ARRAY status;
    IbTransactionStart::start(status, transaction.ref(), &attachment,
                              QByteArray::fromRawData(tpb, sizeof tpb));
    IbError::check(status, QSqlError::TransactionError);
}

} // namespace

IbSnapshot::IbSnapshot(const QSqlDatabase &connection) : m_connection(connection)
{
    const auto *driver = qobject_cast<const IbDriver *>(connection.driver());
    if (!driver)
        return;
    const QVariant handle = connection.isOpen() ? driver->handle() : QVariant();
    if (!handle.isValid() || handle.value<isc_db_handle>() == 0)
        throw DatabaseError(QStringLiteral("The database is not open"));
    const isc_db_handle attachment = handle.value<isc_db_handle>();
    auto transaction = std::make_shared<IbTransaction>();
    try {
        ServerCall::run(attachment, [&] { start(attachment, *transaction); });
    } catch (const IbError &error) {
        throw DatabaseError(SqlErrorText(driver->noticed(error)));
    }
    m_transaction = std::move(transaction);
}

QSqlQuery IbSnapshot::query() const
{
    if (!m_transaction)
        return QSqlQuery(m_connection);
    auto *result = static_cast<IbResult *>(m_connection.driver()->createResult());
    result->shareTransaction(m_transaction);
    return QSqlQuery(result);
}
