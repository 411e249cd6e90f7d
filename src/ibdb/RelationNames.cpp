#include "ibdb/RelationNames.h"

#include "core/AppError.h"
#include "ibdb/SqlErrorText.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

QHash<int, QString> RelationNames::read(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT RDB$RELATION_ID, RDB$RELATION_NAME FROM "
                                   "RDB$RELATIONS")))
        throw DatabaseError(SqlErrorText(query.lastError()));
    QHash<int, QString> names;
    while (query.next())
        names.insert(query.value(0).toInt(), query.value(1).toString());
    return names;
}
