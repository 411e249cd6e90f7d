#include "uikit/CsvWriter.h"

#include "uikit/ValueText.h"

void CsvWriter::begin(const Columns &columns)
{
    RowWriter::begin(columns);
    QStringList names;
    for (const Column &column : columns)
        names << field(column.name, false);
    line(names);
}

void CsvWriter::row(const QVariantList &values)
{
    QStringList fields;
    fields.reserve(values.size());
    for (const QVariant &value : values)
        fields << field(ValueText::plain(value), ValueText::isNull(value));
    line(fields);
}

QString CsvWriter::field(const QString &text, bool null) const
{
    if (null)
        return {};
    const bool quoted = text.isEmpty() || text.contains(m_separator)
                        || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
                        || text.contains(QLatin1Char('\r'));
    if (!quoted)
        return text;
    QString escaped = text;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

void CsvWriter::line(const QStringList &fields)
{
    write(fields.join(m_separator) + QLatin1String("\r\n"));
}
