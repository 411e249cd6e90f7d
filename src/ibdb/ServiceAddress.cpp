#include "ibdb/ServiceAddress.h"

namespace {

// Where the host part of "host[/port]:path" ends, or -1 for a plain path.
// An IPv6 host is bracketed; a one-letter host is a drive, not a server.
qsizetype hostEnd(const QString &database)
{
    qsizetype from = 0;
    if (database.startsWith(QLatin1Char('['))) {
        from = database.indexOf(QLatin1Char(']'));
        if (from < 0)
            return -1;
    }
    const qsizetype colon = database.indexOf(QLatin1Char(':'), from);
    return colon > 1 ? colon : -1;
}

} // namespace

ServiceAddress::ServiceAddress(const QString &database)
{
    const qsizetype colon = hostEnd(database);
    if (colon < 0) {
        m_manager = QStringLiteral("service_mgr");
        m_path = database;
        return;
    }
    m_prefix = database.left(colon + 1);
    m_manager = m_prefix + QStringLiteral("service_mgr");
    m_path = database.mid(colon + 1);
}
