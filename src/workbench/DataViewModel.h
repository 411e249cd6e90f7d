#pragma once

#include <QSqlDriver>
#include <QSqlRecord>
#include <QSqlTableModel>

// The data view's table: rows read exactly (scaled numbers and temporal
// values as the server's own text, see IbValueReader), and every UPDATE or
// DELETE required to hit exactly the one row it names, as the grid read it.
//
// Rows of a table with a primary key are read with their record version
// (RDB$RECORD_VERSION, the transaction that wrote the row as read), kept as
// a last column that no view sees. A change names the row by its key and that
// version, so it is refused when another user changed or deleted the row
// since it was read: nothing is written, and the model's pending change stays
// as it was for the user to see, cancel or post again.
//
// A long blob is read as a preview (see IbBlobPreview), which the edit role
// gives and a post leaves alone: the grid shows its start and size, and only
// the editor, asking for GridValueDelegate::WholeValueRole, has it read
// whole, one cell at a time.
class DataViewModel : public QSqlTableModel
{
    Q_OBJECT

public:
    using QSqlTableModel::QSqlTableModel;

    void setTable(const QString &tableName) override;
    bool select() override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The long value read whole for an editor is let go of once it closes.
    void forgetWholeValue() { m_whole = {}; }
    // The rows the grid shows, in its order, without the record version:
    // what an export reads again.
    QString exportStatement() const;
    void setSort(int column, Qt::SortOrder order) override;

protected:
    QString selectStatement() const override;
    // The column's name spelt as the dialect needs it, unqualified: a table
    // name that needs quotes would need them there too.
    QString orderByClause() const override;
    bool updateRowInTable(int row, const QSqlRecord &values) override;
    bool insertRowIntoTable(const QSqlRecord &values) override;
    bool deleteRowFromTable(int row) override;

private:
    bool versioned() const;
    QString statementOf(bool withVersion) const;
    // False, with the reason as the last error, when a typed value would
    // not be stored as typed (see TypedValueCheck).
    bool typedExactly(const QSqlRecord &values);
    bool writeRow(QSqlDriver::StatementType type, int row, const QSqlRecord &values);
    QString whereClause(const QSqlRecord &key) const;
    QString wrongRowCount(QSqlDriver::StatementType type, int rows, const QSqlRecord &key,
                          const QVariant &version) const;
    bool rowStillThere(const QSqlRecord &key) const;
    QVariant wholeValue(const QModelIndex &index, const QVariant &preview) const;
    QVariant readThroughKey(int row, int column) const;

    // The one long value read whole last, for the editor asks for it more
    // than once: the cell and the blob id it was read for.
    struct WholeCell
    {
        int row = -1;
        int column = -1;
        quint64 id = 0;
        QVariant value;
    };

    bool m_readsVersions = false;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    // The columns as declared (a result's record knows only what the
    // client was sent).
    QSqlRecord m_declared;
    mutable WholeCell m_whole;
};
