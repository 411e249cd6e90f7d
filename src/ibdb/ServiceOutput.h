#pragma once

class ServiceConnection;
struct ServiceMonitor;
class QByteArray;

// The query loops of a started service: each waits at most a second, so a
// request to stop is seen within that, and throws SilentAbort after it.
namespace ServiceOutput {

// The send item that keeps a query from waiting longer than a second.
QByteArray shortWait();

// Passes each line the service writes to the monitor until the service
// ends; its failure is thrown as the server's DatabaseError.
void lines(ServiceConnection &service, const ServiceMonitor &monitor);

// Throws SilentAbort when the monitor asks to stop.
void checkStop(const ServiceMonitor &monitor);

} // namespace ServiceOutput
