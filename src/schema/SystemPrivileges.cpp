#include "schema/SystemPrivileges.h"

#include "core/AppError.h"

namespace {

// Firebird 4's, numbered from 1; a newer server's go on at the end.
const char *const kNames[] = {
    "USER_MANAGEMENT",
    "READ_RAW_PAGES",
    "CREATE_USER_TYPES",
    "USE_NBACKUP_UTILITY",
    "CHANGE_SHUTDOWN_MODE",
    "TRACE_ANY_ATTACHMENT",
    "MONITOR_ANY_ATTACHMENT",
    "ACCESS_SHUTDOWN_DATABASE",
    "CREATE_DATABASE",
    "DROP_DATABASE",
    "USE_GBAK_UTILITY",
    "USE_GSTAT_UTILITY",
    "USE_GFIX_UTILITY",
    "IGNORE_DB_TRIGGERS",
    "CHANGE_HEADER_SETTINGS",
    "SELECT_ANY_OBJECT_IN_DATABASE",
    "ACCESS_ANY_OBJECT_IN_DATABASE",
    "MODIFY_ANY_OBJECT_IN_DATABASE",
    "CHANGE_MAPPING_RULES",
    "USE_GRANTED_BY_CLAUSE",
    "GRANT_REVOKE_ON_ANY_OBJECT",
    "GRANT_REVOKE_ANY_DDL_RIGHT",
    "CREATE_PRIVILEGED_ROLES",
    "GET_DBCRYPT_INFO",
    "MODIFY_EXT_CONN_POOL",
    "REPLICATE_INTO_DATABASE",
};

QString nameOf(int bit, const QString &role)
{
    if (bit >= 1 && bit <= int(std::size(kNames)))
        return QLatin1String(kNames[bit - 1]);
    throw GeneralError(QStringLiteral("Role %1 has the system privilege bit %2, which this "
                                      "program does not know; no script was written")
                           .arg(role)
                           .arg(bit));
}

} // namespace

QStringList SystemPrivileges::decode(const QByteArray &bits, const QString &role)
{
    QStringList names;
    for (int bit = 0; bit < bits.size() * 8; ++bit) {
        if (uchar(bits.at(bit / 8)) & (1u << (bit % 8)))
            names << nameOf(bit, role);
    }
    return names;
}

QStringList SystemPrivileges::known()
{
    QStringList names;
    for (const char *name : kNames)
        names << QLatin1String(name);
    return names;
}
