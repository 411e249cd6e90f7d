#pragma once

#include <QImage>
#include <QRgb>

// Tool-button pictures carry no alpha channel of their own: every pixel of the colour of the
// top-left pixel is left out when the picture is drawn. These functions turn such a picture
// into what the button paints: the grey image shown while the mouse is elsewhere, a copy with
// the key colour made transparent, and the one-bit shape of the embossed disabled picture.
namespace ButtonPicture {

enum ShadingType { stLight, stMedium, stDark };

struct Thresholds
{
    int high;
    int middle;
    int low;
};

Thresholds thresholds(ShadingType type);

// The key colour: pixel (0, 0), or fully transparent black for an empty picture.
QRgb transparentColour(const QImage &picture);

// One pixel of the grey image, judged by the sum of its red, green and blue.
QRgb shadePixel(QRgb pixel, const Thresholds &limits, QRgb highlight, QRgb shadow);

// The grey image: a copy of the picture in which every pixel other than the key colour is set
// to white, highlight, shadow or black. The key colour (and fully transparent pixels) stay.
QImage greyImage(const QImage &picture, ShadingType type, QRgb highlight, QRgb shadow);

// A copy in ARGB in which the key-coloured pixels are fully transparent.
QImage keyedOut(const QImage &picture);

// The shape painted twice, offset, for the embossed disabled picture: a one-bit image whose set
// pixels (colour 1) are the picture's dark enough pixels, as if the picture were converted to
// one bit per pixel on a white background with black as the brush colour.
QImage embossMask(const QImage &picture);

} // namespace ButtonPicture
