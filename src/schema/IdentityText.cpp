#include "schema/IdentityText.h"

#include <QStringList>

namespace IdentityText {

QString clause(const SchemaColumn &column, bool startAlways)
{
    if (!column.identity)
        return {};
    QStringList options;
    if (startAlways || column.identityStart != 0)
        options << QStringLiteral("START WITH %1").arg(column.identityStart);
    if (column.identityIncrement != 1)
        options << QStringLiteral("INCREMENT BY %1").arg(column.identityIncrement);
    QString text = QStringLiteral("GENERATED %1 AS IDENTITY")
                       .arg(column.identityAlways ? QStringLiteral("ALWAYS")
                                                  : QStringLiteral("BY DEFAULT"));
    if (!options.isEmpty())
        text += QStringLiteral(" (") + options.join(QLatin1Char(' ')) + QLatin1Char(')');
    return text;
}

} // namespace IdentityText
