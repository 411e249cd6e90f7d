#pragma once

#include <QFontMetrics>
#include <QHash>

// A text's width as the sum of its characters' advances, each looked up once
// per font: no text is laid out, where QFontMetrics::horizontalAdvance shapes
// the whole text each time. Kerning only narrows names of capitals and
// digits, so the sum does not fall short of the shaped width for them; a
// cell or box sized by it shows its whole text.
class AdvanceSum
{
public:
    explicit AdvanceSum(const QFont &font);

    int width(const QString &text);

private:
    int advance(QChar c);

    QFontMetrics m_metrics;
    QHash<char16_t, int> m_advances;
};
