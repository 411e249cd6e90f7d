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

double BackupBench::ourBackupMs(const QString &file, bool onServer) const
{
    BackupJob::Options options;
    options.database = m_path;
    options.file = file;
    options.onServer = onServer;
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

// Firebird 3's gbak now and then dies as its embedded service manager shuts
// down, its work done: such a run is taken again, never timed. Given a
// file, gbak's standard output goes there: a backup to "stdout" is gbak's
// own stream from the service, the way the program's backup comes.
double BackupBench::gbakMs(const QStringList &arguments, const QString &output) const
{
    constexpr int kTries = 3;
    for (int i = 1;; ++i) {
        QProcess gbak;
        if (output.isEmpty())
            gbak.setProcessChannelMode(QProcess::MergedChannels);
        else
            gbak.setStandardOutputFile(output);
        QElapsedTimer timer;
        timer.start();
        gbak.start(QStringLiteral("gbak"),
                   QStringList{QStringLiteral("-se"), QStringLiteral("service_mgr"),
                               QStringLiteral("-user"), kUser, QStringLiteral("-password"),
                               password()}
                       + arguments);
        const bool finished = gbak.waitForFinished(3600000);
        if (finished && gbak.exitStatus() == QProcess::NormalExit && gbak.exitCode() == 0)
            return elapsedMs(timer);
        const bool crashed = finished && gbak.exitStatus() == QProcess::CrashExit;
        if (!crashed || i == kTries)
            throw std::runtime_error("gbak " + arguments.join(u' ').toStdString() + " failed ("
                                     + gbak.errorString().toStdString()
                                     + "): " + gbak.readAll().toStdString()
                                     + gbak.readAllStandardError().toStdString());
        if (arguments.value(0) == QLatin1String("-c"))
            dropIfThere(arguments.value(2));
        else
            QFile::remove(output.isEmpty() ? arguments.value(2) : output);
    }
}

QList<BenchMeasure> BackupBench::measures() const
{
    // Beside the database: the same disk for both sides.
    const QTemporaryDir folder(QFileInfo(m_path).absolutePath() + QStringLiteral("/backup-XXXXXX"));
    const QString ours = folder.filePath(QStringLiteral("ours.fbk"));
    const QString theirs = folder.filePath(QStringLiteral("theirs.fbk"));
    const QString restored = folder.filePath(QStringLiteral("restored.fdb"));
    BenchMeasure backup{QStringLiteral("backup"), 1e300, 1e300};
    BenchMeasure onServer{QStringLiteral("backup_on_server"), 1e300, 1e300};
    BenchMeasure restore{QStringLiteral("restore"), 1e300, 1e300};
    backup.goal = onServer.goal = restore.goal = 1.1;
    for (int i = 0; i < m_repeats; ++i) {
        QFile::remove(ours);
        QFile::remove(theirs);
        onServer.quorvelMs = std::min(onServer.quorvelMs, ourBackupMs(ours, true));
        onServer.rawMs = std::min(onServer.rawMs, gbakMs({QStringLiteral("-b"), m_path, theirs}));
        QFile::remove(ours);
        QFile::remove(theirs);
        backup.quorvelMs = std::min(backup.quorvelMs, ourBackupMs(ours, false));
        backup.rawMs = std::min(backup.rawMs,
                                gbakMs({QStringLiteral("-b"), m_path, QStringLiteral("stdout")},
                                       theirs));
        dropIfThere(restored);
        restore.quorvelMs = std::min(restore.quorvelMs, ourRestoreMs(ours, restored));
        dropIfThere(restored);
        restore.rawMs = std::min(restore.rawMs, gbakMs({QStringLiteral("-c"), theirs, restored}));
        dropIfThere(restored);
    }
    return {backup, onServer, restore};
}
