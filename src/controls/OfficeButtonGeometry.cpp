#include "controls/OfficeButtonGeometry.h"

#include <algorithm>

namespace OfficeButtonGeometry {

namespace {

// Distance of picture and caption from the button's edge when aligned left or right.
constexpr int EdgeMargin = 3;

int alignedLeft(CaptionAlignment alignment, int buttonWidth, int width)
{
    switch (alignment) {
    case taLeftJustify:
        return EdgeMargin;
    case taRightJustify:
        return buttonWidth - width - EdgeMargin;
    case taCenter:
        break;
    }
    return (buttonWidth - width) / 2;
}

FaceLayout placeWithoutPicture(const FaceInput &in)
{
    const int width = in.button.width();
    int tw = in.caption.width();
    int rectWidth = tw;
    if (in.markShown) {
        rectWidth = std::min(tw, width - 14);
        tw += MarkRoom;
    }
    const int top = (in.button.height() - in.caption.height()) / 2;
    const int left = alignedLeft(in.alignment, width, tw);
    return {QPoint(), QRect(left, top, rectWidth, in.caption.height())};
}

FaceLayout placeStacked(const FaceInput &in, int pw, int gap)
{
    const int width = in.button.width();
    const int ph = in.picture.height();
    const int tw = in.caption.width();
    const int th = in.caption.height();
    const int g = (in.button.height() - th - ph - gap) / 2;
    const bool pictureOnTop = in.layout == blBitmapTop;
    const int pictureTop = pictureOnTop ? g : g + th + gap;
    const int captionTop = pictureOnTop ? g + ph + gap : g;
    const int pictureLeft = alignedLeft(in.alignment, width, pw);
    const int captionLeft = alignedLeft(in.alignment, width, tw);
    return {QPoint(pictureLeft, pictureTop), QRect(captionLeft, captionTop, tw, th)};
}

FaceLayout placeSideBySide(const FaceInput &in, int pw, int gap)
{
    const int width = in.button.width();
    const int th = in.caption.height();
    int tw = in.caption.width();
    if (width - 4 < tw + pw + gap)
        tw = width - gap - pw - 4;
    const int pictureTop = (in.button.height() - in.picture.height()) / 2;
    const int captionTop = (in.button.height() - th) / 2;
    int pictureLeft = 0;
    int captionLeft = 0;
    if (in.layout == blBitmapLeft) {
        switch (in.alignment) {
        case taLeftJustify:
            pictureLeft = EdgeMargin;
            captionLeft = pw + gap + EdgeMargin;
            break;
        case taRightJustify:
            captionLeft = width - tw - EdgeMargin;
            pictureLeft = captionLeft - pw - gap;
            break;
        case taCenter:
            pictureLeft = (width - tw - pw - gap) / 2;
            captionLeft = pictureLeft + pw + gap;
            break;
        }
    } else {
        switch (in.alignment) {
        case taLeftJustify:
            captionLeft = EdgeMargin;
            pictureLeft = tw + EdgeMargin + gap;
            break;
        case taRightJustify:
            pictureLeft = width - pw - EdgeMargin;
            captionLeft = width - pw - tw - gap - EdgeMargin;
            break;
        case taCenter:
            captionLeft = (width - tw - pw - gap) / 2;
            pictureLeft = tw + captionLeft + gap;
            break;
        }
    }
    return {QPoint(pictureLeft, pictureTop), QRect(captionLeft, captionTop, tw, th)};
}

} // namespace

FaceLayout placeFace(const FaceInput &in)
{
    FaceInput input = in;
    if (!input.captionCounts)
        input.caption = QSize(0, 0);
    const int gap = input.captionCounts ? CaptionGap : 0;
    const int pw = input.picture.width() + (input.markShown ? MarkRoom : 0);

    FaceLayout face;
    if (input.picture.isEmpty())
        face = placeWithoutPicture(input);
    else if (input.layout == blBitmapTop || input.layout == blBitmapBottom)
        face = placeStacked(input, pw, gap);
    else
        face = placeSideBySide(input, pw, gap);

    const int width = input.button.width();
    if (input.wordWrap && width - 5 < face.caption.left() + face.caption.width())
        face.caption.setWidth(width - face.caption.left() - 5);
    return face;
}

int captionFlags(CaptionAlignment alignment, bool wordWrap)
{
    int flags = Qt::TextShowMnemonic | Qt::AlignTop;
    switch (alignment) {
    case taLeftJustify:
        flags |= Qt::AlignLeft;
        break;
    case taRightJustify:
        flags |= Qt::AlignRight;
        break;
    case taCenter:
        flags |= Qt::AlignHCenter;
        break;
    }
    if (wordWrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

QSize measureCaption(const QFontMetrics &metrics, const QString &caption, int buttonWidth,
                     CaptionAlignment alignment, bool wordWrap)
{
    const int room = std::max(0, buttonWidth - 4);
    // A wrapped caption is measured with a trailing blank, as the caption is drawn.
    const QString text = wordWrap ? caption + QLatin1Char(' ') : caption;
    const QRect bounds = metrics.boundingRect(QRect(0, 0, room, 0x10000),
                                              captionFlags(alignment, wordWrap), text);
    return {std::min(bounds.width(), room), bounds.height()};
}

QString fittedCaption(const QFontMetrics &metrics, const QString &caption, int width,
                      bool wordWrap)
{
    if (wordWrap || metrics.size(Qt::TextShowMnemonic, caption).width() <= width)
        return caption;
    return metrics.elidedText(caption, Qt::ElideRight, width, Qt::TextShowMnemonic);
}

QPoint triangleMarkOrigin(const FaceLayout &face, QSize picture, int captionHeight,
                          bool pressedLook)
{
    const int shift = pressedLook ? 1 : 0;
    if (picture.isEmpty()) {
        const int captionRight = face.caption.left() + face.caption.width();
        return {captionRight + 3 + shift, face.caption.top() + captionHeight / 2 + shift};
    }
    return {face.picture.x() + picture.width() + 3 + shift,
            face.picture.y() + picture.height() / 2 + shift};
}

QList<QPoint> triangleMarkPixels(QPoint origin)
{
    QList<QPoint> pixels;
    const int x = origin.x();
    const int y = origin.y();
    // Rows of 7, 5, 3 and 1 pixels, each centred under the one above.
    for (int row = 0; row < 4; ++row) {
        for (int column = x + row; column <= x + 6 - row; ++column)
            pixels.append(QPoint(column, y - 1 + row));
    }
    return pixels;
}

BevelStrokes bevelStrokes(QSize button)
{
    const int right = button.width() - 1;
    const int bottom = button.height() - 1;
    BevelStrokes strokes;
    // The first stroke leaves out its end points, as a pen moving from corner to corner does;
    // the second ends one past the bottom-left corner and so paints over it.
    for (int y = bottom; y > 0; --y)
        strokes.first.append(QPoint(0, y));
    for (int x = 0; x < right; ++x)
        strokes.first.append(QPoint(x, 0));
    for (int y = 0; y < bottom; ++y)
        strokes.second.append(QPoint(right, y));
    for (int x = right; x >= 0; --x)
        strokes.second.append(QPoint(x, bottom));
    return strokes;
}

QImage downPattern(QRgb face, QRgb highlight)
{
    QImage pattern(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, (x % 2 == y % 2) ? highlight : face);
    }
    return pattern;
}

QString withoutAccelerators(const QString &caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            ++i;
            if (i == caption.size())
                break;
        }
        plain.append(caption.at(i));
    }
    return plain;
}

} // namespace OfficeButtonGeometry
