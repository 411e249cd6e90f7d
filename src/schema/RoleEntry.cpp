#include "schema/RoleEntry.h"

#include "ibdb/BoundQuery.h"
#include "ibdb/IbDriver.h"
#include "ibdb/PlainName.h"
#include "ibdb/SqlLiteral.h"
#include "schema/SystemPrivileges.h"

#include <QSqlQuery>

namespace {

// RDB$USER_TYPE of a role as grantee; anything else holding a role is a user.
constexpr int kRoleType = 13;

QString granteeText(const RoleEntry::Holder &grantee, int dialect)
{
    return (grantee.isRole ? QStringLiteral("ROLE ") : QStringLiteral("USER "))
           + SqlLiteral::name(grantee.name, dialect);
}

QList<RoleEntry::Holder> holdersOf(const QSqlDatabase &connection, const QString &role)
{
    QSqlQuery query = BoundQuery::run(
        connection,
        QStringLiteral("SELECT RDB$USER, RDB$USER_TYPE, RDB$GRANT_OPTION, RDB$GRANTOR "
                       "FROM RDB$USER_PRIVILEGES WHERE RDB$RELATION_NAME = :ROLE "
                       "AND RDB$PRIVILEGE = 'M' ORDER BY RDB$USER"),
        {{QStringLiteral("ROLE"), role}});
    QList<RoleEntry::Holder> holders;
    while (query.next()) {
        RoleEntry::Holder holder;
        holder.name = PlainName(query.value(0).toString());
        holder.isRole = query.value(1).toInt() == kRoleType;
        holder.adminOption = query.value(2).toInt() != 0;
        holder.grantor = PlainName(query.value(3).toString());
        holders << holder;
    }
    return holders;
}

// Unlike the metadata script, which must not drop a privilege it cannot
// name, a list shows what it can: RDB$ADMIN holds every bit there is.
QStringList privilegeNames(const QByteArray &bits)
{
    if (!bits.isEmpty() && bits.count('\xff') == bits.size())
        return {QStringLiteral("(every privilege)")};
    const QStringList known = SystemPrivileges::known();
    QStringList names;
    for (int bit = 0; bit < bits.size() * 8; ++bit) {
        if (uchar(bits.at(bit / 8)) & (1u << (bit % 8)))
            names << (bit >= 1 && bit <= known.size() ? known.at(bit - 1)
                                                       : QStringLiteral("bit %1").arg(bit));
    }
    return names;
}

} // namespace

bool RoleEntry::hasSystemPrivileges(const QSqlDatabase &connection)
{
    const auto *driver = qobject_cast<const IbDriver *>(connection.driver());
    return driver && driver->serverInfo().hasFirebird4Types();
}

QList<RoleEntry> RoleEntry::readAll(const QSqlDatabase &connection)
{
    const bool privileges = hasSystemPrivileges(connection);
    QSqlQuery query = BoundQuery::run(
        connection,
        QStringLiteral("SELECT RDB$ROLE_NAME, RDB$OWNER_NAME, RDB$SYSTEM_FLAG, %1 "
                       "FROM RDB$ROLES ORDER BY RDB$ROLE_NAME")
            .arg(privileges ? QStringLiteral("RDB$SYSTEM_PRIVILEGES") : QStringLiteral("NULL")),
        {});
    QList<RoleEntry> roles;
    while (query.next()) {
        RoleEntry role;
        role.name = PlainName(query.value(0).toString());
        role.owner = PlainName(query.value(1).toString());
        role.system = query.value(2).toInt() != 0;
        if (privileges)
            role.systemPrivileges = privilegeNames(query.value(3).toByteArray());
        roles << role;
    }
    for (RoleEntry &role : roles)
        role.holders = holdersOf(connection, role.name);
    return roles;
}

QString RoleEntry::createText(const QString &role, int dialect)
{
    return QStringLiteral("CREATE ROLE ") + SqlLiteral::name(role, dialect);
}

QString RoleEntry::dropText(const QString &role, int dialect)
{
    return QStringLiteral("DROP ROLE ") + SqlLiteral::name(role, dialect);
}

QString RoleEntry::grantText(const QString &role, const Holder &grantee, int dialect)
{
    return QStringLiteral("GRANT %1 TO %2%3")
        .arg(SqlLiteral::name(role, dialect), granteeText(grantee, dialect),
             grantee.adminOption ? QStringLiteral(" WITH ADMIN OPTION") : QString());
}

QString RoleEntry::revokeText(const QString &role, const Holder &grantee, bool adminOptionOnly,
                              int dialect)
{
    return QStringLiteral("REVOKE %1%2 FROM %3")
        .arg(adminOptionOnly ? QStringLiteral("ADMIN OPTION FOR ") : QString(),
             SqlLiteral::name(role, dialect), granteeText(grantee, dialect));
}

QString RoleEntry::systemPrivilegesText(const QString &role, const QStringList &privileges,
                                        int dialect)
{
    const QString name = SqlLiteral::name(role, dialect);
    if (privileges.isEmpty())
        return QStringLiteral("ALTER ROLE %1 DROP SYSTEM PRIVILEGES").arg(name);
    return QStringLiteral("ALTER ROLE %1 SET SYSTEM PRIVILEGES TO %2")
        .arg(name, privileges.join(QStringLiteral(", ")));
}
