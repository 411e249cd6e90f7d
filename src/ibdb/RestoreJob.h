#pragma once

#include <QString>

class QFile;
class QTemporaryDir;
class ServiceConnection;
struct ServiceMonitor;

// A restore by the target server's restore service, from a backup file on
// this machine (sent as the service's input) or on the server's.
class RestoreJob
{
public:
    struct Options
    {
        QString file;     // the backup file
        bool onServer = false;
        QString database; // the new database: a path, or host/port:path
        quint32 pageSize = 0; // 0: the backup's own
        quint32 buffers = 0;  // 0: the server's default
        quint32 flags = 0;    // isc_spb_res_... options beside create and replace
        bool readOnly = false;
        bool replace = false;
        bool verbose = false;
        // A failed restore drops what it wrote unless asked to keep it.
        bool keepOnFailure = false;
    };

    RestoreJob(Options options, QString user, QString password);

    // Throws DatabaseError with the server's text when the restore fails,
    // GeneralError when the database is there and Replace was not asked
    // for, SilentAbort when stopped. After a failure or a stop no database
    // is left that the restore wrote, and a database it was to replace is
    // still there: a local one is swapped for the restored file only when
    // that is whole; a server's is replaced only by a backup read through,
    // and put back from a backup of its own should the restore not end.
    void run(const ServiceMonitor &monitor) const;

private:
    QByteArray request(const QString &serverPath) const;
    void restoreOrDrop(const QByteArray &stampBefore, const ServiceMonitor &monitor) const;
    Options besideTarget(const QString &stem) const;
    void replaceHere(const ServiceMonitor &monitor) const;
    void replaceOnServer(const ServiceMonitor &monitor) const;
    void putBack(const QString &safety, const ServiceMonitor &monitor, QTemporaryDir &folder) const;
    void restore(const ServiceMonitor &monitor) const;
    void restoreRetrying(const ServiceMonitor &monitor) const;
    void send(ServiceConnection &service, QFile &backup, const ServiceMonitor &monitor) const;
    void dropIfWritten(const QByteArray &stampBefore) const;

    Options m_options;
    QString m_user;
    QString m_password;
};
