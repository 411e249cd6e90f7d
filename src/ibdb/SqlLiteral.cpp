#include "SqlLiteral.h"

namespace SqlLiteral {

namespace {

QString enclosed(QString text, QChar quote)
{
    text.replace(quote, QString(2, quote));
    return quote + text + quote;
}

} // namespace

QString quotedName(const QString &name)
{
    return enclosed(name, QLatin1Char('"'));
}

QString string(const QString &text, int dialect)
{
    return enclosed(text, dialect == 1 ? QLatin1Char('"') : QLatin1Char('\''));
}

} // namespace SqlLiteral
