#pragma once

#include "BenchMeasure.h"

#include <QList>
#include <QString>

// Backup and restore through the program's service jobs (the backup
// streamed to this machine, and written by the server; the restore sent as
// the service's input) against gbak -se on the same service manager and
// database in the same run, each side the best of the repeats.
class BackupBench
{
public:
    BackupBench(QString databasePath, int repeats);

    // "backup" (streamed, against gbak's stream to its standard output),
    // "backup_on_server" (against gbak naming the file) and "restore".
    QList<BenchMeasure> measures() const;

private:
    double ourBackupMs(const QString &file, bool onServer) const;
    double ourRestoreMs(const QString &file, const QString &database) const;
    double gbakMs(const QStringList &arguments, const QString &output = {}) const;

    QString m_path;
    int m_repeats;
};
