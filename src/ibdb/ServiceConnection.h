#pragma once

#include "ibdb/IbHandles.h"

#include <QByteArray>
#include <QString>

namespace IbRelease {
inline ISC_STATUS detachService(ISC_STATUS *s, isc_svc_handle *h) { return isc_service_detach(s, h); }
} // namespace IbRelease

// Detaching a service that still runs tells the server to stop it.
using IbServiceHandle = IbHandle<isc_svc_handle, IbRelease::detachService>;

// One attachment to a server's service manager: it starts one action and
// is asked for what the action says. Each call throws DatabaseError with
// the server's text when refused.
class ServiceConnection
{
public:
    ServiceConnection(const QString &manager, const QString &user, const QString &password);

    void start(const QByteArray &request);
    // The service's answer to the items asked for, after sending the send
    // items (input for the service, a timeout); at most size bytes.
    QByteArray query(const QByteArray &send, const QByteArray &items, int size = 32768);
    // Lets the service go; one still running is stopped by the server.
    void detach() { m_handle.reset(); }

private:
    IbServiceHandle m_handle;
};
