#include "schema/Catalog.h"

#include "core/AppError.h"
#include "ibdb/IbResult.h"
#include "ibdb/IbSnapshot.h"
#include "schema/CatalogRow.h"

#include <QSqlError>
#include <QSqlQuery>

bool Catalog::isServerName(const QString &name)
{
    return name.startsWith(QLatin1String("RDB$"));
}

Catalog::Catalog(QSqlDatabase database) : m_database(std::move(database)) {}

void Catalog::beginReading()
{
    m_snapshot = std::make_shared<IbSnapshot>(m_database);
}

namespace {

QString andIfKept(const QString &kept, const QString &condition)
{
    return kept.isEmpty() ? QString() : QStringLiteral(" AND ") + condition;
}

} // namespace

QString Catalog::within(const QString &condition) const
{
    return andIfKept(m_relation, condition);
}

QString Catalog::withinProcedure(const QString &condition) const
{
    return andIfKept(m_procedure, condition);
}

CatalogRow Catalog::run(const QString &text) const
{
    QSqlQuery query = m_snapshot ? m_snapshot->query() : QSqlQuery(m_database);
    query.setForwardOnly(true);
    const QString relation = QStringLiteral(":RELATION");
    const QString procedure = QStringLiteral(":PROCEDURE");
    const bool bound = text.contains(relation) || text.contains(procedure);
    const bool prepared = bound && query.prepare(text);
    if (prepared && text.contains(relation))
        query.bindValue(relation, m_relation);
    if (prepared && text.contains(procedure))
        query.bindValue(procedure, m_procedure);
    // A refused prepare keeps the server's reason as the last error, which a
    // run of nothing prepared would replace with the driver's own words.
    if (!(bound ? prepared && query.exec() : query.exec(text))) {
        const QSqlError error = query.lastError();
        throw DatabaseError(error.databaseText().isEmpty() ? error.text() : error.databaseText());
    }
    // The next rows are fetched while these are turned into the schema's.
    IbResult::readAheadInBackground(query);
    return CatalogRow(std::move(query));
}
