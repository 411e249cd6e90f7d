#include "ibdb/IbTransactionCounters.h"

#include "core/AppError.h"
#include "ibdb/IbDriver.h"
#include "ibdb/IbError.h"
#include "ibdb/ServerCall.h"
#include "ibdb/SqlErrorText.h"

#include <QVariant>

IbTransactionCounters IbTransactionCounters::read(const QSqlDatabase &connection)
{
    const auto *driver = qobject_cast<const IbDriver *>(connection.driver());
    const QVariant handle = driver && connection.isOpen() ? driver->handle() : QVariant();
    if (!handle.isValid() || handle.value<isc_db_handle>() == 0)
        throw DatabaseError(QStringLiteral("The database is not open"));
    isc_db_handle attachment = handle.value<isc_db_handle>();
    static const char items[] = {isc_info_oldest_transaction, isc_info_oldest_active,
                                 isc_info_oldest_snapshot, isc_info_next_transaction,
                                 isc_info_end};
    char answer[128] = {};
    try {
        ServerCall::run(attachment, [&] {
            ISC_STATUS_ARRAY status;
            isc_database_info(status, &attachment, short(sizeof items), items,
                              short(sizeof answer), answer);
            IbError::check(status, QSqlError::ConnectionError);
        });
    } catch (const IbError &error) {
        throw DatabaseError(SqlErrorText(driver->noticed(error)));
    }
    return parse(answer, int(sizeof answer));
}

IbTransactionCounters IbTransactionCounters::parse(const char *answer, int size)
{
    IbTransactionCounters counters;
    const char *p = answer;
    const char *const end = answer + size;
    while (end - p >= 3 && *p != isc_info_end && *p != isc_info_truncated) {
        const int length = int(isc_vax_integer(p + 1, 2));
        if (length < 0 || length > 8 || end - p - 3 < length)
            break;
        const qint64 value = isc_portable_integer(
            reinterpret_cast<const ISC_UCHAR *>(p + 3), short(length));
        switch (*p) {
        case isc_info_oldest_transaction: counters.oldestInteresting = value; break;
        case isc_info_oldest_active: counters.oldestActive = value; break;
        case isc_info_oldest_snapshot: counters.oldestSnapshot = value; break;
        case isc_info_next_transaction: counters.next = value; break;
        default: break;
        }
        p += 3 + length;
    }
    return counters;
}
