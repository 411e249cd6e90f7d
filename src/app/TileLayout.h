#pragma once

#include <QList>
#include <QRect>

// Where tiled child windows go: vertical tiling puts them side by side in
// columns, horizontal tiling stacks them in rows, sharing the area evenly
// (the last one takes what the division leaves over).
namespace TileLayout {

QList<QRect> tiles(const QRect &area, int count, bool vertical);

} // namespace TileLayout
