#pragma once

#include <QSqlIndex>
#include <QSqlRecord>
#include <QStringList>

class QSqlDriver;
class QSqlQuery;

// What QSqlTableModel needs to know about relations, read from the system
// tables through the driver's own queries. Names are matched as given and,
// failing that, in upper case (dialect 1 stores unquoted names that way).
class IbCatalog
{
public:
    explicit IbCatalog(const QSqlDriver *driver) : m_driver(driver) {}

    QStringList tables(int tableTypes) const;
    QSqlRecord record(const QString &tableName) const;
    QSqlIndex primaryIndex(const QString &tableName) const;

private:
    // Runs a query with the relation name bound; false when it failed.
    bool run(QSqlQuery &query, const QString &statement, const QString &relation) const;
    QString storedName(const QString &tableName) const;

    const QSqlDriver *m_driver;
};
