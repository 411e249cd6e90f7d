#include "core/DatabaseFileName.h"

#include <algorithm>

QString DatabaseFileName(const QString &path)
{
    const QString trimmed = path.trimmed();
    qsizetype cut = -1;
    for (const QChar separator : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        cut = std::max(cut, trimmed.lastIndexOf(separator));
    return trimmed.mid(cut + 1);
}
