#pragma once

#include <QFontMetrics>
#include <QFontMetricsF>
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

    // Latin text on one line, with no mark to place on another letter: laid
    // out without shaping, it is as wide as layoutWidth() says.
    static bool isPlain(const QString &text);
    // The width a plain text lays out to without shaping, to the fraction of
    // a pixel: its exact advances, and what its last glyph juts out past its
    // own advance.
    qreal layoutWidth(const QString &text);

private:
    int advance(QChar c);

    QFontMetrics m_metrics;
    QFontMetricsF m_exactMetrics;
    QHash<char16_t, int> m_advances;
    QHash<char16_t, qreal> m_exactAdvances;
    QHash<char16_t, qreal> m_overhangs;
};
