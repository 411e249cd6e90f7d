#pragma once

#include <QString>

// Where the services of a database's server are reached, and the name that
// server knows the database by. "host/port:path" and "host:path" go to that
// server's service manager; a plain path goes to the embedded engine's.
class ServiceAddress
{
public:
    explicit ServiceAddress(const QString &database);

    // "host/port:service_mgr", or "service_mgr" for the embedded engine.
    QString manager() const { return m_manager; }
    // The database as the server names it: the path without the host.
    QString path() const { return m_path; }
    // "host/port:" or empty: put before a path to reach it through the same server.
    QString serverPrefix() const { return m_prefix; }
    bool remote() const { return !m_prefix.isEmpty(); }

private:
    QString m_manager;
    QString m_path;
    QString m_prefix;
};
