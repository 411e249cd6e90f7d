#include "controls/CellWidth.h"

#include "controls/AdvanceSum.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>

#include <algorithm>
#include <vector>

namespace {

// A cell whose text is this close to the widest text is measured exactly: a
// cell of its own font (a NULL in italics, say) may still be the widest.
int slack(int widestText)
{
    return 8 + widestText / 8;
}

// A cell that draws an icon, a check box or its own font is not measured
// by its text alone.
bool showsMoreThanText(const QModelIndex &index)
{
    return index.data(Qt::DecorationRole).isValid() || index.data(Qt::CheckStateRole).isValid()
           || index.data(Qt::FontRole).isValid();
}

struct Estimate
{
    QModelIndex index;
    int width;
    bool exact;
};

} // namespace

namespace CellWidth {

int widest(const QAbstractItemView *view, int column, int rows)
{
    const QAbstractItemModel *model = view->model();
    AdvanceSum metrics(view->font());
    std::vector<Estimate> cells;
    cells.reserve(rows);
    int widestText = 0;
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = model->index(row, column, view->rootIndex());
        const auto *delegate =
            qobject_cast<const QStyledItemDelegate *>(view->itemDelegateForIndex(index));
        if (!delegate || showsMoreThanText(index)) {
            cells.push_back({index, 0, true});
            continue;
        }
        const QString text = delegate->displayText(index.data(Qt::DisplayRole), view->locale());
        const int width = metrics.width(text);
        widestText = std::max(widestText, width);
        cells.push_back({index, width, false});
    }
    int wanted = 0;
    for (const Estimate &cell : cells) {
        if (cell.exact || cell.width + slack(widestText) >= widestText)
            wanted = std::max(wanted, view->sizeHintForIndex(cell.index).width());
    }
    return wanted;
}

} // namespace CellWidth
