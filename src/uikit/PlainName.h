#pragma once

#include <QString>

// Names read from fixed-length system-table columns come padded with blanks;
// the padding is no part of the name in captions and statements.
QString PlainName(QString name);
