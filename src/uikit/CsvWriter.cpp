#include "uikit/CsvWriter.h"

#include "uikit/ValueText.h"

#include <algorithm>

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
    m_line.clear();
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            m_line += m_separator;
        const QVariant &value = values.at(i);
        m_line += field(ValueText::plain(value), ValueText::isNull(value));
    }
    m_line += QLatin1String("\r\n");
    write(m_line);
}

QString CsvWriter::field(const QString &text, bool null) const
{
    if (null)
        return {};
    const bool quoted = text.isEmpty() || std::any_of(text.cbegin(), text.cend(), [this](QChar c) {
        return c == m_separator || c == u'"' || c == u'\n' || c == u'\r';
    });
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
