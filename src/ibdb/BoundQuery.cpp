#include "ibdb/BoundQuery.h"

#include "core/AppError.h"
#include "ibdb/SqlErrorText.h"

#include <QSqlError>

namespace BoundQuery {

QSqlQuery run(const QSqlDatabase &database, const QString &text, const Values &values)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.prepare(text))
        throw DatabaseError(SqlErrorText(query.lastError()));
    for (const auto &[name, value] : values)
        query.bindValue(name, value);
    if (!query.exec())
        throw DatabaseError(SqlErrorText(query.lastError()));
    return query;
}

} // namespace BoundQuery
