#include "controls/ColumnResizeBatch.h"

#include "controls/ColumnHeader.h"

#include <QAbstractItemView>
#include <QHeaderView>

ColumnResizeBatch::ColumnResizeBatch(QWidget *widget)
{
    if (!widget)
        return;
    add(qobject_cast<QAbstractItemView *>(widget));
    for (QAbstractItemView *view : widget->findChildren<QAbstractItemView *>())
        add(view);
}

void ColumnResizeBatch::add(QAbstractItemView *view)
{
    QHeaderView *header = view ? columnHeader(view) : nullptr;
    // A header already blocked is in an enclosing batch, which lays its grid
    // out when it ends: once is enough.
    if (!header || header->signalsBlocked())
        return;
    m_views.append(view);
    m_headerSignals.emplace_back(header);
}

ColumnResizeBatch::~ColumnResizeBatch()
{
    for (QSignalBlocker &blocker : m_headerSignals)
        blocker.unblock();
    // What the grids' own handlers would have done, once for all columns.
    for (const QPointer<QAbstractItemView> &view : std::as_const(m_views)) {
        if (view)
            view->doItemsLayout();
    }
}
