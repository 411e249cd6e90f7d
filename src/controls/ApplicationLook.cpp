#include "controls/ApplicationLook.h"

#include "controls/ClassicPalette.h"

#include <QApplication>
#include <QFont>

void ApplicationLook::apply()
{
    ClassicPalette::apply();
    // Captions, headers, tabs and editors hold Latin names, keywords and
    // numbers: set glyph by glyph they draw in a fraction of the time, and
    // scripts that need shaping (Arabic, Indic…) are still shaped. Widgets
    // that pick their own font inherit the strategy unless they set one.
    QFont font = QApplication::font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    QApplication::setFont(font);
}
