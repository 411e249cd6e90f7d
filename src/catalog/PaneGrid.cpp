#include "catalog/PaneGrid.h"

#include "controls/ColumnResizeBatch.h"
#include "uikit/GridColumns.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

PaneGrid::PaneGrid(const QStringList &titles, const QString &name, QWidget *parent)
    : QWidget(parent), m_titles(titles)
{
    setAccessibleName(name);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QTableView *PaneGrid::grid()
{
    if (m_grid)
        return m_grid;
    m_grid = new QTableView(this);
    auto *model = new QStandardItemModel(0, int(m_titles.size()), m_grid);
    model->setHorizontalHeaderLabels(m_titles);
    m_grid->setModel(model);
    GridColumns::setupReadOnly(m_grid);
    // A pane's rows are all at hand, so its titles sort them in place.
    m_grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_grid->setSortingEnabled(true);
    m_grid->setAccessibleName(accessibleName());
    m_grid->setToolTip(toolTip());
    layout()->addWidget(m_grid);
    // Made while its pane is being shown: the layout alone would show it
    // only after the first paint.
    if (isVisible())
        m_grid->show();
    connect(m_grid, &QAbstractItemView::activated, this, &PaneGrid::activated);
    fill();
    return m_grid;
}

void PaneGrid::setRows(const QList<QStringList> &rows)
{
    m_rows = rows;
    if (m_grid)
        fill();
}

void PaneGrid::showEvent(QShowEvent *event)
{
    grid();
    QWidget::showEvent(event);
}

void PaneGrid::fill()
{
    const ColumnResizeBatch batch(m_grid);
    auto *model = static_cast<QStandardItemModel *>(m_grid->model());
    model->setRowCount(0);
    for (const QStringList &cells : std::as_const(m_rows)) {
        QList<QStandardItem *> items;
        for (const QString &cell : cells)
            items << new QStandardItem(cell);
        model->appendRow(items);
    }
    m_grid->resizeColumnsToContents();
}
