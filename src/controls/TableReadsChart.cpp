#include "controls/TableReadsChart.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>

namespace {

constexpr int kMargin = 4;
constexpr int kGap = 6;
// Room kept right of the longest bar for its figures.
constexpr int kFigures = 120;

} // namespace

TableReadsChart::TableReadsChart(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Reads per table"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TableReadsChart::setBars(const QList<Bar> &bars)
{
    if (bars == m_bars)
        return;
    // Only other tables change the size the chart asks for, not their figures.
    const auto labels = [](const QList<Bar> &list) {
        QStringList names;
        for (const Bar &bar : list)
            names << bar.label;
        return names;
    };
    const bool resized = labels(bars) != labels(m_bars);
    m_bars = bars;
    if (resized)
        updateGeometry();
    update();
}

QColor TableReadsChart::nonIndexedColor()
{
    return QColor(0xd0, 0x30, 0x20);
}

QColor TableReadsChart::indexedColor()
{
    return QColor(0x80, 0x98, 0xb0);
}

int TableReadsChart::barLength(qint64 value, qint64 largest, int room)
{
    if (value <= 0 || largest <= 0 || room <= 0)
        return 0;
    const qint64 length = value * room / largest;
    return int(std::clamp<qint64>(length, 1, room));
}

int TableReadsChart::rowHeight() const
{
    return fontMetrics().height() + 4;
}

int TableReadsChart::labelWidth() const
{
    int width = 0;
    for (const Bar &bar : m_bars)
        width = std::max(width, fontMetrics().horizontalAdvance(bar.label));
    return width;
}

qint64 TableReadsChart::largest() const
{
    qint64 most = 0;
    for (const Bar &bar : m_bars)
        most = std::max(most, bar.nonIndexed + bar.indexed);
    return most;
}

QSize TableReadsChart::sizeHint() const
{
    return {labelWidth() + 2 * kMargin + kGap + 200 + kFigures,
            (int(m_bars.size()) + 1) * rowHeight() + 2 * kMargin};
}

QSize TableReadsChart::minimumSizeHint() const
{
    return {100, 2 * rowHeight() + 2 * kMargin};
}

void TableReadsChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintLegend(painter);
    const int room = width() - 2 * kMargin - labelWidth() - kGap - kFigures;
    int top = kMargin + rowHeight();
    for (const Bar &bar : std::as_const(m_bars)) {
        paintBar(painter, bar, top, std::max(room, 1));
        top += rowHeight();
    }
}

void TableReadsChart::paintLegend(QPainter &painter) const
{
    const int box = fontMetrics().ascent();
    int x = kMargin;
    const int y = kMargin + (rowHeight() - box) / 2;
    for (const auto &[color, text] :
         {std::pair{nonIndexedColor(), QStringLiteral("Non-indexed reads")},
          std::pair{indexedColor(), QStringLiteral("Indexed reads")}}) {
        painter.fillRect(x, y, box, box, color);
        x += box + kGap / 2;
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(x, kMargin, width(), rowHeight()), Qt::AlignVCenter, text);
        x += fontMetrics().horizontalAdvance(text) + 2 * kGap;
    }
}

void TableReadsChart::paintBar(QPainter &painter, const Bar &bar, int top, int room) const
{
    const int labels = labelWidth();
    const QRect row(kMargin, top, width() - 2 * kMargin, rowHeight());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(row.adjusted(0, 0, -(row.width() - labels), 0),
                     Qt::AlignVCenter | Qt::AlignLeft, bar.label);
    const qint64 most = largest();
    const int x = kMargin + labels + kGap;
    const int height = rowHeight() - 4;
    const int loud = barLength(bar.nonIndexed, most, room);
    const int quiet = barLength(bar.indexed, most, room);
    painter.fillRect(x, top + 2, loud, height, nonIndexedColor());
    painter.fillRect(x + loud, top + 2, quiet, height, indexedColor());
    const QString figures = QStringLiteral("%1 / %2").arg(bar.nonIndexed).arg(bar.indexed);
    painter.drawText(QRect(x + loud + quiet + kGap, top, kFigures + room, rowHeight()),
                     Qt::AlignVCenter | Qt::AlignLeft, figures);
}
