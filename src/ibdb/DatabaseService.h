#pragma once

#include <QString>

#include <functional>

class ServiceRequest;
struct ServiceMonitor;

// The maintenance actions of a database's server on one database: its
// properties, shutdown and bringing online, sweep, validation and the
// statistics report. Each attaches to the service manager, starts the
// action and passes what the service writes to the monitor; a refusal is
// thrown as DatabaseError with the server's text.
class DatabaseService
{
public:
    enum class Shutdown { Forced, Attachments, Transactions };
    enum class Mode { Normal, Multi, Single, Full };

    DatabaseService(QString database, QString user, QString password);

    // Shut down into mode; waits seconds for attachments or transactions
    // to end (Attachments, Transactions), or then ends them (Forced).
    void shutDown(Mode mode, Shutdown how, quint32 seconds) const;
    void bringOnline(Mode mode = Mode::Normal) const;
    void setSweepInterval(quint32 transactions) const;
    void setForcedWrites(bool on) const;
    void setPageBuffers(quint32 pages) const;
    void setReadOnly(bool on) const;

    void sweep(const ServiceMonitor &monitor) const;
    // The tables and indices checked while the database stays in use.
    void validateOnline(const ServiceMonitor &monitor) const;
    // The full check of a database nobody else has attached; mend marks
    // what is broken so that a backup can pass it.
    void validateFull(bool mend, const ServiceMonitor &monitor) const;
    // The statistics report (isc_spb_sts_... options), line by line.
    void statistics(quint32 options, const ServiceMonitor &monitor) const;

private:
    void properties(const std::function<void(ServiceRequest &)> &items) const;
    void run(ServiceRequest &request, const ServiceMonitor &monitor) const;

    QString m_database;
    QString m_user;
    QString m_password;
};
