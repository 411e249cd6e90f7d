#pragma once

#include <QString>
#include <QStringList>

struct ServiceMonitor;

// Proves a backup: restores it into a scratch database on the same server as
// the database it was made from, and compares the two: the metadata script,
// what the catalogue holds beyond it (BLR included), and every table's row
// count and row checksum. The scratch database is dropped on every way out.
class BackupVerification
{
public:
    BackupVerification(QString database, QString user, QString password);

    // What differs, one line each; empty when the two are identical. Throws
    // DatabaseError when the restore or a reading fails, SilentAbort when stopped.
    QStringList run(const QString &backupFile, bool onServer, const ServiceMonitor &monitor) const;

    // Where the scratch database goes: beside the original on its server,
    // or in a temporary folder of this machine for a local file.
    static QString scratchName(const QString &database, const QString &localFolder);

private:
    QString m_database;
    QString m_user;
    QString m_password;
};
