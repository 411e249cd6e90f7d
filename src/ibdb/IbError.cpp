#include "ibdb/IbError.h"

#include "ibdb/IbStatus.h"

IbError::IbError(const QSqlError &error)
    : DatabaseError(error.text()), m_error(error)
{
}

void IbError::check(const ISC_STATUS *status, QSqlError::ErrorType type)
{
    if (!IbStatus::failed(status))
        return;
    throw IbError(QSqlError(QString(), IbStatus::plainText(status), type,
                            QString::number(status[1])));
}

IbError IbError::refusal(const QString &text, QSqlError::ErrorType type)
{
    return IbError(QSqlError(text, QString(), type));
}
