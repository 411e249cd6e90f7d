#pragma once

#include <QList>
#include <QString>
#include <QWidget>

// Horizontal bars of the rows each table gave a statement: the reads
// without an index in a loud colour first, because a long one of those is
// where a slow statement usually goes, the indexed reads after them in a
// quiet one. All bars share one scale, the longest total filling the room.
class TableReadsChart : public QWidget
{
    Q_OBJECT

public:
    struct Bar
    {
        QString label;
        qint64 nonIndexed = 0;
        qint64 indexed = 0;
        bool operator==(const Bar &) const = default;
    };

    explicit TableReadsChart(QWidget *parent = nullptr);

    void setBars(const QList<Bar> &bars);
    const QList<Bar> &bars() const { return m_bars; }

    static QColor nonIndexedColor();
    static QColor indexedColor();
    // Pixels for value on a scale where largest fills room; any value above
    // zero shows at least one pixel, so a single read is not lost.
    static int barLength(qint64 value, qint64 largest, int room);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int rowHeight() const;
    int labelWidth() const;
    qint64 largest() const;
    void paintLegend(QPainter &painter) const;
    void paintBar(QPainter &painter, const Bar &bar, int top, int room) const;

    QList<Bar> m_bars;
};
