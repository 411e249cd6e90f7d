#include "schema/BackupVerification.h"

#include "core/AppError.h"
#include "ibdb/RestoreJob.h"
#include "ibdb/RestoreTarget.h"
#include "ibdb/ServiceAddress.h"
#include "ibdb/ServiceMonitor.h"
#include "ibdb/TIBDataBase.h"
#include "schema/CatalogFingerprint.h"
#include "schema/SchemaReader.h"
#include "schema/SchemaScript.h"
#include "schema/ScriptDifferences.h"
#include "schema/TableChecksums.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QUuid>

namespace {

struct Reading
{
    QString script;
    QStringList catalog;
    TableChecksums rows;
};

Reading readingOf(const QString &database, const QString &user, const QString &password)
{
    TIBDataBase attachment(QUuid::createUuid().toString());
    attachment.setParam(QStringLiteral("SERVER NAME"), database);
    attachment.setParam(QStringLiteral("USER NAME"), user);
    attachment.setParam(QStringLiteral("PASSWORD"), password);
    attachment.Open();
    const QSqlDatabase connection = attachment.connection();
    return {SchemaScript(SchemaReader(connection).read()).text(),
            CatalogFingerprint(connection).lines(), TableChecksums(attachment)};
}

} // namespace

BackupVerification::BackupVerification(QString database, QString user, QString password)
    : m_database(std::move(database)), m_user(std::move(user)), m_password(std::move(password))
{
}

QString BackupVerification::scratchName(const QString &database, const QString &localFolder)
{
    const QString stem = QStringLiteral("quorvel-verify");
    if (ServiceAddress(database).remote())
        return RestoreTarget::siblingName(database, stem);
    return RestoreTarget::siblingName(QDir(localFolder).filePath(stem), stem);
}

QStringList BackupVerification::run(const QString &backupFile, bool onServer,
                                    const ServiceMonitor &monitor) const
{
    QTemporaryDir folder(QDir::temp().filePath(QStringLiteral("quorvel-verify-XXXXXX")));
    if (!folder.isValid())
        throw GeneralError(QStringLiteral("cannot make a temporary folder: ")
                           + folder.errorString());
    RestoreJob::Options options;
    options.file = backupFile;
    options.onServer = onServer;
    options.database = scratchName(m_database, folder.path());
    monitor.tell(QStringLiteral("Verifying: restoring into %1").arg(options.database));
    RestoreJob(options, m_user, m_password).run(monitor);
    const auto dropScratch = qScopeGuard([&] {
        try {
            RestoreTarget(options.database, m_user, m_password).drop();
        } catch (const DatabaseError &) {
            // The verdict matters more than a scratch file the server kept.
        }
    });
    monitor.tell(QStringLiteral("Verifying: comparing the metadata and every table's rows"));
    const Reading original = readingOf(m_database, m_user, m_password);
    const Reading copy = readingOf(options.database, m_user, m_password);
    return ScriptDifferences(original.script, copy.script)
           + LineDifferences(original.catalog, copy.catalog)
           + TableChecksums::differences(original.rows, copy.rows);
}
