#include "workbench/DataViewModel.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

bool DataViewModel::select()
{
    // Queries take the connection's policy when they are made; the catalogue
    // windows on the same connection keep theirs.
    QSqlDatabase db = database();
    const QSql::NumericalPrecisionPolicy before = db.numericalPrecisionPolicy();
    db.setNumericalPrecisionPolicy(QSql::HighPrecision);
    const bool selected = QSqlTableModel::select();
    db.setNumericalPrecisionPolicy(before);
    return selected;
}

bool DataViewModel::updateRowInTable(int row, const QSqlRecord &values)
{
    QSqlRecord record(values);
    emit beforeUpdate(row, record);
    return writeRow(QSqlDriver::UpdateStatement, row, record);
}

bool DataViewModel::deleteRowFromTable(int row)
{
    emit beforeDelete(row);
    return writeRow(QSqlDriver::DeleteStatement, row, QSqlRecord());
}

bool DataViewModel::writeRow(QSqlDriver::StatementType type, int row, const QSqlRecord &values)
{
    const QSqlDriver *driver = database().driver();
    const QSqlRecord key = primaryValues(row);
    const QString statement = driver->sqlStatement(type, tableName(), values, true);
    const QString where = driver->sqlStatement(QSqlDriver::WhereStatement, tableName(), key, true);
    if (statement.isEmpty() || where.isEmpty()) {
        setLastError(QSqlError(QStringLiteral("No fields to update"), QString(),
                               QSqlError::StatementError));
        return false;
    }
    QSqlQuery query(database());
    if (!query.prepare(statement + QLatin1Char(' ') + where)) {
        setLastError(query.lastError());
        return false;
    }
    for (int i = 0; i < values.count(); ++i) {
        if (values.isGenerated(i))
            query.addBindValue(values.value(i));
    }
    for (int i = 0; i < key.count(); ++i) {
        if (key.isGenerated(i) && !key.isNull(i))
            query.addBindValue(key.value(i));
    }
    if (!query.exec()) {
        setLastError(query.lastError());
        return false;
    }
    const int rows = query.numRowsAffected();
    if (rows == 1)
        return true;
    setLastError(QSqlError(wrongRowCount(type, rows), QString(), QSqlError::StatementError));
    return false;
}

QString DataViewModel::wrongRowCount(QSqlDriver::StatementType type, int rows) const
{
    const QString what = type == QSqlDriver::DeleteStatement ? QStringLiteral("deleted")
                                                             : QStringLiteral("saved");
    if (rows == 0) {
        return QStringLiteral("The row was not %1: no row of %2 has its key any more; it was "
                              "deleted or its key was changed meanwhile")
            .arg(what, tableName());
    }
    return QStringLiteral("The row was not %1: the statement reached %2 rows of %3 instead of one")
        .arg(what)
        .arg(rows)
        .arg(tableName());
}
