#pragma once

class QAbstractItemView;

// The width the widest of a column's first cells needs, as the view's
// delegate measures it. Measuring a cell through the delegate lays out its
// text and costs tens of microseconds; a grid's first screen has hundreds of
// cells. So the texts are first summed character by character in the view's
// font, and only the cells that may be the widest, and any cell that shows
// more than its text, go through the delegate.
namespace CellWidth {

int widest(const QAbstractItemView *view, int column, int rows);

} // namespace CellWidth
