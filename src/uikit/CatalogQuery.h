#pragma once

#include <QHash>
#include <QSqlQueryModel>
#include <QStringList>

#include <functional>

// A catalogue query on the administered database (connection "IBB") as the
// windows use it: a text, named parameters, calculated fields appended after
// the query's own, text-blob fields shown by a placeholder in grids, and rows
// read by field name. Rows are fetched as the grid scrolls.
class CatalogQuery : public QSqlQueryModel
{
    Q_OBJECT

public:
    using Calculation = std::function<QVariant(const QSqlRecord &)>;

    explicit CatalogQuery(QObject *parent = nullptr);

    // The text is the lines joined by line feeds.
    void setLines(const QStringList &lines);
    void setText(const QString &text) { m_text = text; }
    QString text() const { return m_text; }

    void setParam(const QString &name, const QVariant &value);
    void addCalculatedField(const QString &name, Calculation calculation);
    // Shown as "(MEMO)" in grids; the text itself is read with value().
    void setMemoField(const QString &name);
    bool isMemoField(const QString &name) const { return m_memoFields.contains(name); }

    // Runs the query anew; throws DatabaseError with the server's text.
    void open();
    void close();
    bool isOpen() const { return m_open; }

    int fieldIndex(const QString &name) const;
    QString fieldName(int column) const;
    // A stored or calculated field of a row; NULL as a null QVariant.
    QVariant value(int row, const QString &name) const;
    // Fetches every row (for windows that filter or sort in the client).
    void fetchAll();
    // The row's stored fields, in the order the grid shows the rows.
    QSqlRecord rowRecord(int row) const;

    // Sorts the rows in place by a column, all of them fetched first; a
    // column below 0 gives back the query's order. The order outlives
    // open(). Row numbers everywhere (value(), data(), rowRecord()) are
    // the grid's.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    int baseColumnCount() const;
    QVariant calculated(int row, int field) const;
    // The query's row shown at row.
    int sourceRow(int row) const { return m_order.isEmpty() ? row : m_order.value(row, row); }
    QVariant stored(int sourceRow, int column) const;
    QSqlRecord sourceRecord(int sourceRow) const;
    QVariant sortKey(int sourceRow, int column) const;
    static bool before(const QVariant &left, const QVariant &right);
    void applySort();

    QString m_text;
    QList<std::pair<QString, QVariant>> m_params;
    QList<std::pair<QString, Calculation>> m_calculated;
    // A calculation reads its row's whole record: each value is made once
    // per opening, not at every paint and measure of its cell.
    mutable QHash<std::pair<int, int>, QVariant> m_calculatedValues;
    QStringList m_memoFields;
    // The query's row numbers in the grid's order; empty for the query's.
    QList<int> m_order;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_open = false;
};
