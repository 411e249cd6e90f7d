#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSqlQuery>
#include <QVariant>

#include <vector>

// The rows of one catalogue query, one after another, their columns found by
// name. The column names are looked up once for the query, not once for each
// value: QSqlQuery::record() copies every value of the row each time it is
// asked, which a reader of 100,000 catalogue rows cannot afford.
class CatalogRow
{
public:
    explicit CatalogRow(QSqlQuery query);

    bool next() { return m_query.next(); }

    // The value of the named column; null when the query has no such column.
    QVariant value(QByteArrayView column) const;
    // A name from a CHAR column: only the padding is dropped.
    QString name(QByteArrayView column) const;
    // A source, message or description as the server keeps it.
    QString stored(QByteArrayView column) const { return value(column).toString(); }
    int number(QByteArrayView column) const { return value(column).toInt(); }
    bool isNull(QByteArrayView column) const { return value(column).isNull(); }

private:
    QSqlQuery m_query;
    std::vector<QByteArray> m_columns;
    mutable std::size_t m_next = 0;
};
