#include "support/TestWidgets.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>

namespace TestWidgets {

QAction *menuItem(const QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

QStringList columnShown(const QAbstractItemModel *model, int column)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

QStringList rowsShown(const QTableView *grid, const QString &separator)
{
    QList<int> columns;
    const QHeaderView *header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        if (!header->isSectionHidden(header->logicalIndex(visual)))
            columns << header->logicalIndex(visual);
    }
    QStringList rows;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        QStringList cells;
        for (int column : columns)
            cells << grid->model()->index(row, column).data().toString();
        rows << cells.join(separator);
    }
    return rows;
}

} // namespace TestWidgets
