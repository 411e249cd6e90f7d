#pragma once

#include <QString>

class ServiceConnection;
struct ServiceMonitor;

// A backup of a database made by its server's backup service: streamed to
// a file on this machine, or written by the server to a path on its own.
class BackupJob
{
public:
    struct Options
    {
        QString database; // as connected: a path, or host/port:path
        QString file;     // the backup file
        bool onServer = false;
        quint32 flags = 0; // isc_spb_bkp_... options
        // The server writes its log only when it writes the file itself: a
        // streamed backup is the service's output.
        bool verbose = false;
    };

    BackupJob(Options options, QString user, QString password);

    // Throws DatabaseError with the server's text when the backup fails, and
    // SilentAbort when stopped; either way a file on this machine is left
    // as it was, and a new one appears only whole, when the server is done.
    void run(const ServiceMonitor &monitor) const;

private:
    QByteArray request(const QString &serverPath) const;
    void receive(ServiceConnection &service, const ServiceMonitor &monitor) const;
    void refuseOverwritingDatabase() const;

    Options m_options;
    QString m_user;
    QString m_password;
};
