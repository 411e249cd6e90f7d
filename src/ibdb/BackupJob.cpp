#include "ibdb/BackupJob.h"

#include "core/AppError.h"
#include "core/OutputFile.h"
#include "ibdb/ServiceAddress.h"
#include "ibdb/ServiceAnswer.h"
#include "ibdb/ServiceConnection.h"
#include "ibdb/ServiceMonitor.h"
#include "ibdb/ServiceOutput.h"
#include "ibdb/ServiceRequest.h"

#include <QFileInfo>
#include <QSaveFile>

BackupJob::BackupJob(Options options, QString user, QString password)
    : m_options(std::move(options)), m_user(std::move(user)), m_password(std::move(password))
{
}

QByteArray BackupJob::request(const QString &serverPath) const
{
    ServiceRequest request(isc_action_svc_backup);
    request.text(isc_spb_dbname, serverPath)
        .text(isc_spb_bkp_file, m_options.onServer ? m_options.file : QStringLiteral("stdout"));
    if (m_options.flags)
        request.number(isc_spb_options, m_options.flags);
    if (m_options.onServer && m_options.verbose)
        request.flag(isc_spb_verbose);
    return request.bytes();
}

// A backup written over the database's own file would destroy it the
// moment the new file is renamed into place.
void BackupJob::refuseOverwritingDatabase() const
{
    const ServiceAddress address(m_options.database);
    const bool here = !address.remote()
                      || address.serverPrefix().startsWith(QLatin1String("localhost"))
                      || address.serverPrefix().startsWith(QLatin1String("127."));
    if (here && QFileInfo::exists(m_options.file)
        && OutputFile::sameFile(address.path(), m_options.file))
        throw GeneralError(
            QStringLiteral("cannot write %1: it is the database being backed up")
                .arg(m_options.file));
}

void BackupJob::run(const ServiceMonitor &monitor) const
{
    const ServiceAddress address(m_options.database);
    if (!m_options.onServer)
        refuseOverwritingDatabase();
    ServiceConnection service(address.manager(), m_user, m_password);
    service.start(request(address.path()));
    if (m_options.onServer)
        ServiceOutput::lines(service, monitor);
    else
        receive(service, monitor);
}

void BackupJob::receive(ServiceConnection &service, const ServiceMonitor &monitor) const
{
    // Written under a temporary name beside the file and renamed over it
    // only when the service has sent the end; dropped on any other way out.
    QSaveFile file(m_options.file);
    if (!file.open(QIODevice::WriteOnly))
        throw GeneralError(
            QStringLiteral("cannot write %1: %2").arg(m_options.file, file.errorString()));
    const QByteArray wait = ServiceOutput::shortWait();
    const QByteArray items(1, char(isc_info_svc_to_eof));
    qint64 received = 0;
    for (;;) {
        ServiceOutput::checkStop(monitor);
        const ServiceAnswer answer(service.query(wait, items, 65000));
        if (file.write(answer.output()) != answer.output().size())
            throw GeneralError(
                QStringLiteral("cannot write %1: %2").arg(m_options.file, file.errorString()));
        received += answer.output().size();
        monitor.count(received, 0);
        if (answer.finished())
            break;
    }
    service.detach();
    // A service that ended without a byte and without an error made no backup.
    if (received == 0)
        throw DatabaseError(QStringLiteral("the server sent no backup"));
    if (!file.commit())
        throw GeneralError(
            QStringLiteral("cannot write %1: %2").arg(m_options.file, file.errorString()));
}
