#pragma once

#include <QFont>

// The font of every statement editor and viewer: Courier New, or the
// system's fixed-pitch face where that is not installed.
QFont FixedPitchFont();
