#pragma once

#include <QString>

// A catalogue name as stored. The system tables keep names in CHAR columns,
// padded with blanks to their length; only that trailing padding is no part
// of the name. A leading blank is (a dialect-3 name may start with one), so
// a name is never trimmed: " T_SAFE" and "T_SAFE" are two objects.
QString PlainName(QString name);
