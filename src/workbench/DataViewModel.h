#pragma once

#include <QSqlDriver>
#include <QSqlTableModel>

// The data view's table: rows read exactly (scaled numbers and temporal
// values as the server's own text, see IbValueReader), and every UPDATE or
// DELETE required to hit exactly the one row it names. A change that matches
// no row (changed or deleted meanwhile) fails with a plain error and leaves
// the model's pending change as it was.
class DataViewModel : public QSqlTableModel
{
    Q_OBJECT

public:
    using QSqlTableModel::QSqlTableModel;

    bool select() override;

protected:
    bool updateRowInTable(int row, const QSqlRecord &values) override;
    bool deleteRowFromTable(int row) override;

private:
    bool writeRow(QSqlDriver::StatementType type, int row, const QSqlRecord &values);
    QString wrongRowCount(QSqlDriver::StatementType type, int rows) const;
};
