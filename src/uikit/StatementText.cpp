#include "uikit/StatementText.h"

#include "ibdb/StatementLines.h"

namespace StatementText {

QString toEditor(const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return plain;
}

QString fromEditor(const QString &plainText)
{
    QString text = plainText;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

QStringList lines(const QString &plainText)
{
    return StatementLines::splitText(plainText);
}

} // namespace StatementText
