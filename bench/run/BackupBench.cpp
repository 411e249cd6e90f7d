#include "BackupBench.h"

#include "BenchClock.h"
#include "ibdb/BackupJob.h"
#include "ibdb/RestoreJob.h"
#include "ibdb/RestoreTarget.h"
#include "ibdb/ServiceMonitor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <stdexcept>

using BenchClock::elapsedMs;

namespace {

const QString kUser = QStringLiteral("SYSDBA");

QString password()
{
    return qEnvironmentVariable("ISC_PASSWORD", QStringLiteral("masterkey"));
}

void dropIfThere(const QString &database)
{
    const RestoreTarget target(database, kUser, password());
    if (!target.creationStamp().isEmpty())
        target.drop();
}

} // namespace

// gbak's service names the database as given, and its engine does not take
// a relative path as this process does.
BackupBench::BackupBench(QString databasePath, int repeats)
    : m_path(QFileInfo(databasePath).absoluteFilePath()), m_repeats(repeats)
{
}

double BackupBench::ourBackupMs(const QString &file) const
{
    BackupJob::Options options;
    options.database = m_path;
    options.file = file;
    QElapsedTimer timer;
    timer.start();
    BackupJob(options, kUser, password()).run({});
    return elapsedMs(timer);
}

double BackupBench::ourRestoreMs(const QString &file, const QString &database) const
{
    RestoreJob::Options options;
    options.file = file;
    options.database = database;
    QElapsedTimer timer;
    timer.start();
    RestoreJob(options, kUser, password()).run({});
    return elapsedMs(timer);
}

double BackupBench::gbakMs(const QStringList &arguments) const
{
    QProcess gbak;
    gbak.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer timer;
    timer.start();
    gbak.start(QStringLiteral("gbak"), QStringList{QStringLiteral("-se"), QStringLiteral("service_mgr"),
                                                   QStringLiteral("-user"), kUser,
                                                   QStringLiteral("-password"), password()}
                                           + arguments);
    if (!gbak.waitForFinished(3600000) || gbak.exitCode() != 0)
        throw std::runtime_error("gbak failed: " + gbak.readAll().toStdString());
    return elapsedMs(timer);
}

QList<BenchMeasure> BackupBench::measures() const
{
    // Beside the database: the same disk for both sides.
    const QTemporaryDir folder(QFileInfo(m_path).absolutePath() + QStringLiteral("/backup-XXXXXX"));
    const QString ours = folder.filePath(QStringLiteral("ours.fbk"));
    const QString theirs = folder.filePath(QStringLiteral("theirs.fbk"));
    const QString restored = folder.filePath(QStringLiteral("restored.fdb"));
    BenchMeasure backup{QStringLiteral("backup"), 1e300, 1e300};
    BenchMeasure restore{QStringLiteral("restore"), 1e300, 1e300};
    backup.goal = restore.goal = 1.1;
    for (int i = 0; i < m_repeats; ++i) {
        QFile::remove(ours);
        QFile::remove(theirs);
        backup.quorvelMs = std::min(backup.quorvelMs, ourBackupMs(ours));
        backup.rawMs = std::min(backup.rawMs, gbakMs({QStringLiteral("-b"), m_path, theirs}));
        dropIfThere(restored);
        restore.quorvelMs = std::min(restore.quorvelMs, ourRestoreMs(ours, restored));
        dropIfThere(restored);
        restore.rawMs = std::min(restore.rawMs, gbakMs({QStringLiteral("-c"), theirs, restored}));
        dropIfThere(restored);
    }
    return {backup, restore};
}
