#pragma once

#include <QList>
#include <QPointer>
#include <QSignalBlocker>

#include <vector>

class QAbstractItemView;
class QWidget;

// A grid told of each column width as it is set lays itself out anew and
// repaints from a zero timer, which fires after the window's first paint: a
// window that sizes its columns as it opens would be painted twice. Widths
// set, columns hidden or moved, and grids resized within a batch reach the
// grids once, when the batch ends, before anything is painted.
class ColumnResizeBatch
{
public:
    // The grids batched: `widget` if it is one, and every grid inside it.
    explicit ColumnResizeBatch(QWidget *widget);
    ~ColumnResizeBatch();

    ColumnResizeBatch(const ColumnResizeBatch &) = delete;
    ColumnResizeBatch &operator=(const ColumnResizeBatch &) = delete;

private:
    void add(QAbstractItemView *view);

    QList<QPointer<QAbstractItemView>> m_views;
    std::vector<QSignalBlocker> m_headerSignals;
};
