#include "catalog/ViewTriggerStatements.h"

#include "core/AppError.h"
#include "ibdb/SqlLiteral.h"
#include "ibdb/StatementLines.h"

namespace ViewTriggerStatements {

namespace {

const QString kIndent = QStringLiteral("    ");

bool isAssignment(const StatementRow &row)
{
    return !row.field.isEmpty() && !row.value.isEmpty();
}

void requireRelation(const QString &relation)
{
    if (relation.isEmpty())
        throw GeneralError(noRelationMessage());
}

// Every entry but the last becomes "<indent><entry>,".
void separateWithCommas(QStringList &entries, const QString &indent)
{
    for (qsizetype i = 0; i + 1 < entries.size(); ++i)
        entries[i] = indent + entries[i] + QLatin1Char(',');
}

} // namespace

QString noRelationMessage()
{
    return QStringLiteral("You should set the relation to updte first");
}

QString BuildInsertStatement(const QString &relation, const QList<StatementRow> &rows,
                             int dialect)
{
    requireRelation(relation);
    QStringList columns;
    QStringList values;
    for (const StatementRow &row : rows) {
        if (isAssignment(row)) {
            columns << SqlLiteral::name(row.field, dialect);
            values << row.value;
        }
    }
    separateWithCommas(columns, kIndent);
    separateWithCommas(values, kIndent);
    // With no column at all the header lines themselves are the last
    // entries and take the closing parentheses.
    columns.prepend(QStringLiteral("INSERT INTO ") + SqlLiteral::name(relation, dialect)
                    + QStringLiteral("   ("));
    columns.last() = kIndent + columns.last() + QLatin1Char(')');
    values.prepend(QStringLiteral("VALUES ("));
    values.last() += QStringLiteral(");");
    return StatementLines::join(columns + values);
}

QString BuildUpdateStatement(const QString &relation, const QString &alias,
                             const QList<StatementRow> &rows, int dialect)
{
    requireRelation(relation);
    const QString name = SqlLiteral::name(alias, dialect);
    const QString qualifier = name + QLatin1Char('.');
    const auto field = [dialect](const StatementRow &row) {
        return SqlLiteral::name(row.field, dialect);
    };
    QStringList assignments;
    for (const StatementRow &row : rows) {
        if (isAssignment(row))
            assignments << qualifier + field(row) + QStringLiteral(" = ") + row.value;
    }
    separateWithCommas(assignments, QString());
    QStringList lines{QStringLiteral("UPDATE ") + SqlLiteral::name(relation, dialect)
                      + QLatin1Char(' ') + name
                      + QStringLiteral(" SET")};
    for (const QString &assignment : assignments)
        lines << QStringLiteral("     ") + assignment;
    lines << QStringLiteral("WHERE");
    for (const StatementRow &row : rows) {
        if (!row.criteria.isEmpty())
            lines << qualifier + field(row) + QLatin1Char(' ') + row.criteria;
    }
    lines.last() += QLatin1Char(';');
    return StatementLines::join(lines);
}

QString WithModifier(const QString &value, const QString &prefix)
{
    if (value.isEmpty())
        return value;
    const qsizetype stop = value.indexOf(QLatin1Char('.'));
    return prefix + (stop < 0 ? value : value.mid(stop + 1));
}

} // namespace ViewTriggerStatements
