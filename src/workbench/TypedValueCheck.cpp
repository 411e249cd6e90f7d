#include "workbench/TypedValueCheck.h"

#include "ibdb/DecimalNumber.h"
#include "ibdb/IbType.h"
#include "ibdb/SqlErrorText.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// The value as the server would store it, as its text; or why it would not.
QString storedText(const QSqlDatabase &database, const QString &table, const QString &column,
                   const QString &typed, QString &refusal)
{
    const QSqlDriver *driver = database.driver();
    QSqlQuery query(database);
    query.setForwardOnly(true);
    const QString statement =
        QStringLiteral("SELECT CAST(? AS TYPE OF COLUMN %1.%2) FROM RDB$DATABASE")
            .arg(driver->escapeIdentifier(table, QSqlDriver::TableName),
                 driver->escapeIdentifier(column, QSqlDriver::FieldName));
    if (!query.prepare(statement)) {
        refusal = SqlErrorText(query.lastError());
        return {};
    }
    query.addBindValue(typed);
    if (!query.exec() || !query.next()) {
        refusal = SqlErrorText(query.lastError());
        return {};
    }
    return query.value(0).toString();
}

QString checked(const QSqlDatabase &database, const QString &table, const QString &column,
                const QString &typed)
{
    // A text that is no number is the server's to refuse, as it will.
    const auto wanted = DecimalNumber::parse(typed);
    if (!wanted)
        return {};
    QString refusal;
    const QString stored = storedText(database, table, column, typed, refusal);
    if (!refusal.isEmpty())
        return refusal;
    if (DecimalNumber::parse(stored) == wanted)
        return {};
    return QStringLiteral("%1 cannot hold %2 exactly: it would be stored as %3")
        .arg(column, typed.trimmed(), stored);
}

} // namespace

QString TypedValueCheck::refusal(const QSqlDatabase &database, const QString &table,
                                 const QSqlRecord &fields, const QSqlRecord &values)
{
    for (int i = 0; i < values.count(); ++i) {
        if (!values.isGenerated(i) || values.isNull(i))
            continue;
        const QString column = values.fieldName(i);
        if (!IbType::boundAsNumberText(fields.field(column).typeID()))
            continue;
        const QString why = checked(database, table, column, values.value(i).toString());
        if (!why.isEmpty())
            return why;
    }
    return {};
}
