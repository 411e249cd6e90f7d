#include "controls/ButtonPicture.h"

namespace ButtonPicture {

namespace {

// Pixels at least this bright fall to the background when the picture is reduced to one bit.
constexpr int MaskBrightness = 192;

bool isLeftOut(QRgb pixel, QRgb key)
{
    return pixel == key || qAlpha(pixel) == 0;
}

QImage argbCopy(const QImage &picture)
{
    return picture.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

Thresholds thresholds(ShadingType type)
{
    switch (type) {
    case stLight:
        return {205, 127, 68};
    case stDark:
        return {335, 274, 175};
    case stMedium:
        break;
    }
    return {553, 231, 57};
}

QRgb transparentColour(const QImage &picture)
{
    if (picture.isNull())
        return qRgba(0, 0, 0, 0);
    return argbCopy(picture.copy(0, 0, 1, 1)).pixel(0, 0);
}

QRgb shadePixel(QRgb pixel, const Thresholds &limits, QRgb highlight, QRgb shadow)
{
    const int sum = qRed(pixel) + qGreen(pixel) + qBlue(pixel);
    if (sum > limits.high)
        return qRgb(255, 255, 255);
    if (sum > limits.middle)
        return highlight | 0xff000000u;
    if (sum > limits.low)
        return shadow | 0xff000000u;
    return qRgb(0, 0, 0);
}

QImage greyImage(const QImage &picture, ShadingType type, QRgb highlight, QRgb shadow)
{
    QImage grey = argbCopy(picture);
    if (grey.isNull())
        return grey;
    const QRgb key = grey.pixel(0, 0);
    const Thresholds limits = thresholds(type);
    for (int y = 0; y < grey.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            if (!isLeftOut(line[x], key))
                line[x] = shadePixel(line[x], limits, highlight, shadow);
        }
    }
    return grey;
}

QImage keyedOut(const QImage &picture)
{
    QImage result = argbCopy(picture);
    if (result.isNull())
        return result;
    const QRgb key = result.pixel(0, 0);
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return result;
}

QImage embossMask(const QImage &picture)
{
    if (picture.isNull())
        return {};
    const QImage source = argbCopy(picture);
    const QRgb key = source.pixel(0, 0);
    QImage mask(source.size(), QImage::Format_MonoLSB);
    mask.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mask.fill(0);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = source.pixel(x, y);
            if (!isLeftOut(pixel, key) && qGray(pixel) < MaskBrightness)
                mask.setPixel(x, y, 1);
        }
    }
    return mask;
}

} // namespace ButtonPicture
