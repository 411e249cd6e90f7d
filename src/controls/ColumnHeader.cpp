#include "controls/ColumnHeader.h"

#include <QHeaderView>
#include <QTableView>
#include <QTreeView>

QHeaderView *columnHeader(QAbstractItemView *view)
{
    if (auto *table = qobject_cast<QTableView *>(view))
        return table->horizontalHeader();
    if (auto *tree = qobject_cast<QTreeView *>(view))
        return tree->header();
    return nullptr;
}
