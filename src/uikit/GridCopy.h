#pragma once

#include "uikit/RowWriter.h"

#include <QList>
#include <QString>

#include <functional>

class QAction;
class QKeySequence;
class QTableView;

// What every grid copies: the selected cells (a rectangle, whole rows, whole
// columns) as tab-separated lines under a header line of the column titles,
// or the selected rows as INSERT statements. Long values go whole.
namespace GridCopy {

// The grid's shown columns in their on-screen order.
QList<int> shownColumns(const QTableView *view);
// The columns of the selection (every shown one for whole rows).
QList<int> selectedColumns(const QTableView *view);
// The rows of the selection, or the current cell's row.
QList<int> selectedRows(const QTableView *view);
// Titles and types of the columns as the grid's model knows them.
RowWriter::Columns columns(const QTableView *view, const QList<int> &which);
// A cell's value whole, for a file or the clipboard.
QVariant cellValue(const QTableView *view, int row, int column);

// The selection as tab-separated text with a header line.
QString selectedText(const QTableView *view);
// An INSERT INTO table per selected row, every shown column.
QString selectedInserts(const QTableView *view, const QString &table, int dialect);

// A command of the grid's context menu, with a shortcut that works while
// the grid has the focus; its handler runs as a user command.
QAction *addAction(QTableView *view, const QString &text, std::function<void()> handler,
                   const QKeySequence &shortcut);
// Gives the grid the Copy command (Ctrl+C) and its context menu.
void install(QTableView *view);

} // namespace GridCopy
