#pragma once

#include <QList>
#include <QString>
#include <QWidget>

// Horizontal bars of the largest tables' sizes in pages, in the quiet
// colour and on the one scale of the statement pane's reads chart, the
// largest first, each with its figure.
class TableSizeChart : public QWidget
{
    Q_OBJECT

public:
    struct Bar
    {
        QString label;
        qint64 pages = 0;
    };

    explicit TableSizeChart(QWidget *parent = nullptr);

    // Keeps the largest count bars, largest first.
    void setBars(QList<Bar> bars, int count = 10);
    const QList<Bar> &bars() const { return m_bars; }

    QSize sizeHint() const override;
    // A bar's figure.
    static QString pagesText(qint64 pages);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int rowHeight() const;
    int labelWidth() const;

    QList<Bar> m_bars;
};
