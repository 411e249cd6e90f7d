#include "controls/CellWidth.h"

#include "controls/AdvanceSum.h"
#include "controls/GridValueDelegate.h"

#include <QAbstractItemView>
#include <QFont>
#include <QSet>
#include <QStyledItemDelegate>

#include <algorithm>
#include <vector>

namespace {

// A cell whose summed advances come this close to the widest is measured
// exactly: kerning may make it the wider one once laid out.
int slack(int widestText)
{
    return 2 + widestText / 32;
}

// A cell that draws an icon or a check box is not measured by its text.
bool showsMoreThanText(const QModelIndex &index)
{
    return index.data(Qt::DecorationRole).isValid() || index.data(Qt::CheckStateRole).isValid();
}

// A cell in a font of its own (a NULL in italics, say) is always measured
// exactly, once for each text in each font; the others by their text first.
struct Estimate
{
    QModelIndex index;
    QString key;
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
            cells.push_back({index, QString(), 0, true});
            continue;
        }
        const QVariant value = index.data(Qt::DisplayRole);
        const QString text = delegate->displayText(value, view->locale());
        const QVariant font = index.data(Qt::FontRole);
        if (font.isValid() || GridValueDelegate::isNull(value)) {
            // A NULL shows a text of its own in italics, not its empty display text.
            const QString fontKey = font.isValid() ? font.value<QFont>().key() : QString();
            cells.push_back({index, text + QChar(0) + fontKey, 0, true});
            continue;
        }
        const int width = metrics.width(text);
        widestText = std::max(widestText, width);
        cells.push_back({index, text, width, false});
    }
    int wanted = 0;
    QSet<QString> measured;
    for (const Estimate &cell : cells) {
        if (!cell.exact && cell.width + slack(widestText) < widestText)
            continue;
        if (!cell.key.isEmpty() || !cell.exact) {
            if (measured.contains(cell.key))
                continue;
            measured.insert(cell.key);
        }
        wanted = std::max(wanted, view->sizeHintForIndex(cell.index).width());
    }
    return wanted;
}

} // namespace CellWidth
