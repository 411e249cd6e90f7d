#include "schema/CatalogRow.h"

#include "ibdb/PlainName.h"

#include <QSqlRecord>

CatalogRow::CatalogRow(QSqlQuery query) : m_query(std::move(query))
{
    const QSqlRecord record = m_query.record();
    m_columns.reserve(record.count());
    for (int i = 0; i < record.count(); ++i)
        m_columns.push_back(record.fieldName(i).toLatin1());
}

// A catalogue query has a dozen columns at most: a scan beats a hash. A
// reader asks for the columns in the same order row after row, so the scan
// starts after the column found last and mostly ends at its first look.
QVariant CatalogRow::value(QByteArrayView column) const
{
    const std::size_t count = m_columns.size();
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t i = (m_next + step) % count;
        if (m_columns[i] == column) {
            m_next = i + 1;
            return m_query.value(int(i));
        }
    }
    return QVariant();
}

QString CatalogRow::name(QByteArrayView column) const
{
    return PlainName(value(column).toString());
}
