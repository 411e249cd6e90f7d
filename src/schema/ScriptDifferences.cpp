#include "schema/ScriptDifferences.h"

#include "schema/ScriptStatements.h"

#include <QHash>

namespace {

QString firstLine(const QString &statement)
{
    return statement.section(QLatin1Char('\n'), 0, 0).trimmed();
}

// The statements of `from` that `against` does not hold as often, in order.
QStringList unmatched(const QStringList &from, const QStringList &against)
{
    QHash<QString, int> left;
    for (const QString &statement : against)
        ++left[statement];
    QStringList result;
    for (const QString &statement : from) {
        int &count = left[statement];
        if (count > 0)
            --count;
        else
            result << statement;
    }
    return result;
}

} // namespace

QStringList ScriptDifferences(const QString &original, const QString &copy)
{
    const QStringList a = ScriptStatements(original).statements();
    const QStringList b = ScriptStatements(copy).statements();
    QStringList lines;
    for (const QString &statement : unmatched(a, b))
        lines << QStringLiteral("- ") + firstLine(statement);
    for (const QString &statement : unmatched(b, a))
        lines << QStringLiteral("+ ") + firstLine(statement);
    return lines;
}

QStringList LineDifferences(const QStringList &original, const QStringList &copy)
{
    QStringList lines;
    for (const QString &line : unmatched(original, copy))
        lines << QStringLiteral("- ") + line;
    for (const QString &line : unmatched(copy, original))
        lines << QStringLiteral("+ ") + line;
    return lines;
}
