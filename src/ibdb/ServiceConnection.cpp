#include "ibdb/ServiceConnection.h"

#include "ibdb/IbStatus.h"
#include "ibdb/ServiceRequest.h"

ServiceConnection::ServiceConnection(const QString &manager, const QString &user,
                                     const QString &password)
{
    const QByteArray name = manager.toUtf8();
    const QByteArray login = ServiceRequest::login(user, password).bytes();
    ISC_STATUS_ARRAY status;
    isc_service_attach(status, static_cast<unsigned short>(name.size()), name.constData(),
                       m_handle.ref(), static_cast<unsigned short>(login.size()),
                       login.constData());
    IbStatus::check(status);
}

void ServiceConnection::start(const QByteArray &request)
{
    ISC_STATUS_ARRAY status;
    isc_service_start(status, m_handle.ref(), nullptr, static_cast<unsigned short>(request.size()),
                      request.constData());
    IbStatus::check(status);
}

QByteArray ServiceConnection::query(const QByteArray &send, const QByteArray &items, int size)
{
    QByteArray answer(size, '\0');
    ISC_STATUS_ARRAY status;
    isc_service_query(status, m_handle.ref(), nullptr, static_cast<unsigned short>(send.size()),
                      send.constData(), static_cast<unsigned short>(items.size()),
                      items.constData(), static_cast<unsigned short>(answer.size()),
                      answer.data());
    IbStatus::check(status);
    return answer;
}
