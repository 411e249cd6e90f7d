#pragma once

#include <QStringList>

class QAbstractItemModel;
class QAction;
class QMenu;
class QTableView;

// What a window shows, read the way a user reads it.
namespace TestWidgets {

// The menu's item of that text ("&" included), or nullptr.
QAction *menuItem(const QMenu *menu, const QString &text);

// The texts of one column, row by row.
QStringList columnShown(const QAbstractItemModel *model, int column);

// Each row's cells in the columns the grid shows, in their on-screen order.
QStringList rowsShown(const QTableView *grid, const QString &separator);

} // namespace TestWidgets
