#include "controls/AdvanceSum.h"

AdvanceSum::AdvanceSum(const QFont &font) : m_metrics(font) {}

int AdvanceSum::width(const QString &text)
{
    int sum = 0;
    for (const QChar c : text)
        sum += advance(c);
    return sum;
}

int AdvanceSum::advance(QChar c)
{
    auto known = m_advances.constFind(c.unicode());
    if (known == m_advances.cend())
        known = m_advances.insert(c.unicode(), m_metrics.horizontalAdvance(c));
    return *known;
}
