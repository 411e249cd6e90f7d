#include "uikit/InsertWriter.h"

#include "ibdb/SqlLiteral.h"
#include "uikit/ValueText.h"

void InsertWriter::begin(const Columns &columns)
{
    RowWriter::begin(columns);
    QStringList names;
    for (const Column &column : columns)
        names << SqlLiteral::name(column.name, m_dialect);
    m_head = QStringLiteral("INSERT INTO %1 (%2) VALUES (")
                 .arg(SqlLiteral::name(m_table, m_dialect), names.join(QLatin1String(", ")));
}

void InsertWriter::row(const QVariantList &values)
{
    QStringList literals;
    literals.reserve(values.size());
    for (int i = 0; i < values.size(); ++i)
        literals << ValueText::sql(values.at(i), columnList().at(i).type, m_dialect);
    write(m_head + literals.join(QLatin1String(", ")) + QLatin1String(");\r\n"));
}
