#include "ibdb/IbCatalog.h"

#include <QSqlDriver>
#include <QSqlField>
#include <QSqlQuery>

#include "ibdb/IbType.h"
#include "ibdb/PlainName.h"

namespace {

const char relationFieldsQuery[] =
    "SELECT RF.RDB$FIELD_NAME, F.RDB$FIELD_TYPE, F.RDB$FIELD_SUB_TYPE, F.RDB$FIELD_SCALE, "
    "F.RDB$CHARACTER_SET_ID, F.RDB$CHARACTER_LENGTH, F.RDB$FIELD_LENGTH, "
    "F.RDB$FIELD_PRECISION, COALESCE(RF.RDB$NULL_FLAG, F.RDB$NULL_FLAG, 0), "
    "F.RDB$COMPUTED_BLR "
    "FROM RDB$RELATION_FIELDS RF "
    "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
    "WHERE RF.RDB$RELATION_NAME = ? ORDER BY RF.RDB$FIELD_POSITION";

const char primaryKeyQuery[] =
    "SELECT S.RDB$FIELD_NAME, RC.RDB$CONSTRAINT_NAME "
    "FROM RDB$RELATION_CONSTRAINTS RC "
    "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = RC.RDB$INDEX_NAME "
    "WHERE RC.RDB$RELATION_NAME = ? AND RC.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
    "ORDER BY S.RDB$FIELD_POSITION";

enum Column { Name, Type, SubType, Scale, Charset, CharLength, Length, Precision, NotNull,
              Computed };

bool isText(int fieldType)
{
    return fieldType == 14 || fieldType == 37 || fieldType == 40;
}

QSqlField fieldFrom(const QSqlQuery &q, const QString &table)
{
    const int type = q.value(Type).toInt();
    // Text columns carry their character set where other columns carry a sub-type.
    const int subType = isText(type) ? q.value(Charset).toInt() : q.value(SubType).toInt();
    const int scale = q.value(Scale).toInt();
    QSqlField field(PlainName(q.value(Name).toString()),
                    IbType::fromFieldType(type, subType, scale), table);
    field.setRequiredStatus(q.value(NotNull).toInt() != 0 ? QSqlField::Required
                                                          : QSqlField::Optional);
    const QVariant charLength = q.value(CharLength);
    const QVariant precision = q.value(Precision);
    field.setLength(isText(type) && !charLength.isNull() ? charLength.toInt()
                    : precision.toInt() > 0              ? precision.toInt()
                                                         : q.value(Length).toInt());
    field.setPrecision(-scale);
    field.setReadOnly(!q.value(Computed).isNull());
    // The declared type, for what the Qt type does not tell (IbType::boundAsText).
    field.setSqlType(type);
    return field;
}

} // namespace

bool IbCatalog::run(QSqlQuery &query, const QString &statement, const QString &relation) const
{
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        return false;
    query.addBindValue(relation);
    return query.exec();
}

QString IbCatalog::storedName(const QString &tableName) const
{
    const QString statement =
        QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = ?");
    for (const QString &candidate : {tableName, tableName.toUpper()}) {
        QSqlQuery query(m_driver->createResult());
        if (run(query, statement, candidate) && query.next())
            return PlainName(query.value(0).toString());
    }
    return tableName;
}

QStringList IbCatalog::tables(int tableTypes) const
{
    QStringList conditions;
    if (tableTypes & QSql::Tables)
        conditions << QStringLiteral(
            "(RDB$VIEW_BLR IS NULL AND COALESCE(RDB$SYSTEM_FLAG, 0) = 0)");
    if (tableTypes & QSql::Views)
        conditions << QStringLiteral("RDB$VIEW_BLR IS NOT NULL");
    if (tableTypes & QSql::SystemTables)
        conditions << QStringLiteral("COALESCE(RDB$SYSTEM_FLAG, 0) <> 0");
    QStringList names;
    if (conditions.isEmpty())
        return names;
    QSqlQuery query(m_driver->createResult());
    query.setForwardOnly(true);
    query.exec(QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE %1 ORDER BY 1")
                   .arg(conditions.join(QLatin1String(" OR "))));
    while (query.next())
        names << PlainName(query.value(0).toString());
    return names;
}

QSqlRecord IbCatalog::record(const QString &tableName) const
{
    const QString table = storedName(tableName);
    QSqlRecord record;
    QSqlQuery query(m_driver->createResult());
    if (!run(query, QLatin1String(relationFieldsQuery), table))
        return record;
    while (query.next())
        record.append(fieldFrom(query, table));
    return record;
}

QSqlIndex IbCatalog::primaryIndex(const QString &tableName) const
{
    const QString table = storedName(tableName);
    const QSqlRecord fields = record(table);
    QSqlIndex index(table);
    QSqlQuery query(m_driver->createResult());
    if (!run(query, QLatin1String(primaryKeyQuery), table))
        return index;
    while (query.next()) {
        index.setName(PlainName(query.value(1).toString()));
        index.append(fields.field(PlainName(query.value(0).toString())));
    }
    return index;
}
