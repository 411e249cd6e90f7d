#include "workbench/DataViewModel.h"

#include "controls/GridValueDelegate.h"
#include "core/AppError.h"
#include "ibdb/IbBlobPreview.h"
#include "ibdb/SqlErrorText.h"
#include "uikit/Command.h"
#include "uikit/SqlGridRoles.h"
#include "uikit/TableNavigator.h"
#include "workbench/CellPreview.h"
#include "workbench/TypedValueCheck.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

// A pseudo-column of every table: named as such, never quoted (quoted it
// would name a column of that name).
const QString kVersion = QStringLiteral("RDB$RECORD_VERSION");

QString notWritten(QSqlDriver::StatementType type)
{
    return type == QSqlDriver::DeleteStatement ? QStringLiteral("deleted")
                                               : QStringLiteral("saved");
}

void bindKeyValues(QSqlQuery &query, const QSqlRecord &key)
{
    for (int i = 0; i < key.count(); ++i) {
        if (key.isGenerated(i) && !key.isNull(i))
            query.addBindValue(key.value(i));
    }
}

} // namespace

// Only a table with a primary key is changed here (see TDataForm), and only
// a table has record versions: a view may have none.
void DataViewModel::setTable(const QString &tableName)
{
    m_sortColumn = -1;
    QSqlTableModel::setTable(tableName);
    m_readsVersions = !primaryKey().isEmpty();
    m_declared = database().record(this->tableName());
}

bool DataViewModel::select()
{
    // Queries take the connection's policy when they are made; the catalogue
    // windows on the same connection keep theirs.
    QSqlDatabase db = database();
    const QSql::NumericalPrecisionPolicy before = db.numericalPrecisionPolicy();
    db.setNumericalPrecisionPolicy(QSql::HighPrecision);
    m_whole = {};
    const bool selected = QSqlTableModel::select();
    db.setNumericalPrecisionPolicy(before);
    return selected;
}

// True once the rows were read with their versions, as the last column.
bool DataViewModel::versioned() const
{
    const QSqlRecord fields = record();
    return m_readsVersions && !fields.isEmpty() && fields.indexOf(kVersion) == fields.count() - 1;
}

int DataViewModel::columnCount(const QModelIndex &parent) const
{
    const int all = QSqlTableModel::columnCount(parent);
    return versioned() && !parent.isValid() ? all - 1 : all;
}

QVariant DataViewModel::data(const QModelIndex &index, int role) const
{
    if (SqlGridRoles::answers(role))
        return SqlGridRoles::data(*this, index, role);
    if (role == GridValueDelegate::WholeValueRole) {
        const QVariant value = QSqlTableModel::data(index, Qt::EditRole);
        return CellPreview::preview(value) ? wholeValue(index, value) : value;
    }
    const QVariant value = QSqlTableModel::data(index, role);
    return role == Qt::DisplayRole ? CellPreview::shown(value) : value;
}

// Through the fetching transaction while it lives, else afresh through the
// row's key and the record version the grid read: that version's blob is the
// one the preview showed, byte for byte, wherever it is read from. A row
// another user changed since has no such version any more, and its value is
// not read rather than read as another.
QVariant DataViewModel::wholeValue(const QModelIndex &index, const QVariant &preview) const
{
    const quint64 id = CellPreview::preview(preview)->id();
    if (m_whole.row == index.row() && m_whole.column == index.column() && m_whole.id == id)
        return m_whole.value;
    QVariant value;
    try {
        value = CellPreview::whole(preview);
        if (!value.isValid())
            value = readThroughKey(index.row(), index.column());
    } catch (const AppError &error) {
        Command::tellOnce(error.message());
        return {};
    }
    m_whole = {index.row(), index.column(), id, value};
    return value;
}

QVariant DataViewModel::readThroughKey(int row, int column) const
{
    const QSqlRecord key = primaryValues(row);
    const QString where = whereClause(key);
    if (!versioned() || where.isEmpty()) {
        throw DatabaseError(QStringLiteral("The whole value is no longer at hand: %1 has no "
                                           "primary key to read it again by")
                                .arg(tableName()));
    }
    const QSqlDriver *driver = database().driver();
    QSqlQuery query(database());
    query.setForwardOnly(true);
    const QString statement =
        QStringLiteral("SELECT %1 FROM %2 %3")
            .arg(driver->escapeIdentifier(record().fieldName(column), QSqlDriver::FieldName),
                 driver->escapeIdentifier(tableName(), QSqlDriver::TableName), where);
    if (!query.prepare(statement))
        throw DatabaseError(SqlErrorText(query.lastError()));
    bindKeyValues(query, key);
    query.addBindValue(record(row).value(kVersion));
    if (!query.exec())
        throw DatabaseError(SqlErrorText(query.lastError()));
    if (!query.next()) {
        throw DatabaseError(QStringLiteral("The whole value was not read: another user changed "
                                           "or deleted the row since it was read; refresh the "
                                           "data view to see it"));
    }
    return query.value(0);
}

QString DataViewModel::selectStatement() const
{
    if (!m_readsVersions)
        return QSqlTableModel::selectStatement();
    return statementOf(true);
}

