#pragma once

#include "schema/PrivilegeMatrix.h"

#include <QAbstractTableModel>

// The privileges matrix as a grid: one row per object (or grantee, or
// column), one column per privilege. A cell shows what the matrix holds and
// steps on to the next state when the user toggles it; only the privileges
// the row's object has are enabled, and a changed cell is set in bold.
class PrivilegeGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Row
    {
        PrivilegeTarget target;
        PrivilegeGrantee grantee;
        // What the two leading columns show.
        QString kind;
        QString name;
    };
    static constexpr int kLeadingColumns = 2;

    PrivilegeGridModel(PrivilegeMatrix &matrix, const QString &kindTitle,
                       const QString &nameTitle, QObject *parent = nullptr);

    static QString stateText(PrivilegeMatrix::State state);

    void setRows(QList<Row> rows);
    const QList<Row> &rows() const { return m_rows; }
    const Row *row(int at) const { return at >= 0 && at < m_rows.size() ? &m_rows[at] : nullptr; }
    // The row of that name (its leading columns), -1 when none.
    int find(const QString &kind, const QString &name) const;
    static PrivilegeTarget::Privilege privilegeAt(int column);
    // Steps the cell on; false for a cell that takes no privilege.
    bool toggle(const QModelIndex &index);
    // Every cell again, after the matrix changed under the grid.
    void refreshCells();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    PrivilegeMatrix &m_matrix;
    QString m_kindTitle;
    QString m_nameTitle;
    QList<Row> m_rows;
};
