#include "schema/PrivilegeCatalog.h"

#include "ibdb/BoundQuery.h"
#include "ibdb/PlainName.h"
#include "schema/Catalog.h"
#include "schema/CatalogRow.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace {

// Routines of a package are granted through their package, not one by one.
// A column's own domain is the server's, named by it: left on the server,
// which has as many of them as there are columns.
const char kObjectsQuery[] =
    "SELECT RDB$RELATION_NAME AS NAME, 0 AS OBJECT_TYPE, "
    "IIF(RDB$VIEW_BLR IS NULL, 0, 1) AS IS_VIEW FROM RDB$RELATIONS "
    "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
    "UNION ALL SELECT RDB$PROCEDURE_NAME, 5, 0 FROM RDB$PROCEDURES "
    "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$PACKAGE_NAME IS NULL "
    "UNION ALL SELECT RDB$FUNCTION_NAME, 15, 0 FROM RDB$FUNCTIONS "
    "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$PACKAGE_NAME IS NULL "
    "UNION ALL SELECT RDB$PACKAGE_NAME, 18, 0 FROM RDB$PACKAGES "
    "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
    "UNION ALL SELECT RDB$GENERATOR_NAME, 14, 0 FROM RDB$GENERATORS "
    "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
    "UNION ALL SELECT RDB$EXCEPTION_NAME, 7, 0 FROM RDB$EXCEPTIONS "
    "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
    "UNION ALL SELECT RDB$FIELD_NAME, 9, 0 FROM RDB$FIELDS "
    "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$FIELD_NAME NOT STARTING WITH 'RDB$' "
    "UNION ALL SELECT RDB$CHARACTER_SET_NAME, 11, 0 FROM RDB$CHARACTER_SETS "
    "UNION ALL SELECT RDB$COLLATION_NAME, 17, 0 FROM RDB$COLLATIONS";

const char kGranteesQuery[] =
    "SELECT RDB$ROLE_NAME AS NAME, 13 AS USER_TYPE FROM RDB$ROLES "
    "UNION ALL SELECT RDB$TRIGGER_NAME, 2 FROM RDB$TRIGGERS "
    "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0";

// Each grant goes into the matrix as it comes: a big schema has tens of
// thousands, taken while the server-call thread reads the next ones.
void readGrants(const Catalog &catalog, PrivilegeMatrix &matrix,
                std::set<PrivilegeGrantee> &holders)
{
    CatalogRow row = catalog.run(QStringLiteral(
        "SELECT RDB$USER, RDB$USER_TYPE, RDB$PRIVILEGE, RDB$RELATION_NAME, RDB$OBJECT_TYPE, "
        "RDB$FIELD_NAME, RDB$GRANT_OPTION, RDB$GRANTOR FROM RDB$USER_PRIVILEGES "
        "WHERE RDB$PRIVILEGE <> 'M'"));
    const PrivilegeGrantee *last = nullptr;
    while (row.next()) {
        SchemaGrant grant{row.name("RDB$USER"), row.number("RDB$USER_TYPE")};
        const QString privilege = row.name("RDB$PRIVILEGE");
        grant.privilege = privilege.isEmpty() ? QChar() : privilege.at(0);
        grant.object = row.name("RDB$RELATION_NAME");
        grant.objectType = row.number("RDB$OBJECT_TYPE");
        grant.column = row.name("RDB$FIELD_NAME");
        grant.option = row.number("RDB$GRANT_OPTION");
        grant.grantor = row.name("RDB$GRANTOR");
        matrix.add(grant);
        // One grantee's grants mostly come one after another.
        const PrivilegeGrantee holder{grant.granteeType, grant.grantee};
        if (!last || *last != holder)
            last = &*holders.insert(holder).first;
    }
}

QList<PrivilegeTarget> readObjects(const Catalog &catalog)
{
    QList<PrivilegeTarget> objects;
    CatalogRow row = catalog.run(QLatin1String(kObjectsQuery));
    while (row.next()) {
        PrivilegeTarget target;
        target.name = row.name("NAME");
        const int type = row.number("OBJECT_TYPE");
        if (PrivilegeTarget::fromObjectType(type, row.number("IS_VIEW") != 0, target.kind))
            objects << target;
    }
    std::sort(objects.begin(), objects.end(), [](const auto &a, const auto &b) {
        return std::tie(a.kind, a.name) < std::tie(b.kind, b.name);
    });
    for (const QString &name : PrivilegeTarget::ddlNames())
        objects << PrivilegeTarget{PrivilegeTarget::Kind::Ddl, name};
    return objects;
}

int granteeType(PrivilegeTarget::Kind kind)
{
    switch (kind) {
    case PrivilegeTarget::Kind::View: return PrivilegeGrantee::View;
    case PrivilegeTarget::Kind::Procedure: return PrivilegeGrantee::Procedure;
    case PrivilegeTarget::Kind::Function: return PrivilegeGrantee::Function;
    case PrivilegeTarget::Kind::Package: return PrivilegeGrantee::Package;
    default: return 0;
    }
}

QList<PrivilegeGrantee> collectGrantees(const Catalog &catalog, const PrivilegeCatalog &read,
                                        const QStringList &users,
                                        std::set<PrivilegeGrantee> found)
{
    for (const QString &user : users)
        found.insert({PrivilegeGrantee::User, user});
    for (const PrivilegeTarget &object : read.objects) {
        if (const int type = granteeType(object.kind))
            found.insert({type, object.name});
    }
    CatalogRow row = catalog.run(QLatin1String(kGranteesQuery));
    while (row.next())
        found.insert({row.number("USER_TYPE"), row.name("NAME")});
    QList<PrivilegeGrantee> grantees{{PrivilegeGrantee::User, QStringLiteral("PUBLIC")}};
    for (PrivilegeGrantee::Type type : PrivilegeGrantee::types()) {
        for (const PrivilegeGrantee &grantee : found) {
            if (grantee.type == type && !grantee.isPublic())
                grantees << grantee;
        }
    }
    return grantees;
}

} // namespace

PrivilegeCatalog PrivilegeCatalog::read(const QSqlDatabase &connection, const QStringList &users)
{
    Catalog catalog(connection);
    catalog.beginReading();
    PrivilegeCatalog read;
    std::set<PrivilegeGrantee> holders;
    readGrants(catalog, read.matrix, holders);
    read.objects = readObjects(catalog);
    read.grantees = collectGrantees(catalog, read, users, std::move(holders));
    return read;
}

QStringList PrivilegeCatalog::columnsOf(const QSqlDatabase &connection, const QString &relation)
{
    QSqlQuery query = BoundQuery::run(
        connection,
        QStringLiteral("SELECT RDB$FIELD_NAME FROM RDB$RELATION_FIELDS "
                       "WHERE RDB$RELATION_NAME = :RELATION ORDER BY RDB$FIELD_POSITION"),
        {{QStringLiteral("RELATION"), relation}});
    QStringList columns;
    while (query.next())
        columns << PlainName(query.value(0).toString());
    return columns;
}
