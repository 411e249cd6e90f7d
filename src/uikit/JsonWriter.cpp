#include "uikit/JsonWriter.h"

#include "uikit/ValueText.h"

void JsonWriter::begin(const Columns &columns)
{
    RowWriter::begin(columns);
    m_keys.clear();
    for (const Column &column : columns)
        m_keys << ValueText::jsonString(column.name) + QLatin1String(": ");
    m_first = true;
    write(QStringLiteral("["));
}

void JsonWriter::row(const QVariantList &values)
{
    QString text = m_first ? QStringLiteral("\n  {") : QStringLiteral(",\n  {");
    m_first = false;
    for (int i = 0; i < values.size() && i < m_keys.size(); ++i) {
        if (i > 0)
            text += QLatin1String(", ");
        text += m_keys.at(i) + ValueText::json(values.at(i), columnList().at(i).type);
    }
    write(text + QLatin1Char('}'));
}

void JsonWriter::end()
{
    write(m_first ? QStringLiteral("]\n") : QStringLiteral("\n]\n"));
    RowWriter::end();
}
