#include "ibdb/StatementLines.h"

namespace StatementLines {

QStringList split(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return splitText(nul < 0 ? text : text.left(nul));
}

QStringList splitText(const QString &body)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << body.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < body.size() && body.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < body.size())
        lines << body.mid(start);
    return lines;
}

QString join(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

} // namespace StatementLines
