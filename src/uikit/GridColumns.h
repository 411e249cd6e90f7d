#pragma once

#include <QList>
#include <QString>

class QTableView;
class CatalogQuery;

// The columns a grid shows of its query: which fields, in which order, under
// which titles and widths. Fields not listed stay hidden.
struct GridColumn
{
    QString field;
    QString title;
    int width = -1; // -1: the toolkit's default
};

namespace GridColumns {

// Read-only grid: titles, resizable columns, column lines, whole-row
// selection that stays visible, no row indicator, values (NULL among them)
// shown as every grid shows them.
void setupReadOnly(QTableView *view);
// A list of objects sorts by the column title clicked, its model in place;
// a list whose order means something (parameters, columns) is left alone.
void sortOnClick(QTableView *view);

// Applies the columns to a view over the query; call after each open().
void apply(QTableView *view, CatalogQuery *query, const QList<GridColumn> &columns);

// Makes the first row whose field holds the value current, fetching rows
// until it is found; false when no row holds it.
bool selectRow(QTableView *view, CatalogQuery *query, const QString &field,
               const QString &value);

// The field of the view's current column, or empty.
QString currentField(const QTableView *view, const CatalogQuery *query);

} // namespace GridColumns
