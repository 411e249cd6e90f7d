#include "ibdb/RestoreJob.h"

#include "core/AppError.h"
#include "ibdb/BackupJob.h"
#include "ibdb/DatabaseService.h"
#include "ibdb/RestoreTarget.h"
#include "ibdb/ServiceAddress.h"
#include "ibdb/ServiceAnswer.h"
#include "ibdb/ServiceConnection.h"
#include "ibdb/ServiceMonitor.h"
#include "ibdb/ServiceOutput.h"
#include "ibdb/ServiceRequest.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <filesystem>

namespace {

constexpr int kPutBackAttempts = 8;

} // namespace

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
    if (stampBefore.isEmpty()) {
        restoreOrDrop(stampBefore, monitor);
        return;
    }
    if (!m_options.replace)
        throw GeneralError(
            QStringLiteral("database %1 already exists; it is overwritten only with Replace")
                .arg(m_options.database));
    // The service drops the old database before it reads a byte of the
    // backup: were the backup bad, the old one would be gone with nothing in
    // its place.
    if (ServiceAddress(m_options.database).remote())
        replaceOnServer(monitor);
    else
        replaceHere(monitor);
}

void RestoreJob::restoreOrDrop(const QByteArray &stampBefore, const ServiceMonitor &monitor) const
{
    try {
        restore(monitor);
    } catch (...) {
        if (!m_options.keepOnFailure)
            dropIfWritten(stampBefore);
        throw;
    }
}

RestoreJob::Options RestoreJob::besideTarget(const QString &stem) const
{
    Options options = m_options;
    options.database = RestoreTarget::siblingName(m_options.database, stem);
    options.replace = false;
    return options;
}

// A file here can be swapped: the new database is restored beside the old
// one, which is replaced only by a whole, restored database.
void RestoreJob::replaceHere(const ServiceMonitor &monitor) const
{
    const Options scratch = besideTarget(QStringLiteral(".quorvel-restore"));
    monitor.tell(QStringLiteral("Restoring into %1 first").arg(scratch.database));
    RestoreJob(scratch, m_user, m_password).run(monitor);
    const RestoreTarget restored(scratch.database, m_user, m_password);
    const DatabaseService old(m_options.database, m_user, m_password);
    try {
        // A shutdown that waits for no one is refused while anyone is
        // attached, and keeps everyone out until the file is swapped.
        old.shutDown(DatabaseService::Mode::Full, DatabaseService::Shutdown::Attachments, 0);
    } catch (const DatabaseError &error) {
        restored.dropQuietly();
        throw DatabaseError(QStringLiteral("database %1 is in use and was not replaced\n%2")
                                .arg(m_options.database, error.message()));
    }
    std::error_code failure;
    std::filesystem::rename(scratch.database.toStdU16String(),
                            m_options.database.toStdU16String(), failure);
    if (failure) {
        old.bringOnline();
        restored.dropQuietly();
        throw GeneralError(QStringLiteral("cannot replace %1: %2")
                               .arg(m_options.database, QString::fromStdString(failure.message())));
    }
}

// No file of another machine can be renamed from here: the backup is first
// read to its end by a restore of its metadata into a scratch database
// beside the old one, and only a backup that passes replaces it. A restore
// that still fails or is stopped midway (a full disk, a lost line, Cancel)
// has dropped the old database by then: a backup of it made on this machine
// beforehand puts it back.
void RestoreJob::replaceOnServer(const ServiceMonitor &monitor) const
{
    Options proof = besideTarget(QStringLiteral("quorvel-proof"));
    proof.flags |= isc_spb_res_metadata_only;
    proof.keepOnFailure = false;
    monitor.tell(QStringLiteral("Reading the backup through into %1 first").arg(proof.database));
    RestoreJob(proof, m_user, m_password).run(monitor);
    RestoreTarget(proof.database, m_user, m_password).dropQuietly();
    QTemporaryDir folder;
    if (!folder.isValid())
        throw GeneralError(QStringLiteral("cannot make a folder for the backup of %1: %2")
                               .arg(m_options.database, folder.errorString()));
    const QString safety = folder.filePath(QStringLiteral("before-restore.fbk"));
    monitor.tell(QStringLiteral("Backing up %1 to %2 first, to put it back should the restore "
                                "not end").arg(m_options.database, safety));
    BackupJob({m_options.database, safety}, m_user, m_password).run(monitor);
    monitor.tell(QStringLiteral("Restoring over %1").arg(m_options.database));
    try {
        restore(monitor);
    } catch (...) {
        putBack(safety, monitor, folder);
        throw;
    }
}

// Not to be stopped: the old database is whole again, or its backup is kept
// and the failure says where.
void RestoreJob::putBack(const QString &safety, const ServiceMonitor &monitor,
                         QTemporaryDir &folder) const
{
    Options old = m_options;
    old.file = safety;
    old.onServer = false;
    old.flags = 0;
    old.pageSize = 0;
    old.buffers = 0;
    old.readOnly = false;
    old.replace = true;
    ServiceMonitor quiet;
    quiet.line = monitor.line;
    monitor.tell(QStringLiteral("The restore did not end: putting %1 back as it was")
                     .arg(m_options.database));
    try {
        RestoreJob(old, m_user, m_password).restoreRetrying(quiet);
    } catch (const AppError &error) {
        folder.setAutoRemove(false);
        throw DatabaseError(QStringLiteral("the restore did not end, and %1 could not be put back "
                                           "as it was: %2\nits backup is kept in %3")
                                .arg(m_options.database, error.message(), safety));
    }
    monitor.tell(QStringLiteral("%1 is as it was before the restore").arg(m_options.database));
}

// The stopped restore's service may hold the file a moment longer.
void RestoreJob::restoreRetrying(const ServiceMonitor &monitor) const
{
    for (int attempt = 1;; ++attempt) {
        try {
            restore(monitor);
            return;
        } catch (const DatabaseError &) {
            if (attempt == kPutBackAttempts)
                throw;
            QThread::msleep(250);
        }
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
    target.dropQuietly();
}
