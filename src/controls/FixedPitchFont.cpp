#include "controls/FixedPitchFont.h"

QFont FixedPitchFont()
{
    // Where Courier New is not installed the style hint picks the system's
    // fixed-pitch face.
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}
