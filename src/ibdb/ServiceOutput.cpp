#include "ibdb/ServiceOutput.h"

#include "core/AppError.h"
#include "ibdb/ServiceAnswer.h"
#include "ibdb/ServiceConnection.h"
#include "ibdb/ServiceMonitor.h"
#include "ibdb/ServiceRequest.h"

namespace ServiceOutput {

QByteArray shortWait()
{
    return ServiceRequest::queryItems().number(isc_info_svc_timeout, 1).bytes();
}

void checkStop(const ServiceMonitor &monitor)
{
    if (monitor.stopping())
        throw SilentAbort();
}

namespace {

// Tells each whole line of pending and keeps what is left of the last.
void tellWholeLines(QByteArray &pending, const ServiceMonitor &monitor)
{
    for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
        monitor.tell(QString::fromUtf8(pending.left(end)).trimmed());
        pending.remove(0, end + 1);
    }
}

} // namespace

void lines(ServiceConnection &service, const ServiceMonitor &monitor)
{
    // A whole run of output at a time, not a line: an empty line the service
    // writes (statistics have them) would read as its end.
    const QByteArray wait = shortWait();
    const QByteArray items(1, char(isc_info_svc_to_eof));
    QByteArray pending;
    for (;;) {
        checkStop(monitor);
        const ServiceAnswer answer(service.query(wait, items));
        pending += answer.output();
        tellWholeLines(pending, monitor);
        if (answer.finished())
            break;
    }
    if (!pending.trimmed().isEmpty())
        monitor.tell(QString::fromUtf8(pending).trimmed());
}

} // namespace ServiceOutput
