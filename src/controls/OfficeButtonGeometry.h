#pragma once

#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// Where the flat tool button puts its picture, caption, bevel and triangle mark. Kept apart
// from the widget so that the arithmetic (every halving drops the remainder) can be checked
// pixel by pixel.
namespace OfficeButtonGeometry {

enum ButtonLayout { blBitmapTop, blBitmapBottom, blBitmapLeft, blBitmapRight };
enum CaptionAlignment { taLeftJustify, taRightJustify, taCenter };

// The room between picture and caption when the caption counts.
constexpr int CaptionGap = 2;
// Extra width reserved beside the picture for the drop-down triangle.
constexpr int MarkRoom = 10;

struct FaceInput
{
    QSize button;
    QSize picture;      // empty when there is no picture
    QSize caption;      // measured caption; empty when the caption does not count
    bool captionCounts = false;
    bool markShown = false; // popup-mark option on and a drop-down menu set
    ButtonLayout layout = blBitmapTop;
    CaptionAlignment alignment = taCenter;
    bool wordWrap = false;
};

struct FaceLayout
{
    QPoint picture;
    QRect caption;
};

FaceLayout placeFace(const FaceInput &in);

// The caption's size, measured in a rectangle of the button's width less 4.
QSize measureCaption(const QFontMetrics &metrics, const QString &caption, int buttonWidth,
                     CaptionAlignment alignment, bool wordWrap);

// Qt text flags for drawing and measuring the caption.
int captionFlags(CaptionAlignment alignment, bool wordWrap);

// The caption as drawn in a rectangle of the given width: a single-line caption that does not
// fit ends in an ellipsis.
QString fittedCaption(const QFontMetrics &metrics, const QString &caption, int width,
                      bool wordWrap);

// Origin of the triangle mark; a pressed face puts it one pixel further right and down.
QPoint triangleMarkOrigin(const FaceLayout &face, QSize picture, int captionHeight,
                          bool pressedLook);

// The 16 pixels of the triangle mark standing at origin.
QList<QPoint> triangleMarkPixels(QPoint origin);

// The one-pixel bevel as two strokes: the first runs up the left edge from the bottom-left
// corner and along the top, the second down the right edge and back along the bottom.
struct BevelStrokes
{
    QList<QPoint> first;
    QList<QPoint> second;
};
BevelStrokes bevelStrokes(QSize button);

// The 8 by 8 checkerboard filling the face of a button held down.
QImage downPattern(QRgb face, QRgb highlight);

// The caption as a hint: accelerator ampersands removed, "&&" kept as one "&".
QString withoutAccelerators(const QString &caption);

} // namespace OfficeButtonGeometry
