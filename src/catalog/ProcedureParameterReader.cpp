#include "catalog/ProcedureParameterReader.h"

#include "ibdb/PlainName.h"
#include "ibdb/SqlLiteral.h"
#include "uikit/CatalogQuery.h"

#include <QSqlRecord>

namespace {

// RDB$FIELD_TYPE codes of the types that have a character set.
bool isText(int fieldType, int subType)
{
    return fieldType == 14 || fieldType == 37 || fieldType == 40
           || (fieldType == 261 && subType == 1);
}

QString text(const CatalogQuery *query, int row, const char *field)
{
    return PlainName(query->value(row, QLatin1String(field)).toString());
}

int number(const CatalogQuery *query, int row, const char *field)
{
    return query->value(row, QLatin1String(field)).toInt();
}

// The domain's column of a name the parameter's row has as well: the last one.
QVariant domainValue(const CatalogQuery *query, int row, const char *field)
{
    const QSqlRecord record = query->record(row);
    for (int i = record.count() - 1; i >= 0; --i) {
        if (record.fieldName(i) == QLatin1String(field))
            return record.value(i);
    }
    return {};
}

} // namespace

ProcedureDdl::Parameter ProcedureParameterReader::read(const CatalogQuery *query, int row,
                                                       const QString &typeText)
{
    ProcedureDdl::Parameter parameter;
    parameter.name = text(query, row, "RDB$PARAMETER_NAME");
    parameter.typeText = typeText;
    parameter.domain = domainOf(query, row);
    if (parameter.domain.isEmpty())
        parameter.characterSet = characterSetOf(query, row);
    parameter.notNull = number(query, row, "RDB$NULL_FLAG") == 1;
    parameter.collation = collationOf(query, row);
    parameter.defaultSource = text(query, row, "RDB$DEFAULT_SOURCE");
    return parameter;
}

// The first of each doubled name in the joined row is the parameter's own
// column, the second the domain's.
QString ProcedureParameterReader::domainOf(const CatalogQuery *query, int row) const
{
    const auto name = [this](const QString &stored) { return SqlLiteral::name(stored, m_dialect); };
    const QString relation = text(query, row, "RDB$RELATION_NAME");
    if (!relation.isEmpty())
        return QStringLiteral("TYPE OF COLUMN %1.%2")
            .arg(name(relation), name(text(query, row, "RDB$FIELD_NAME")));
    // A type written out in the declaration gets a domain of the server's own naming.
    const QString source = text(query, row, "RDB$FIELD_SOURCE");
    if (source.startsWith(QLatin1String("RDB$")))
        return {};
    const bool typeOf = number(query, row, "RDB$PARAMETER_MECHANISM") == 1;
    return typeOf ? QStringLiteral("TYPE OF ") + name(source) : name(source);
}

QString ProcedureParameterReader::characterSetOf(const CatalogQuery *query, int row)
{
    if (!isText(number(query, row, "RDB$FIELD_TYPE"), number(query, row, "RDB$FIELD_SUB_TYPE")))
        return {};
    loadNames();
    const QString name = m_characterSets.value(number(query, row, "RDB$CHARACTER_SET_ID"));
    return name == m_defaultCharacterSet ? QString() : name;
}

// A COLLATE after TYPE OF is the parameter's own; one after a written-out
// type belongs to the domain the server made for the parameter.
QString ProcedureParameterReader::collationOf(const CatalogQuery *query, int row)
{
    QVariant own = query->value(row, QStringLiteral("RDB$COLLATION_ID"));
    if (own.isNull() && domainOf(query, row).isEmpty())
        own = domainValue(query, row, "RDB$COLLATION_ID");
    const int collation = own.toInt();
    if (collation == 0)
        return {};
    loadNames();
    return m_collations.value({number(query, row, "RDB$CHARACTER_SET_ID"), collation});
}

void ProcedureParameterReader::loadNames()
{
    if (m_loaded)
        return;
    CatalogQuery database;
    database.setText(QStringLiteral("SELECT RDB$CHARACTER_SET_NAME FROM RDB$DATABASE"));
    database.open();
    m_defaultCharacterSet =
        PlainName(database.value(0, QStringLiteral("RDB$CHARACTER_SET_NAME")).toString());
    if (m_defaultCharacterSet.isEmpty())
        m_defaultCharacterSet = QStringLiteral("NONE");

    CatalogQuery names;
    names.setText(QStringLiteral(
        "SELECT CO.RDB$CHARACTER_SET_ID, CO.RDB$COLLATION_ID, CO.RDB$COLLATION_NAME, "
        "CS.RDB$CHARACTER_SET_NAME FROM RDB$COLLATIONS CO JOIN RDB$CHARACTER_SETS CS "
        "ON CS.RDB$CHARACTER_SET_ID = CO.RDB$CHARACTER_SET_ID"));
    names.open();
    names.fetchAll();
    for (int row = 0; row < names.rowCount(); ++row) {
        const int set = number(&names, row, "RDB$CHARACTER_SET_ID");
        m_characterSets.insert(set, text(&names, row, "RDB$CHARACTER_SET_NAME"));
        m_collations.insert({set, number(&names, row, "RDB$COLLATION_ID")},
                            text(&names, row, "RDB$COLLATION_NAME"));
    }
    m_loaded = true;
}
