#pragma once

#include <QByteArray>
#include <QRect>

class QWidget;

// Where the frame opens: where the user left it last time, or else on most
// of the screen, so that several child windows fit side by side.
namespace FramePlacement {

// Nine tenths of the screen's free area each way, centred in it.
QRect initial(const QRect &available);

// Restores the saved geometry (QWidget::saveGeometry) when it still fits a
// screen; otherwise the initial rectangle on the frame's screen.
void place(QWidget *frame, const QByteArray &saved);

} // namespace FramePlacement
