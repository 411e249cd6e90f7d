#include "ibdb/DecimalNumber.h"

#include <QRegularExpression>

std::optional<DecimalNumber> DecimalNumber::parse(const QString &text)
{
    static const QRegularExpression finite(
        QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?(?:[eE]([+-]?\\d{1,9}))?$"));
    static const QRegularExpression special(
        QStringLiteral("^([+-]?)(inf|infinity|s?nan)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString trimmed = text.trimmed();
    DecimalNumber number;
    if (const auto match = special.match(trimmed); match.hasMatch()) {
        number.m_negative = match.captured(1) == QLatin1String("-");
        number.m_kind = match.captured(2).startsWith(u'i', Qt::CaseInsensitive) ? Kind::Infinity
                                                                                 : Kind::NaN;
        return number;
    }
    const auto match = finite.match(trimmed);
    const QString whole = match.captured(2);
    const QString fraction = match.captured(3);
    if (!match.hasMatch() || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    number.m_negative = match.captured(1) == QLatin1String("-");
    QString digits = whole + fraction;
    qint64 exponent = match.captured(4).toLongLong() - fraction.size();
    while (digits.endsWith(u'0')) {
        digits.chop(1);
        ++exponent;
    }
    qsizetype first = 0;
    while (first < digits.size() && digits.at(first) == u'0')
        ++first;
    number.m_digits = digits.mid(first);
    number.m_exponent = number.m_digits.isEmpty() ? 0 : exponent;
    return number;
}

// Zero is zero whatever its sign; NaN is NaN whatever its sign.
bool DecimalNumber::operator==(const DecimalNumber &other) const
{
    if (m_kind != other.m_kind)
        return false;
    if (m_kind == Kind::NaN)
        return true;
    const bool zero = m_kind == Kind::Finite && m_digits.isEmpty();
    return (zero || m_negative == other.m_negative) && m_digits == other.m_digits
           && m_exponent == other.m_exponent;
}
