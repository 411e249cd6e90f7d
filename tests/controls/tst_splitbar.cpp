#include "support/WidgetTestMain.h"

#include "controls/SplitBarMath.h"
#include "controls/TSplitBar.h"

#include <QHBoxLayout>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRubberBand>

using namespace SplitBarMath;

namespace {

void moveTo(QWidget *widget, QPoint global, Qt::MouseButton held)
{
    const QPoint local = widget->mapFromGlobal(global);
    QMouseEvent event(QEvent::MouseMove, local, global, Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Presses on the bar, moves the pointer by the given distances in turn and releases.
void drag(TSplitBar *bar, QList<QPoint> moves, Qt::MouseButton button = Qt::LeftButton)
{
    const QPoint grab(2, 10);
    QTest::mousePress(bar, button, {}, grab);
    QPoint global = bar->mapToGlobal(grab);
    for (const QPoint &step : moves) {
        global += step;
        moveTo(bar, global, button);
    }
    QTest::mouseRelease(bar, button, {}, bar->mapFromGlobal(global));
}

} // namespace

class TstSplitBar : public QObject
{
    Q_OBJECT

private slots:
    void clamp_data();
    void clamp();
    void paneSize_data();
    void paneSize();

    void dragWidensLeftPane_data();
    void dragWidensLeftPane();
    void ghostFollowsUntilRelease();
    void clickLeavesPaneAlone();
    void rightPaneInLayoutKeepsFarEdge();
    void verticalBarResizesTopPane();
    void childWindowIsTheForm();
};

void TstSplitBar::clamp_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("leading");
    QTest::addColumn<int>("minOffset");
    QTest::addColumn<int>("maxOffset");
    QTest::addColumn<int>("expected");

    // Form from 100 to 500 (exclusive), a 4-pixel bar.
    QTest::newRow("inside") << int(alRight) << 250 << 0 << 0 << 250;
    QTest::newRow("right bar past low edge") << int(alRight) << 40 << 0 << 0 << 100;
    QTest::newRow("right bar past high edge") << int(alRight) << 600 << 0 << 0 << 496;
    QTest::newRow("right bar keeps MinOffset low") << int(alRight) << 120 << 30 << 0 << 130;
    QTest::newRow("right bar keeps MaxOffset high") << int(alRight) << 480 << 0 << 50 << 446;
    QTest::newRow("left bar keeps MaxOffset low") << int(alLeft) << 120 << 0 << 30 << 130;
    QTest::newRow("left bar keeps MinOffset high") << int(alLeft) << 480 << 50 << 0 << 446;
    QTest::newRow("bottom bar like right") << int(alBottom) << 120 << 30 << 50 << 130;
    QTest::newRow("top bar like left") << int(alTop) << 480 << 50 << 30 << 446;
    // Offsets larger than the form: the high side is corrected last and wins.
    QTest::newRow("too small, high wins") << int(alRight) << 50 << 300 << 300 << 196;
    QTest::newRow("too small, high wins left") << int(alLeft) << 50 << 300 << 300 << 196;
    QTest::newRow("no alignment, no clamping") << int(alNone) << 40 << 10 << 10 << 40;
}

void TstSplitBar::clamp()
{
    QFETCH(int, alignment);
    QFETCH(int, leading);
    QFETCH(int, minOffset);
    QFETCH(int, maxOffset);
    QFETCH(int, expected);
    QCOMPARE(clampLeading(leading, 4, Limits{100, 500}, Alignment(alignment), minOffset,
                          maxOffset),
             expected);
}

void TstSplitBar::paneSize_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expected");

    // travel = start - end: positive when the bar moved left or up.
    QTest::newRow("right bar moved right 50") << int(alRight) << 200 << 250 << 150 << 200;
    QTest::newRow("right bar moved left 30") << int(alRight) << 200 << 170 << 150 << 120;
    QTest::newRow("left bar moved left 30") << int(alLeft) << 200 << 170 << 150 << 180;
    QTest::newRow("top bar moved up 20") << int(alTop) << 200 << 180 << 100 << 120;
    QTest::newRow("bottom bar moved up 20") << int(alBottom) << 200 << 180 << 100 << 80;
    QTest::newRow("no alignment") << int(alNone) << 200 << 100 << 100 << 100;
    QTest::newRow("no travel") << int(alRight) << 200 << 200 << 2 << 2;
    // A pane is never squeezed thinner than the bar (4), or the bar could not be reached.
    QTest::newRow("never thinner than the bar") << int(alRight) << 200 << 0 << 150 << 4;
}

void TstSplitBar::paneSize()
{
    QFETCH(int, alignment);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, size);
    QFETCH(int, expected);
    QCOMPARE(newPaneSize(Alignment(alignment), size, travel(start, end), 4), expected);
}

void TstSplitBar::dragWidensLeftPane_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left button") << Qt::LeftButton;
    QTest::newRow("right button") << Qt::RightButton;
}

void TstSplitBar::dragWidensLeftPane()
{
    QFETCH(Qt::MouseButton, button);
    QWidget form;
    form.resize(400, 300);
    auto *pane = new QWidget(&form);
    pane->setGeometry(0, 0, 150, 300);
    auto *bar = new TSplitBar(pane);
    bar->setAlignment(TSplitBar::alRight);
    form.show();
    QCOMPARE(bar->geometry(), QRect(146, 0, 4, 300));

    drag(bar, {QPoint(20, 0), QPoint(30, 5)}, button);
    QCOMPARE(pane->width(), 200);
    QCOMPARE(pane->x(), 0);
    QCOMPARE(bar->geometry(), QRect(196, 0, 4, 300)); // the bar follows the pane's edge
    QVERIFY(!bar->isDragging());

    // Past the form's right edge the ghost stops at it (MaxOffset 0).
    drag(bar, {QPoint(1000, 0)});
    QCOMPARE(pane->width(), 400);
    bar->setMinOffset(60);
    drag(bar, {QPoint(-1000, 0)});
    QCOMPARE(pane->width(), 64);
}

