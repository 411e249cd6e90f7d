#pragma once

#include <QString>

#include <optional>

// A decimal number as text writes it ("-12.50", "1.2E+384", "-0",
// "Infinity", "NaN"), reduced to what it means, so that two texts of one
// value compare equal: the typed text and the server's text of what it
// would store. Only the value counts; "1.50" and "1.5" are one number.
class DecimalNumber
{
public:
    // Empty for a text that is no number.
    static std::optional<DecimalNumber> parse(const QString &text);

    bool operator==(const DecimalNumber &other) const;

private:
    enum class Kind { Finite, Infinity, NaN };

    Kind m_kind = Kind::Finite;
    bool m_negative = false;
    // Significant digits, no leading or trailing zero; empty for zero.
    QString m_digits;
    // The power of ten of the last significant digit.
    qint64 m_exponent = 0;
};
