#include "ibdb/RestoreJob.h"

#include "core/AppError.h"
#include "ibdb/RestoreTarget.h"
#include "ibdb/ServiceAddress.h"
#include "ibdb/ServiceAnswer.h"
#include "ibdb/ServiceConnection.h"
#include "ibdb/ServiceMonitor.h"
#include "ibdb/ServiceOutput.h"
#include "ibdb/ServiceRequest.h"

#include <QFile>
#include <QThread>

RestoreJob::RestoreJob(Options options, QString user, QString password)
    : m_options(std::move(options)), m_user(std::move(user)), m_password(std::move(password))
{
}

QByteArray RestoreJob::request(const QString &serverPath) const
{
    ServiceRequest request(isc_action_svc_restore);
    request.text(isc_spb_bkp_file, m_options.onServer ? m_options.file : QStringLiteral("stdin"))
        .text(isc_spb_dbname, serverPath)
        .number(isc_spb_options, m_options.flags
                                     | (m_options.replace ? isc_spb_res_replace
                                                          : isc_spb_res_create));
    if (m_options.pageSize)
        request.number(isc_spb_res_page_size, m_options.pageSize);
    if (m_options.buffers)
        request.number(isc_spb_res_buffers, m_options.buffers);
    if (m_options.readOnly)
        request.byte(isc_spb_res_access_mode, isc_spb_res_am_readonly);
    if (m_options.verbose)
        request.flag(isc_spb_verbose);
    return request.bytes();
}

void RestoreJob::run(const ServiceMonitor &monitor) const
{
    const QByteArray stampBefore =
        RestoreTarget(m_options.database, m_user, m_password).creationStamp();
    if (!m_options.replace && !stampBefore.isEmpty())
        throw GeneralError(
            QStringLiteral("database %1 already exists; it is overwritten only with Replace")
                .arg(m_options.database));
    try {
        restore(monitor);
    } catch (...) {
        if (!m_options.keepOnFailure)
            dropIfWritten(stampBefore);
        throw;
    }
}

void RestoreJob::restore(const ServiceMonitor &monitor) const
{
    QFile backup(m_options.file);
    if (!m_options.onServer && !backup.open(QIODevice::ReadOnly))
        throw GeneralError(
            QStringLiteral("cannot read %1: %2").arg(m_options.file, backup.errorString()));
    const ServiceAddress address(m_options.database);
    ServiceConnection service(address.manager(), m_user, m_password);
    service.start(request(address.path()));
    if (m_options.onServer)
        ServiceOutput::lines(service, monitor);
    else
        send(service, backup, monitor);
}

void RestoreJob::send(ServiceConnection &service, QFile &backup,
                      const ServiceMonitor &monitor) const
{
    QByteArray items;
    items += char(isc_info_svc_stdin);
    items += char(isc_info_svc_line);
    quint32 wanted = 0;
    for (;;) {
        ServiceOutput::checkStop(monitor);
        // No wait limit here: with one the service never asks for its input.
        ServiceRequest input = ServiceRequest::queryItems();
        if (wanted) {
            // An empty piece tells the service that the file has ended.
            const QByteArray piece = backup.read(qMin<quint32>(wanted, 0xfff0));
            if (piece.isEmpty() && backup.error() != QFileDevice::NoError)
                throw GeneralError(QStringLiteral("cannot read %1: %2")
                                       .arg(m_options.file, backup.errorString()));
            input.data(isc_info_svc_line, piece);
            monitor.count(backup.pos(), backup.size());
        }
        const ServiceAnswer answer(service.query(input.bytes(), items));
        if (!answer.output().isEmpty())
            monitor.tell(QString::fromUtf8(answer.output()).trimmed());
        wanted = answer.inputWanted();
        if (answer.finished())
            return;
    }
}

// What the restore wrote is told by its creation stamp: a database that was
// not there before, or whose stamp changed, is the restore's own.
void RestoreJob::dropIfWritten(const QByteArray &stampBefore) const
{
    const RestoreTarget target(m_options.database, m_user, m_password);
    const QByteArray stampNow = target.creationStamp();
    if (stampNow.isEmpty() || stampNow == stampBefore)
        return;
    // A stopped service lets go of the file a moment after it is told to.
    for (int attempt = 0; attempt < 20; ++attempt) {
        try {
            target.drop();
            return;
        } catch (const DatabaseError &) {
            QThread::msleep(250);
        }
    }
    // The restore's own error is the one to tell.
}
