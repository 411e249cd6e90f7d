#include "schema/ObjectDirectory.h"

#include "core/AppError.h"
#include "ibdb/PlainName.h"
#include "ibdb/SqlErrorText.h"
#include "schema/Catalog.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// One branch per kind, numbered as Kind counts: the name column, the
// catalogue table and what else keeps a kind apart from another in the same
// table. A NULL system flag is a user's object, as in databases made by old
// servers.
struct Branch
{
    const char *name;
    const char *table;
    const char *also;
};

const Branch kBranches[] = {
    {"RDB$FIELD_NAME", "RDB$FIELDS", " AND RDB$FIELD_NAME NOT STARTING WITH 'RDB$'"},
    {"RDB$RELATION_NAME", "RDB$RELATIONS", " AND RDB$VIEW_BLR IS NULL"},
    {"RDB$RELATION_NAME", "RDB$RELATIONS", " AND RDB$VIEW_BLR IS NOT NULL"},
    {"RDB$PROCEDURE_NAME", "RDB$PROCEDURES", " AND RDB$PACKAGE_NAME IS NULL"},
    {"RDB$FUNCTION_NAME", "RDB$FUNCTIONS", " AND RDB$PACKAGE_NAME IS NULL"},
    {"RDB$PACKAGE_NAME", "RDB$PACKAGES", ""},
    {"RDB$TRIGGER_NAME", "RDB$TRIGGERS", ""},
    {"RDB$EXCEPTION_NAME", "RDB$EXCEPTIONS", ""},
    {"RDB$GENERATOR_NAME", "RDB$GENERATORS", ""},
    {"RDB$ROLE_NAME", "RDB$ROLES", ""},
};

QString directoryQuery()
{
    QStringList branches;
    for (int kind = 0; kind < int(std::size(kBranches)); ++kind) {
        const Branch &branch = kBranches[kind];
        branches << QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4%5")
                        .arg(kind)
                        .arg(QLatin1String(branch.name), QLatin1String(branch.table),
                             QLatin1String(Catalog::userObjects), QLatin1String(branch.also));
    }
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
