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

// A catalogue query has a dozen columns at most: a scan beats a hash.
QVariant CatalogRow::value(QByteArrayView column) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i] == column)
            return m_query.value(int(i));
    }
    return QVariant();
}

QString CatalogRow::name(QByteArrayView column) const
{
    return PlainName(value(column).toString());
}
