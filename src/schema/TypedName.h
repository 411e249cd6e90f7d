#pragma once

#include <QString>

// The stored name a user means by a name typed into a box: a plain word in
// upper case, as the server stores an unquoted name; anything else as typed,
// which only a dialect-3 statement can spell (in double quotes). Throws
// GeneralError for an empty name and, in dialect 1, for one that is no word.
QString TypedName(const QString &typed, int dialect);
