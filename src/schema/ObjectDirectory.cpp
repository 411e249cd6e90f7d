#include "schema/ObjectDirectory.h"

#include "core/AppError.h"
#include "ibdb/IbResult.h"
#include "ibdb/PlainName.h"
#include "ibdb/SqlErrorText.h"
#include "schema/Catalog.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

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

// One kind's rows: its number, then what `column` makes of its name column.
QString branchQuery(int kind, const QString &column)
{
    const Branch &branch = kBranches[kind];
    return QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4%5")
        .arg(kind)
        .arg(column.arg(QLatin1String(branch.name)), QLatin1String(branch.table),
             QLatin1String(Catalog::userObjects), QLatin1String(branch.also));
}

// Every kind's branch, in one statement.
QString everyBranch(const QString &column)
{
    QStringList branches;
    for (int kind = 0; kind < int(std::size(kBranches)); ++kind)
        branches << branchQuery(kind, column);
    return branches.join(QStringLiteral("\nUNION ALL\n"));
}

const QString kName = QStringLiteral("TRIM(TRAILING FROM %1)");

QSqlQuery run(const QString &connection, const QString &text)
{
    QSqlQuery query(QSqlDatabase::database(connection));
    query.setForwardOnly(true);
    if (!query.exec(text))
        throw DatabaseError(SqlErrorText(query.lastError()));
    // The next rows come in while these are read.
    IbResult::readAheadInBackground(query);
    return query;
}

void checkEnd(const QSqlQuery &query)
{
    if (query.lastError().isValid())
        throw DatabaseError(SqlErrorText(query.lastError()));
}

// UTF-16 units in the order of the code points they spell: the server
// orders these UTF-8 columns by code point, where a surrogate comes after
// U+E000..U+FFFF.
int codePointRank(char16_t unit)
{
    if (unit >= 0xE000)
        return unit - 0x800;
    if (unit >= 0xD800)
        return unit + 0x2000;
    return unit;
}

bool codePointLess(const QString &a, const QString &b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (a[i] != b[i])
            return codePointRank(a[i].unicode()) < codePointRank(b[i].unicode());
    }
    return a.size() < b.size();
}

// The server's ORDER BY sorts a hundred thousand padded names for most of
// the time the whole read takes; here they sort in a fraction of it.
void sortByKindAndName(QList<ObjectDirectory::Entry> &entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const ObjectDirectory::Entry &a, const ObjectDirectory::Entry &b) {
                  if (a.kind != b.kind)
                      return a.kind < b.kind;
                  return codePointLess(a.name, b.name);
              });
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
    QSqlQuery query = run(connection, everyBranch(kName));
    QList<Entry> entries;
    while (query.next()) {
        const int kind = query.value(0).toInt();
        if (kind >= 0 && kind < int(std::size(kBranches)))
            entries.append({Kind(kind), PlainName(query.value(1).toString())});
    }
    checkEnd(query);
    sortByKindAndName(entries);
    return entries;
}

QStringList ObjectDirectory::names(const QString &connection, Kind kind)
{
    QSqlQuery query = run(connection, branchQuery(int(kind), kName));
    QStringList names;
    while (query.next())
        names << PlainName(query.value(1).toString());
    checkEnd(query);
    std::sort(names.begin(), names.end(), codePointLess);
    return names;
}

QList<int> ObjectDirectory::counts(const QString &connection)
{
    // Each branch counts as it scans: no sort, no name crosses the wire.
    QSqlQuery query = run(connection, everyBranch(QStringLiteral("COUNT(%1)")));
    QList<int> counts(int(std::size(kBranches)), 0);
    while (query.next()) {
        const int kind = query.value(0).toInt();
        if (kind >= 0 && kind < counts.size())
            counts[kind] = query.value(1).toInt();
    }
    checkEnd(query);
    return counts;
}
