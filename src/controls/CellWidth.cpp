#include "controls/CellWidth.h"

#include "controls/AdvanceSum.h"
#include "controls/GridValueDelegate.h"

#include <QAbstractItemView>
#include <QFont>
#include <QSet>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A cell whose estimate comes this close to the widest is measured exactly:
// kerning may make it the wider one once laid out.
qreal slack(qreal widestText)
{
    return 2 + widestText / 32;
}

// Estimates this close are the same width: the grid's delegate lays plain
// text out to exactly its summed advances.
constexpr qreal kSameWidth = 1.0 / 64;

// A cell that draws an icon or a check box is not measured by its text.
bool showsMoreThanText(const QModelIndex &index)
{
    return index.data(Qt::DecorationRole).isValid() || index.data(Qt::CheckStateRole).isValid();
}

// How a cell is measured: through the delegate every time (it shows more
// than text), through the delegate once for each key (a text in a font of its
// own, a NULL, which shows a text of its own in italics, or a text the
// estimate cannot be sure of), or by an estimate first.
enum class Measure { Always, OncePerKey, Estimated };

struct Cell
{
    QModelIndex index;
    Measure measure;
    QString key;
    qreal width = 0;
    // The estimate is the laid-out width itself, not a sum of rounded advances.
    bool exact = false;
};

// The grid's own delegate draws without shaping: a plain text is exactly as
// wide as its summed advances, and two texts of one sum are one measure.
// Any other delegate's text is estimated by rounded advances, with a slack.
Cell estimated(const QModelIndex &index, const QString &text, bool unshaped,
               AdvanceSum &advances)
{
    if (!unshaped)
        return {index, Measure::Estimated, text, qreal(advances.width(text))};
    if (!AdvanceSum::isPlain(text))
        return {index, Measure::OncePerKey, text};
    const qreal width = advances.layoutWidth(text);
    const QString key = QChar(1) + QString::number(std::llround(width / kSameWidth));
    return {index, Measure::Estimated, key, width, true};
}

Cell classify(const QAbstractItemView *view, const QModelIndex &index, AdvanceSum &advances)
{
    const QAbstractItemDelegate *delegate = view->itemDelegateForIndex(index);
    const auto *styled = qobject_cast<const QStyledItemDelegate *>(delegate);
    if (!styled || showsMoreThanText(index))
        return {index, Measure::Always, QString()};
    const QVariant value = index.data(Qt::DisplayRole);
    const QString text = styled->displayText(value, view->locale());
    const QVariant font = index.data(Qt::FontRole);
    if (font.isValid() || GridValueDelegate::isNull(value)) {
        const QString fontKey = font.isValid() ? font.value<QFont>().key() : QString();
        return {index, Measure::OncePerKey, text + QChar(0) + fontKey};
    }
    const bool unshaped = qobject_cast<const GridValueDelegate *>(delegate) != nullptr;
    return estimated(index, text, unshaped, advances);
}

} // namespace

namespace CellWidth {

int widest(const QAbstractItemView *view, int column, int rows)
{
    AdvanceSum advances(view->font());
    std::vector<Cell> cells;
    cells.reserve(rows);
    qreal widestText = 0;
    bool anyRounded = false;
    for (int row = 0; row < rows; ++row) {
        const Cell cell = classify(view, view->model()->index(row, column, view->rootIndex()),
                                   advances);
        widestText = std::max(widestText, cell.width);
        anyRounded = anyRounded || (cell.measure == Measure::Estimated && !cell.exact);
        cells.push_back(cell);
    }
    // One rounded estimate among exact ones makes the widest uncertain.
    const qreal margin = anyRounded ? slack(widestText) : kSameWidth;
    int wanted = 0;
    QSet<QString> measured;
    for (const Cell &cell : cells) {
        if (cell.measure == Measure::Estimated && cell.width + margin < widestText)
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
