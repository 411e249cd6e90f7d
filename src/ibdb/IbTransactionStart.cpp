#include "ibdb/IbTransactionStart.h"

static_assert(sizeof(ISC_LONG) == 4, "the client reads a 32-bit parameter length");

void IbTransactionStart::start(ISC_STATUS *status, isc_tr_handle *transaction,
                               isc_db_handle *database, const QByteArray &parameters)
{
    ExistenceBlock block{database, ISC_LONG(parameters.size()),
                         parameters.isEmpty() ? nullptr : parameters.constData()};
    isc_start_multiple(status, transaction, 1, &block);
}
