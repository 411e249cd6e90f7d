#include "uikit/GridCopy.h"

#include "controls/GridRoles.h"
#include "uikit/Command.h"
#include "uikit/CsvWriter.h"
#include "uikit/InsertWriter.h"
#include "uikit/ValueText.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSet>
#include <QSqlField>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTableView>

#include <algorithm>

namespace {

QString written(const std::function<void(QIODevice *)> &write)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    write(&buffer);
    return QString::fromUtf8(bytes);
}

QVariantList rowValues(const QTableView *view, int row, const QList<int> &which,
                       const QSet<QPair<int, int>> *selected)
{
    QVariantList values;
    values.reserve(which.size());
    for (int column : which) {
        const bool taken = !selected || selected->contains({row, column});
        values << (taken ? GridCopy::cellValue(view, row, column) : QVariant());
    }
    return values;
}

QSet<QPair<int, int>> selectedCells(const QTableView *view)
{
    QSet<QPair<int, int>> cells;
    for (const QModelIndex &index : view->selectionModel()->selectedIndexes())
        cells.insert({index.row(), index.column()});
    const QModelIndex current = view->currentIndex();
    if (cells.isEmpty() && current.isValid())
        cells.insert({current.row(), current.column()});
    return cells;
}

} // namespace

namespace GridCopy {

QList<int> shownColumns(const QTableView *view)
{
    QList<int> columns;
    const QHeaderView *header = view->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!view->isColumnHidden(logical))
            columns << logical;
    }
    return columns;
}

QList<int> selectedColumns(const QTableView *view)
{
    QSet<int> picked;
    for (const auto &cell : selectedCells(view))
        picked.insert(cell.second);
    QList<int> columns = shownColumns(view);
    columns.removeIf([&](int column) { return !picked.contains(column); });
    return columns;
}

QList<int> selectedRows(const QTableView *view)
{
    QSet<int> picked;
    for (const auto &cell : selectedCells(view))
        picked.insert(cell.first);
    QList<int> rows(picked.cbegin(), picked.cend());
    std::sort(rows.begin(), rows.end());
    return rows;
}

RowWriter::Columns columns(const QTableView *view, const QList<int> &which)
{
    const QAbstractItemModel *model = view->model();
    const auto *query = qobject_cast<const QSqlQueryModel *>(model);
    const QSqlRecord record = query ? query->record() : QSqlRecord();
    RowWriter::Columns columns;
    for (int column : which) {
        const int type = column < record.count() ? record.field(column).metaType().id()
                                                 : QMetaType::QString;
        columns.append({model->headerData(column, Qt::Horizontal).toString(),
                        QMetaType::Type(type)});
    }
    return columns;
}

QVariant cellValue(const QTableView *view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    QVariant value = index.data(GridRoles::WholeValue);
    if (!value.isValid())
        value = index.data(Qt::EditRole);
    return ValueText::whole(value);
}

QString selectedText(const QTableView *view)
{
    const QList<int> which = selectedColumns(view);
    const QSet<QPair<int, int>> cells = selectedCells(view);
    return written([&](QIODevice *device) {
        CsvWriter writer(device, QLatin1Char('\t'));
        writer.begin(columns(view, which));
        for (int row : selectedRows(view))
            writer.row(rowValues(view, row, which, &cells));
        writer.end();
    });
}

QString selectedInserts(const QTableView *view, const QString &table, int dialect)
{
    const QList<int> which = shownColumns(view);
    return written([&](QIODevice *device) {
        InsertWriter writer(device, table, dialect);
        writer.begin(columns(view, which));
        for (int row : selectedRows(view))
            writer.row(rowValues(view, row, which, nullptr));
        writer.end();
    });
}

QAction *addAction(QTableView *view, const QString &text, std::function<void()> handler,
                   const QKeySequence &shortcut)
{
    auto *action = new QAction(text, view);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(action, &QAction::triggered, view, Command::guard(std::move(handler)));
    view->addAction(action);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    return action;
}

void install(QTableView *view)
{
    addAction(view, QStringLiteral("&Copy"), [view] {
        QApplication::clipboard()->setText(selectedText(view));
    }, QKeySequence::Copy);
}

} // namespace GridCopy
