#include "app/TileLayout.h"

namespace TileLayout {

QList<QRect> tiles(const QRect &area, int count, bool vertical)
{
    QList<QRect> rects;
    if (count <= 0)
        return rects;
    const int total = vertical ? area.width() : area.height();
    const int share = total / count;
    for (int i = 0; i < count; ++i) {
        const int start = i * share;
        const int size = i == count - 1 ? total - start : share;
        rects << (vertical ? QRect(area.left() + start, area.top(), size, area.height())
                           : QRect(area.left(), area.top() + start, area.width(), size));
    }
    return rects;
}

} // namespace TileLayout
