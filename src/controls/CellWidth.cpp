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

// How a cell is measured: through the delegate every time (it shows more
// than text), through the delegate once for each text in each font (a font of
// its own, or a NULL, which shows a text of its own in italics), or by its
// summed advances first.
enum class Measure { Always, OncePerKey, Estimated };

struct Cell
{
    QModelIndex index;
    Measure measure;
    QString key;
    int width = 0;
};

Cell classify(const QAbstractItemView *view, const QModelIndex &index, AdvanceSum &advances)
{
    const auto *delegate =
        qobject_cast<const QStyledItemDelegate *>(view->itemDelegateForIndex(index));
    if (!delegate || showsMoreThanText(index))
        return {index, Measure::Always, QString()};
    const QVariant value = index.data(Qt::DisplayRole);
    const QString text = delegate->displayText(value, view->locale());
    const QVariant font = index.data(Qt::FontRole);
    if (font.isValid() || GridValueDelegate::isNull(value)) {
        const QString fontKey = font.isValid() ? font.value<QFont>().key() : QString();
        return {index, Measure::OncePerKey, text + QChar(0) + fontKey};
    }
    return {index, Measure::Estimated, text, advances.width(text)};
}

} // namespace

namespace CellWidth {

int widest(const QAbstractItemView *view, int column, int rows)
{
    AdvanceSum advances(view->font());
    std::vector<Cell> cells;
    cells.reserve(rows);
    int widestText = 0;
    for (int row = 0; row < rows; ++row) {
        cells.push_back(classify(view, view->model()->index(row, column, view->rootIndex()),
                                 advances));
        widestText = std::max(widestText, cells.back().width);
    }
    int wanted = 0;
    QSet<QString> measured;
    for (const Cell &cell : cells) {
        if (cell.measure == Measure::Estimated && cell.width + slack(widestText) < widestText)
            continue;
        if (cell.measure != Measure::Always) {
            if (measured.contains(cell.key))
                continue;
            measured.insert(cell.key);
        }
        wanted = std::max(wanted, view->sizeHintForIndex(cell.index).width());
    }
    return wanted;
}

} // namespace CellWidth
