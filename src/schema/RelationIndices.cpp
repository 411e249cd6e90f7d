#include "schema/RelationIndices.h"

#include "ibdb/BoundQuery.h"
#include "ibdb/PlainName.h"

#include <QVariant>

QList<RelationIndices::Index> RelationIndices::read(QSqlDatabase database,
                                                    const QString &relation)
{
    QSqlQuery row = BoundQuery::run(
        database,
        QStringLiteral(
            "SELECT I.RDB$INDEX_NAME, I.RDB$UNIQUE_FLAG, I.RDB$INDEX_TYPE, I.RDB$INDEX_INACTIVE, "
            "I.RDB$STATISTICS, I.RDB$EXPRESSION_SOURCE, S.RDB$FIELD_NAME FROM RDB$INDICES I "
            "LEFT JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
            "WHERE I.RDB$RELATION_NAME = :RELATION "
            "ORDER BY I.RDB$INDEX_NAME, S.RDB$FIELD_POSITION"),
        {{QStringLiteral(":RELATION"), relation}});
    QList<Index> indices;
    while (row.next()) {
        const QString name = PlainName(row.value(0).toString());
        if (indices.isEmpty() || indices.last().name != name) {
            Index index{name};
            index.unique = row.value(1).toInt() == 1;
            index.descending = row.value(2).toInt() == 1;
            index.inactive = row.value(3).toInt() == 1;
            index.selectivity = row.value(4).toDouble();
            index.expression = row.value(5).toString();
            indices.append(index);
        }
        if (!row.value(6).isNull())
            indices.last().columns.append(PlainName(row.value(6).toString()));
    }
    return indices;
}
