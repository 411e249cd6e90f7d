#include "catalog/ExplorerIcons.h"

#include "controls/ButtonPicture.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

using Kind = ObjectDirectory::Kind;

constexpr int kSize = 16;
const QColor kKey(0xFF, 0x00, 0xFF);
const QColor kOutline(0x2E, 0x34, 0x36);

// A picture painted without smoothing: the key colour must stay exact at
// every edge, or blended pixels would show as a pink fringe.
QImage painted(const std::function<void(QPainter &)> &paint)
{
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(kKey);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(kOutline);
    paint(painter);
    return image;
}

// A button picture of 24 by 24 pixels, its 16 by 16 middle on the key colour.
QImage buttonPicture(const char *name)
{
    const QImage picture(QStringLiteral(":/buttons/%1").arg(QLatin1String(name)));
    const QImage middle = ButtonPicture::keyedOut(picture).copy(4, 4, kSize, kSize);
    QImage cut = painted([&](QPainter &painter) { painter.drawImage(0, 0, middle); });
    // The corner names the key colour; the cut may run through the picture.
    cut.setPixel(0, 0, kKey.rgb());
    return cut;
}

void letters(QPainter &painter, const QString &text, const QColor &fill)
{
    painter.setBrush(fill);
    painter.drawRect(1, 2, 13, 11);
    QFont font = painter.font();
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(1, 2, 14, 12), Qt::AlignCenter, text);
}

QImage drawn(Kind kind)
{
    switch (kind) {
    case Kind::Table:
        return buttonPicture("table.png");
    case Kind::View:
        return buttonPicture("view.png");
    case Kind::Domain:
        return painted([](QPainter &p) { letters(p, QStringLiteral("D"), QColor(0x4E, 0x9A, 0x06)); });
    case Kind::Procedure:
        return painted([](QPainter &p) { letters(p, QStringLiteral("P"), QColor(0x34, 0x65, 0xA4)); });
    case Kind::Function:
        return painted([](QPainter &p) { letters(p, QStringLiteral("fx"), QColor(0x75, 0x50, 0x7B)); });
    case Kind::Package:
        return painted([](QPainter &p) {
            p.setBrush(QColor(0xC1, 0x7D, 0x11));
            p.drawRect(1, 4, 13, 10);
            p.setBrush(QColor(0xE9, 0xB9, 0x6E));
            p.drawRect(0, 1, 15, 3);
            p.drawLine(7, 4, 7, 14);
        });
    case Kind::Trigger:
        return painted([](QPainter &p) {
            const QPolygon bolt({{9, 0}, {3, 8}, {7, 8}, {5, 15}, {12, 6}, {8, 6}, {11, 0}});
            p.setBrush(QColor(0xFC, 0xE9, 0x4F));
            p.drawPolygon(bolt);
        });
    case Kind::Exception:
        return painted([](QPainter &p) {
            p.setBrush(QColor(0xCC, 0x00, 0x00));
            p.drawPolygon(QPolygon({{7, 1}, {14, 14}, {1, 14}}));
            p.setPen(Qt::white);
            p.drawLine(7, 5, 7, 10);
            p.drawPoint(7, 12);
        });
    case Kind::Generator:
        return painted([](QPainter &p) { letters(p, QStringLiteral("+1"), QColor(0x55, 0x57, 0x53)); });
    case Kind::Role:
        return painted([](QPainter &p) {
            p.setBrush(QColor(0xFC, 0xAF, 0x3E));
            p.drawEllipse(4, 1, 7, 7);
            p.setBrush(QColor(0x72, 0x9F, 0xCF));
            p.drawRect(2, 9, 11, 6);
        });
    }
    return painted([](QPainter &) {});
}

} // namespace

namespace ExplorerIcons {

QImage picture(Kind kind)
{
    return drawn(kind);
}

QIcon icon(Kind kind)
{
    static QHash<int, QIcon> made;
    auto found = made.find(int(kind));
    if (found == made.end())
        found = made.insert(int(kind), QIcon(QPixmap::fromImage(ButtonPicture::keyedOut(drawn(kind)))));
    return *found;
}

} // namespace ExplorerIcons
