#include "schema/ObjectDirectory.h"

#include "core/AppError.h"
#include "ibdb/PlainName.h"
#include "ibdb/SqlErrorText.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// One branch per kind, numbered as Kind counts; a NULL system flag is a
// user's object, as in databases made by old servers.
const char *const kBranches[] = {
    "SELECT 0, RDB$FIELD_NAME FROM RDB$FIELDS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"
    " AND RDB$FIELD_NAME NOT STARTING WITH 'RDB$'",
    "SELECT 1, RDB$RELATION_NAME FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"
    " AND RDB$VIEW_BLR IS NULL",
    "SELECT 2, RDB$RELATION_NAME FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"
    " AND RDB$VIEW_BLR IS NOT NULL",
    "SELECT 3, RDB$PROCEDURE_NAME FROM RDB$PROCEDURES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"
    " AND RDB$PACKAGE_NAME IS NULL",
    "SELECT 4, RDB$FUNCTION_NAME FROM RDB$FUNCTIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"
    " AND RDB$PACKAGE_NAME IS NULL",
    "SELECT 5, RDB$PACKAGE_NAME FROM RDB$PACKAGES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0",
    "SELECT 6, RDB$TRIGGER_NAME FROM RDB$TRIGGERS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0",
    "SELECT 7, RDB$EXCEPTION_NAME FROM RDB$EXCEPTIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0",
    "SELECT 8, RDB$GENERATOR_NAME FROM RDB$GENERATORS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0",
    "SELECT 9, RDB$ROLE_NAME FROM RDB$ROLES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0",
};

QString directoryQuery()
{
    QStringList branches;
    for (const char *branch : kBranches)
        branches << QString::fromLatin1(branch);
    return branches.join(QStringLiteral("\nUNION ALL\n")) + QStringLiteral("\nORDER BY 1, 2");
}

} // namespace

QList<ObjectDirectory::Kind> ObjectDirectory::kinds()
{
    return {Kind::Domain,  Kind::Table,   Kind::View,      Kind::Procedure, Kind::Function,
            Kind::Package, Kind::Trigger, Kind::Exception, Kind::Generator, Kind::Role};
}

QString ObjectDirectory::kindTitle(Kind kind)
{
    static const QStringList titles = {
        QStringLiteral("Domains"),    QStringLiteral("Tables"),     QStringLiteral("Views"),
        QStringLiteral("Procedures"), QStringLiteral("Functions"),  QStringLiteral("Packages"),
        QStringLiteral("Triggers"),   QStringLiteral("Exceptions"), QStringLiteral("Generators"),
        QStringLiteral("Roles")};
    return titles.value(int(kind));
}

QList<ObjectDirectory::Entry> ObjectDirectory::read(const QString &connection)
{
    QSqlQuery query(QSqlDatabase::database(connection));
    query.setForwardOnly(true);
    if (!query.exec(directoryQuery()))
        throw DatabaseError(SqlErrorText(query.lastError()));
    QList<Entry> entries;
    while (query.next()) {
        const int kind = query.value(0).toInt();
        if (kind >= 0 && kind < int(std::size(kBranches)))
            entries.append({Kind(kind), PlainName(query.value(1).toString())});
    }
    if (query.lastError().isValid())
        throw DatabaseError(SqlErrorText(query.lastError()));
    return entries;
}
