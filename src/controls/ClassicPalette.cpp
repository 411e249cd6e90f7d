#include "controls/ClassicPalette.h"

#include <QApplication>
#include <QPalette>

QPalette ClassicPalette::palette(const QPalette &base)
{
    const QColor face(0xD4, 0xD0, 0xC8);
    QPalette palette(base);
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::Midlight, face);
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Mid, QColor(0xA0, 0xA0, 0xA0));
    palette.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Shadow, QColor(0x40, 0x40, 0x40));
    return palette;
}

void ClassicPalette::apply()
{
    QApplication::setPalette(palette(QApplication::palette()));
}
