#include "ibdb/IbError.h"

#include "ibdb/IbConnectionLoss.h"
#include "ibdb/IbStatus.h"

IbError::IbError(const QSqlError &error, bool connectionLost)
    : DatabaseError(error.text()), m_error(error), m_connectionLost(connectionLost)
{
}

void IbError::check(const ISC_STATUS *status, QSqlError::ErrorType type)
{
    if (!IbStatus::failed(status))
        return;
    const bool lost = IbConnectionLoss::detected(status);
    throw IbError(QSqlError(QString(), IbStatus::plainText(status),
                            lost ? QSqlError::ConnectionError : type,
                            QString::number(status[1])),
                  lost);
}

IbError IbError::refusal(const QString &text, QSqlError::ErrorType type)
{
    return IbError(QSqlError(text, QString(), type));
}
