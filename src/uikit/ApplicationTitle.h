#pragma once

#include <QString>

// The frame's caption and the title of every error box.
inline const QString ApplicationTitle = QStringLiteral("Quorvel for Interbase");