void TstSplitBar::ghostFollowsUntilRelease()
{
    QWidget form;
    form.resize(400, 300);
    auto *pane = new QWidget(&form);
    pane->setGeometry(0, 0, 150, 300);
    auto *bar = new TSplitBar(pane);
    bar->setAlignment(TSplitBar::alRight);
    bar->setMaxOffset(100);
    form.show();

    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(1, 50));
    QVERIFY(bar->isDragging());
    const QRect start = bar->ghostRect();
    QCOMPARE(start, QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size()));
    const auto bands = form.findChildren<QRubberBand *>();
    QCOMPARE(bands.size(), 1);
    QVERIFY(bands.first()->isVisible());

    moveTo(bar, bar->mapToGlobal(QPoint(41, 80)), Qt::LeftButton);
    QCOMPARE(bar->ghostRect(), start.translated(40, 0)); // only along the bar's axis
    QCOMPARE(bands.first()->geometry(), QRect(186, 0, 4, 300));
    QCOMPARE(pane->width(), 150); // not before the release

    // MaxOffset keeps the ghost 100 pixels from the form's far edge.
    moveTo(bar, bar->mapToGlobal(QPoint(500, 80)), Qt::LeftButton);
    QCOMPARE(bar->ghostRect().right() + 1, form.mapToGlobal(QPoint(300, 0)).x());

    // A second button pressed during the drag starts nothing new.
    QTest::mousePress(bar, Qt::RightButton, {}, QPoint(1, 50));
    QCOMPARE(bar->ghostRect().right() + 1, form.mapToGlobal(QPoint(300, 0)).x());

    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(1, 50));
    QCOMPARE(pane->width(), 300);
    QVERIFY(form.findChildren<QRubberBand *>().isEmpty());
}

void TstSplitBar::clickLeavesPaneAlone()
{
    QWidget form;
    form.resize(400, 300);
    auto *pane = new QWidget(&form);
    pane->setGeometry(0, 0, 150, 300);
    auto *bar = new TSplitBar(pane);
    bar->setAlignment(TSplitBar::alRight);
    form.show();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(pane->geometry(), QRect(0, 0, 150, 300));
    // A release with no drag running does nothing either.
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(pane->width(), 150);
}

void TstSplitBar::rightPaneInLayoutKeepsFarEdge()
{
    // A 9-pixel bar on the left edge of a pane docked right, laid out by the form.
    QWidget form;
    form.resize(400, 300);
    auto *layout = new QHBoxLayout(&form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *rest = new QWidget;
    auto *pane = new QWidget;
    pane->setFixedWidth(150);
    layout->addWidget(rest);
    layout->addWidget(pane);
    auto *bar = new TSplitBar(pane);
    bar->setThickness(9);
    bar->setAlignment(TSplitBar::alLeft);
    form.show();
    QCOMPARE(bar->geometry(), QRect(0, 0, 9, 300));

    drag(bar, {QPoint(-60, 0)});
    QCOMPARE(pane->width(), 210);
    QTRY_COMPARE(pane->geometry().right(), 399); // once the form has laid itself out
    QCOMPARE(pane->minimumWidth(), 210);
}

void TstSplitBar::verticalBarResizesTopPane()
{
    QWidget form;
    form.resize(300, 400);
    auto *pane = new QWidget(&form);
    pane->setGeometry(0, 0, 300, 100);
    auto *bar = new TSplitBar(pane);
    bar->setSplitOrientation(TSplitBar::spVertical);
    bar->setAlignment(TSplitBar::alBottom);
    form.show();
    QCOMPARE(bar->geometry(), QRect(0, 96, 300, 4));
    QCOMPARE(bar->cursor().shape(), Qt::SplitHCursor);

    drag(bar, {QPoint(30, 70)});
    QCOMPARE(pane->geometry(), QRect(0, 0, 300, 170));
}

void TstSplitBar::childWindowIsTheForm()
{
    // In an MDI child the ghost stops at the child's client edge, not at the frame's, and is
    // drawn in the frame.
    QMainWindow frame;
    frame.resize(800, 600);
    auto *area = new QMdiArea;
    frame.setCentralWidget(area);
    auto *child = new QWidget;
    child->resize(300, 200);
    auto *pane = new QWidget(child);
    pane->setGeometry(0, 0, 100, 200);
    auto *bar = new TSplitBar(pane);
    bar->setAlignment(TSplitBar::alRight);
    QMdiSubWindow *sub = area->addSubWindow(child);
    frame.show();
    sub->show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));

    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(2, 10));
    moveTo(bar, bar->mapToGlobal(QPoint(600, 10)), Qt::LeftButton);
    QCOMPARE(bar->ghostRect().right() + 1, child->mapToGlobal(QPoint(child->width(), 0)).x());
    QCOMPARE(frame.findChildren<QRubberBand *>().size(), 1);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(2, 10));
    QCOMPARE(pane->width(), child->width());
}

QUORVEL_WIDGET_TEST_MAIN(TstSplitBar)
#include "tst_splitbar.moc"
