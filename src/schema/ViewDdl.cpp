#include "schema/ViewDdl.h"

#include "ibdb/SqlLiteral.h"
#include "ibdb/StatementLines.h"
#include "ibdb/PlainName.h"

namespace ViewDdl {

QString text(const QString &viewName, const QStringList &columns, const QString &source,
             int dialect)
{
    QStringList names;
    for (const QString &column : columns)
        names << SqlLiteral::name(PlainName(column), dialect);
    // The source goes whole, a NUL character and what follows included.
    QStringList lines = StatementLines::splitText(source);
    lines.prepend(QStringLiteral("AS"));
    lines.prepend(QLatin1Char('(') + names.join(QStringLiteral(", ")) + QLatin1Char(')'));
    lines.prepend(
        QStringLiteral("CREATE VIEW %1 ").arg(SqlLiteral::name(PlainName(viewName), dialect)));
    return StatementLines::join(lines);
}

} // namespace ViewDdl
