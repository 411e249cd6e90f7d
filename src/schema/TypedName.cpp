#include "schema/TypedName.h"

#include "core/AppError.h"

#include <QRegularExpression>

QString TypedName(const QString &typed, int dialect)
{
    const QString name = typed.trimmed();
    if (name.isEmpty())
        throw GeneralError(QStringLiteral("Enter a name"));
    static const QRegularExpression word(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]*$"));
    if (word.match(name).hasMatch())
        return name.toUpper();
    if (dialect == 1)
        throw GeneralError(QStringLiteral("\"%1\" is no name a dialect-1 database can take: "
                                          "letters, digits, _ and $, starting with a letter")
                               .arg(name));
    return name;
}
