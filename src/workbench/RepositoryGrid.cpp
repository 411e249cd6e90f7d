#include "workbench/RepositoryGrid.h"

#include "uikit/TableNavigator.h"
#include "workbench/RepositoryStore.h"

#include <QTableView>

void RepositoryGrid::open(RepositoryStore &store, TableNavigator &source, QTableView &grid)
{
    store.attach();
    source.open();
    const int name = store.fieldIndex(RepositoryStore::nameField());
    for (int column = 0; column < store.columnCount(); ++column)
        grid.setColumnHidden(column, column != name);
    store.setHeaderData(name, Qt::Horizontal, QStringLiteral("Object Name"));
}
