#include "app/FramePlacement.h"

#include <QScreen>
#include <QWidget>

namespace FramePlacement {

QRect initial(const QRect &available)
{
    const QSize size(available.width() * 9 / 10, available.height() * 9 / 10);
    QRect rect(QPoint(), size);
    rect.moveCenter(available.center());
    return rect;
}

void place(QWidget *frame, const QByteArray &saved)
{
    if (!saved.isEmpty() && frame->restoreGeometry(saved))
        return;
    const QScreen *screen = frame->screen();
    if (screen)
        frame->setGeometry(initial(screen->availableGeometry()));
}

} // namespace FramePlacement