void DataViewModel::setSort(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
    QSqlTableModel::setSort(column, order);
}

QString DataViewModel::orderByClause() const
{
    const QSqlRecord fields = record();
    if (m_sortColumn < 0 || m_sortColumn >= fields.count())
        return {};
    const QString name = database().driver()->escapeIdentifier(fields.fieldName(m_sortColumn),
                                                                QSqlDriver::FieldName);
    return QStringLiteral("ORDER BY %1 %2")
        .arg(name, m_sortOrder == Qt::AscendingOrder ? QStringLiteral("ASC")
                                                      : QStringLiteral("DESC"));
}

QString DataViewModel::exportStatement() const
{
    return statementOf(false);
}

// The rows as the grid has them, with or without the record version.
QString DataViewModel::statementOf(bool withVersion) const
{
    const QSqlDriver *driver = database().driver();
    QStringList names;
    const QSqlRecord fields = record();
    for (int i = 0; i < fields.count(); ++i) {
        if (fields.fieldName(i) != kVersion)
            names << driver->escapeIdentifier(fields.fieldName(i), QSqlDriver::FieldName);
    }
    if (withVersion)
        names << kVersion;
    QString statement = QStringLiteral("SELECT %1 FROM %2")
                            .arg(names.join(QStringLiteral(", ")),
                                 driver->escapeIdentifier(tableName(), QSqlDriver::TableName));
    if (!filter().isEmpty())
        statement += QStringLiteral(" WHERE ") + filter();
    const QString order = orderByClause();
    if (!order.isEmpty())
        statement += QLatin1Char(' ') + order;
    return statement;
}

bool DataViewModel::updateRowInTable(int row, const QSqlRecord &values)
{
    QSqlRecord record(values);
    emit beforeUpdate(row, record);
    return typedExactly(record) && writeRow(QSqlDriver::UpdateStatement, row, record);
}

bool DataViewModel::insertRowIntoTable(const QSqlRecord &values)
{
    return typedExactly(values) && QSqlTableModel::insertRowIntoTable(values);
}

bool DataViewModel::typedExactly(const QSqlRecord &values)
{
    const QString why = TypedValueCheck::refusal(database(), tableName(), m_declared, values);
    if (why.isEmpty())
        return true;
    setLastError(QSqlError(QStringLiteral("The row was not saved: ") + why, QString(),
                           QSqlError::StatementError));
    return false;
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
    // The version the grid read: a changed row keeps it in its pending
    // record, which outlives the rows of a lost connection.
    const QVariant version = versioned() ? record(row).value(kVersion) : QVariant();
    const QString statement = driver->sqlStatement(type, tableName(), values, true);
    const QString where = whereClause(key);
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
        if (values.isGenerated(i) && values.fieldName(i) != kVersion)
            query.addBindValue(values.value(i));
    }
    bindKeyValues(query, key);
    if (versioned())
        query.addBindValue(version);
    if (!query.exec()) {
        setLastError(query.lastError());
        return false;
    }
    const int rows = query.numRowsAffected();
    if (rows == 1)
        return true;
    setLastError(QSqlError(wrongRowCount(type, rows, key, version), QString(),
                           QSqlError::StatementError,
                           rows == 0 ? TableNavigator::staleRowCode() : QString()));
    return false;
}

QString DataViewModel::whereClause(const QSqlRecord &key) const
{
    const QString where =
        database().driver()->sqlStatement(QSqlDriver::WhereStatement, tableName(), key, true);
    if (where.isEmpty() || !versioned())
        return where;
    return where + QStringLiteral(" AND ") + kVersion + QStringLiteral(" = ?");
}

QString DataViewModel::wrongRowCount(QSqlDriver::StatementType type, int rows,
                                     const QSqlRecord &key, const QVariant &version) const
{
    if (rows != 0) {
        return QStringLiteral("The row was not %1: the statement reached %2 rows of %3 instead "
                              "of one")
            .arg(notWritten(type))
            .arg(rows)
            .arg(tableName());
    }
    if (version.isNull()) {
        return QStringLiteral("The row was not %1: no row of %2 has its key any more; it was "
                              "deleted or its key was changed meanwhile")
            .arg(notWritten(type), tableName());
    }
    // The key alone tells whether the row is still there under another
    // version; either way what the user saw is no longer what is stored.
    if (rowStillThere(key)) {
        return QStringLiteral("The row was not %1: another user changed it since it was read")
            .arg(notWritten(type));
    }
    return QStringLiteral("The row was not %1: another user deleted it or changed its key since "
                          "it was read")
        .arg(notWritten(type));
}

bool DataViewModel::rowStillThere(const QSqlRecord &key) const
{
    const QSqlDriver *driver = database().driver();
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT 1 FROM %1 %2")
                           .arg(driver->escapeIdentifier(tableName(), QSqlDriver::TableName),
                                driver->sqlStatement(QSqlDriver::WhereStatement, tableName(),
                                                     key, true))))
        return false;
    bindKeyValues(query, key);
    return query.exec() && query.next();
}
