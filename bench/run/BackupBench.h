#pragma once

#include "BenchMeasure.h"

#include <QList>
#include <QString>

// Backup and restore through the program's service jobs (the backup
// streamed to this machine, the restore sent as the service's input)
// against gbak -se on the same service manager and database in the same
// run, each side the best of the repeats.
class BackupBench
{
public:
    BackupBench(QString databasePath, int repeats);

    // "backup" and "restore".
    QList<BenchMeasure> measures() const;

private:
    double ourBackupMs(const QString &file) const;
    double ourRestoreMs(const QString &file, const QString &database) const;
    double gbakMs(const QStringList &arguments) const;

    QString m_path;
    int m_repeats;
};
