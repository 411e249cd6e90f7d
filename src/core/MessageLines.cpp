#include "core/MessageLines.h"

namespace MessageLines {

QString plain(const QString &message)
{
    QString lines = message;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    qsizetype first = 0;
    while (first < lines.size() && lines.at(first) == QLatin1Char('\n'))
        ++first;
    qsizetype end = lines.size();
    while (end > first && lines.at(end - 1) == QLatin1Char('\n'))
        --end;
    return lines.mid(first, end - first);
}

} // namespace MessageLines
