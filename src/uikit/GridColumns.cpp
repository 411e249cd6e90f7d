#include "uikit/GridColumns.h"

#include "controls/ColumnResizeBatch.h"
#include "controls/GridValueDelegate.h"
#include "ibdb/PlainName.h"
#include "uikit/CatalogQuery.h"
#include "uikit/GridCopy.h"

#include <QHeaderView>
#include <QTableView>

namespace GridColumns {

void setupReadOnly(QTableView *view)
{
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->hide();
    view->setShowGrid(true);
    view->horizontalHeader()->setSectionsMovable(false);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view->horizontalHeader()->setHighlightSections(false);
    view->setItemDelegate(new GridValueDelegate(view));
    GridCopy::install(view);
}

void sortOnClick(QTableView *view)
{
    // No column yet: the rows come in the catalogue's own order at first.
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
}

void apply(QTableView *view, CatalogQuery *query, const QList<GridColumn> &columns)
{
    const ColumnResizeBatch batch(view);
    QHeaderView *header = view->horizontalHeader();
    for (int c = 0; c < query->columnCount(); ++c)
        view->setColumnHidden(c, true);
    for (int position = 0; position < columns.size(); ++position) {
        const GridColumn &column = columns[position];
        const int logical = query->fieldIndex(column.field);
        if (logical < 0)
            continue;
        view->setColumnHidden(logical, false);
        query->setHeaderData(logical, Qt::Horizontal, column.title);
        header->moveSection(header->visualIndex(logical), position);
        if (column.width >= 0)
            view->setColumnWidth(logical, column.width);
    }
}

bool selectRow(QTableView *view, CatalogQuery *query, const QString &field,
               const QString &value)
{
    const int column = query->fieldIndex(field);
    if (column < 0)
        return false;
    for (int row = 0;; ++row) {
        if (row >= query->rowCount()) {
            if (!query->canFetchMore())
                return false;
            query->fetchMore();
            if (row >= query->rowCount())
                return false;
        }
        if (PlainName(query->value(row, field).toString()) == value) {
            const QModelIndex shown = query->index(row, view->horizontalHeader()->logicalIndex(0));
            view->setCurrentIndex(shown.isValid() ? shown : query->index(row, column));
            view->scrollTo(view->currentIndex());
            return true;
        }
    }
}

QString currentField(const QTableView *view, const CatalogQuery *query)
{
    const QModelIndex current = view->currentIndex();
    return current.isValid() ? query->fieldName(current.column()) : QString();
}

} // namespace GridColumns
