#pragma once

#include "controls/SplitBarMath.h"

#include <QFrame>
#include <QPointer>

class QRubberBand;

// A thin bar on the inner edge of a pane; dragging it with any mouse button resizes the pane
// (its parent widget). While the button is held a ghost of the bar follows the pointer; the
// pane changes size only on release.
//
// Qt has no docking, so the owner says with setAlignment() which edge of the pane the bar
// sits on. When the bar is not in the pane's layout it keeps itself on that edge, over the
// pane's content, which should leave that much margin. The pane is resized with
// setFixedWidth()/setFixedHeight() when a layout of the pane's own parent manages it (a
// resize() would be undone by the layout), else by changing its geometry so that its edge
// away from the bar stays put, as a docked pane's would.
class TSplitBar : public QFrame
{
    Q_OBJECT

public:
    using SplitOrientation = SplitBarMath::SplitOrientation;
    using Alignment = SplitBarMath::Alignment;
    static constexpr SplitOrientation spHorizontal = SplitBarMath::spHorizontal;
    static constexpr SplitOrientation spVertical = SplitBarMath::spVertical;
    static constexpr Alignment alNone = SplitBarMath::alNone;
    static constexpr Alignment alLeft = SplitBarMath::alLeft;
    static constexpr Alignment alRight = SplitBarMath::alRight;
    static constexpr Alignment alTop = SplitBarMath::alTop;
    static constexpr Alignment alBottom = SplitBarMath::alBottom;

    static constexpr int DefaultThickness = 4;

    explicit TSplitBar(QWidget *parent = nullptr);
    ~TSplitBar() override;

    void setSplitOrientation(SplitOrientation orientation);
    SplitOrientation splitOrientation() const { return m_orientation; }
    void setAlignment(Alignment alignment);
    Alignment alignment() const { return m_alignment; }
    void setMinOffset(int offset) { m_minOffset = offset; }
    int minOffset() const { return m_minOffset; }
    void setMaxOffset(int offset) { m_maxOffset = offset; }
    int maxOffset() const { return m_maxOffset; }
    // The bar's width (moving left and right) or height (moving up and down).
    void setThickness(int thickness);
    int thickness() const;

    bool isDragging() const { return m_dragging; }
    // The ghost's place on the screen while dragging.
    QRect ghostRect() const { return m_ghost; }

protected:
    bool event(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool horizontal() const { return m_orientation == spHorizontal; }
    int leading(const QRect &rect) const;
    int along(QPoint point) const;
    QWidget *form() const;
    SplitBarMath::Limits formLimits() const;
    void showGhost();
    void endDrag();
    void resizePane(int travel);
    bool managedByLayout(const QWidget *widget) const;
    void keepToEdge();

    SplitOrientation m_orientation = spHorizontal;
    Alignment m_alignment = alNone;
    int m_minOffset = 0;
    int m_maxOffset = 0;

    // Drag state, reset when a drag ends.
    bool m_dragging = false;
    QRect m_ghost;
    int m_grabOffset = 0;
    SplitBarMath::Limits m_limits{0, 0};
    QPoint m_downPoint;
    QPointer<QRubberBand> m_ghostBand;
};
