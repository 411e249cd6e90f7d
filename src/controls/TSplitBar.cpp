#include "controls/TSplitBar.h"

#include <QEvent>
#include <QLayout>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QRubberBand>

TSplitBar::TSplitBar(QWidget *parent)
    : QFrame(parent)
{
    setCursor(Qt::SplitHCursor);
    setAutoFillBackground(true);
    setThickness(DefaultThickness);
    if (parent)
        parent->installEventFilter(this);
}

TSplitBar::~TSplitBar()
{
    delete m_ghostBand;
}

void TSplitBar::setSplitOrientation(SplitOrientation orientation)
{
    const int size = thickness();
    m_orientation = orientation;
    setThickness(size);
}

void TSplitBar::setAlignment(Alignment alignment)
{
    m_alignment = alignment;
    keepToEdge();
}

void TSplitBar::setThickness(int size)
{
    if (horizontal()) {
        setFixedWidth(size);
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
        setFixedHeight(size);
        setMinimumWidth(0);
        setMaximumWidth(QWIDGETSIZE_MAX);
    }
    keepToEdge();
}

int TSplitBar::thickness() const
{
    return horizontal() ? width() : height();
}

bool TSplitBar::managedByLayout(const QWidget *widget) const
{
    const QWidget *owner = widget->parentWidget();
    return owner && owner->layout() && owner->layout()->indexOf(widget) >= 0;
}

void TSplitBar::keepToEdge()
{
    QWidget *pane = parentWidget();
    if (!pane || managedByLayout(this))
        return;
    const QRect inside = pane->rect();
    const int size = thickness();
    switch (m_alignment) {
    case alLeft:
        setGeometry(0, 0, size, inside.height());
        break;
    case alRight:
        setGeometry(inside.width() - size, 0, size, inside.height());
        break;
    case alTop:
        setGeometry(0, 0, inside.width(), size);
        break;
    case alBottom:
        setGeometry(0, inside.height() - size, inside.width(), size);
        break;
    case alNone:
        return;
    }
    raise();
}

bool TSplitBar::event(QEvent *event)
{
    if (event->type() == QEvent::ParentAboutToChange && parentWidget())
        parentWidget()->removeEventFilter(this);
    const bool handled = QFrame::event(event);
    if (event->type() == QEvent::ParentChange && parentWidget()) {
        parentWidget()->installEventFilter(this);
        keepToEdge();
    }
    return handled;
}

void TSplitBar::hideEvent(QHideEvent *event)
{
    // A bar hidden in mid-drag gets no release: drop the ghost and leave the pane as it is.
    if (m_dragging)
        endDrag();
    QFrame::hideEvent(event);
}

bool TSplitBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        keepToEdge();
    return QFrame::eventFilter(watched, event);
}

int TSplitBar::leading(const QRect &rect) const
{
    return horizontal() ? rect.left() : rect.top();
}

int TSplitBar::along(QPoint point) const
{
    return horizontal() ? point.x() : point.y();
}

QWidget *TSplitBar::form() const
{
    // The window that holds the bar: a top-level window, or the form inside an MDI child.
    QWidget *w = const_cast<TSplitBar *>(this);
    while (!w->isWindow() && w->parentWidget()
           && !qobject_cast<QMdiSubWindow *>(w->parentWidget())) {
        w = w->parentWidget();
    }
    return w;
}

SplitBarMath::Limits TSplitBar::formLimits() const
{
    const QWidget *holder = form();
    const QPoint origin = holder->mapToGlobal(QPoint(0, 0));
    const int low = along(origin);
    return {low, low + (horizontal() ? holder->width() : holder->height())};
}

void TSplitBar::mousePressEvent(QMouseEvent *event)
{
    if (m_dragging)
        return;
    m_dragging = true;
    m_downPoint = event->globalPosition().toPoint();
    m_ghost = QRect(mapToGlobal(QPoint(0, 0)), size());
    m_limits = formLimits();
    m_grabOffset = along(m_downPoint) - leading(m_ghost);
    showGhost();
}

void TSplitBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const int pointer = along(event->globalPosition().toPoint());
    int edge = SplitBarMath::ghostLeading(pointer, m_grabOffset);
    edge = SplitBarMath::clampLeading(edge, thickness(), m_limits, m_alignment, m_minOffset,
                                      m_maxOffset);
    if (horizontal())
        m_ghost.moveLeft(edge);
    else
        m_ghost.moveTop(edge);
    showGhost();
}

void TSplitBar::mouseReleaseEvent(QMouseEvent *)
{
    if (!m_dragging)
        return;
    const int start = SplitBarMath::ghostLeading(along(m_downPoint), m_grabOffset);
    const int moved = SplitBarMath::travel(start, leading(m_ghost));
    endDrag();
    resizePane(moved);
}

void TSplitBar::showGhost()
{
    // The ghost lives in the bar's own top-level window: for a bar in an MDI child that is the
    // frame, so the ghost stays within the frame's client area; a dialog shows it over itself.
    QWidget *host = window();
    if (!m_ghostBand)
        m_ghostBand = new QRubberBand(QRubberBand::Line, host);
    m_ghostBand->setGeometry(QRect(host->mapFromGlobal(m_ghost.topLeft()), m_ghost.size()));
    m_ghostBand->show();
    m_ghostBand->raise();
}

void TSplitBar::endDrag()
{
    delete m_ghostBand;
    m_dragging = false;
    m_ghost = QRect();
    m_grabOffset = 0;
    m_limits = {0, 0};
    m_downPoint = QPoint();
}

void TSplitBar::resizePane(int moved)
{
    QWidget *pane = parentWidget();
    if (!pane || m_alignment == alNone)
        return;
    const bool width = SplitBarMath::resizesWidth(m_alignment);
    const int size = width ? pane->width() : pane->height();
    const int newSize = SplitBarMath::newPaneSize(m_alignment, size, moved, thickness());
    if (newSize == size)
        return;
    if (managedByLayout(pane)) {
        if (width)
            pane->setFixedWidth(newSize);
        else
            pane->setFixedHeight(newSize);
        return;
    }
    QRect geometry = pane->geometry();
    switch (m_alignment) {
    case alLeft:
        geometry.setLeft(geometry.right() + 1 - newSize);
        break;
    case alRight:
        geometry.setWidth(newSize);
        break;
    case alTop:
        geometry.setTop(geometry.bottom() + 1 - newSize);
        break;
    case alBottom:
        geometry.setHeight(newSize);
        break;
    case alNone:
        break;
    }
    pane->setGeometry(geometry);
}
