#pragma once

#include <QModelIndex>
#include <QStringList>

#include <optional>

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

// The cell's text as its delegate shows it; empty for NULL.
QString cellShown(const QTableView *grid, const QModelIndex &index);

// Opens the cell's editor as a double click does, types (or not), presses
// Enter and clicks the cell `leaveTo`, as a user leaves an edited row.
void visitCell(QTableView *grid, const QModelIndex &index, const std::optional<QString> &typed,
               const QModelIndex &leaveTo);

} // namespace TestWidgets
