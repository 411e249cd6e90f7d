#include "controls/TableSizeChart.h"

#include "controls/TableReadsChart.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kMargin = 4;
constexpr int kGap = 6;
constexpr int kFigures = 90;

} // namespace

TableSizeChart::TableSizeChart(QWidget *parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Largest tables"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TableSizeChart::setBars(QList<Bar> bars, int count)
{
    std::stable_sort(bars.begin(), bars.end(),
                     [](const Bar &a, const Bar &b) { return a.pages > b.pages; });
    m_bars = bars.mid(0, count);
    updateGeometry();
    update();
}

QString TableSizeChart::pagesText(qint64 pages)
{
    return pages == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(pages);
}

int TableSizeChart::rowHeight() const
{
    return fontMetrics().height() + 4;
}

int TableSizeChart::labelWidth() const
{
    int width = 0;
    for (const Bar &bar : m_bars)
        width = std::max(width, fontMetrics().horizontalAdvance(bar.label));
    return width;
}

QSize TableSizeChart::sizeHint() const
{
    return {labelWidth() + 2 * kMargin + kGap + 200 + kFigures,
            int(m_bars.size()) * rowHeight() + 2 * kMargin};
}

void TableSizeChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int labels = labelWidth();
    const int room = std::max(width() - 2 * kMargin - labels - kGap - kFigures, 1);
    const qint64 largest = m_bars.isEmpty() ? 0 : m_bars.first().pages;
    int top = kMargin;
    for (const Bar &bar : std::as_const(m_bars)) {
        painter.drawText(QRect(kMargin, top, labels, rowHeight()), Qt::AlignVCenter, bar.label);
        const int x = kMargin + labels + kGap;
        const int length = TableReadsChart::barLength(bar.pages, largest, room);
        painter.fillRect(x, top + 2, length, rowHeight() - 4, TableReadsChart::indexedColor());
        painter.drawText(QRect(x + length + kGap, top, kFigures + room, rowHeight()),
                         Qt::AlignVCenter, pagesText(bar.pages));
        top += rowHeight();
    }
}
