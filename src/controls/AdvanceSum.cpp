#include "controls/AdvanceSum.h"

#include <algorithm>

namespace {

// Up to the spacing modifiers: Latin letters of every extension, digits and
// signs. Combining marks follow them.
constexpr char16_t kLastPlain = 0x02FF;

} // namespace

AdvanceSum::AdvanceSum(const QFont &font) : m_metrics(font), m_exactMetrics(font) {}

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

bool AdvanceSum::isPlain(const QString &text)
{
    // Control characters and the soft hyphen are not drawn as their advance.
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u' ' && u < 0x7F) || (u >= 0xA0 && u <= kLastPlain && u != 0xAD);
    });
}

qreal AdvanceSum::layoutWidth(const QString &text)
{
    qreal sum = 0;
    for (const QChar c : text) {
        auto known = m_exactAdvances.constFind(c.unicode());
        if (known == m_exactAdvances.cend())
            known = m_exactAdvances.insert(c.unicode(), m_exactMetrics.horizontalAdvance(c));
        sum += *known;
    }
    if (text.isEmpty())
        return sum;
    const QChar last = text.back();
    auto overhang = m_overhangs.constFind(last.unicode());
    if (overhang == m_overhangs.cend())
        overhang = m_overhangs.insert(last.unicode(),
                                      std::max<qreal>(0, -m_exactMetrics.rightBearing(last)));
    return sum + *overhang;
}
