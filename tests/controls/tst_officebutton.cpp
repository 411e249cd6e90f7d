#include "support/WidgetTestMain.h"

#include "controls/ButtonPicture.h"
#include "controls/OfficeButtonGeometry.h"
#include "controls/TOfficeButton.h"

#include <QEnterEvent>
#include <QMenu>
#include <QSignalSpy>

using namespace OfficeButtonGeometry;
using ButtonPicture::ShadingType;

namespace {

constexpr QRgb Magenta = 0xffff00ffu;
constexpr QRgb Highlight = 0xffe0e0e0u;
constexpr QRgb Shadow = 0xff808080u;
constexpr QRgb White = 0xffffffffu;
constexpr QRgb Black = 0xff000000u;

QRgb greyOfSum(int sum)
{
    const int third = sum / 3;
    return qRgb(third, third, sum - 2 * third);
}

// A 24 by 24 picture keyed on magenta with an 8 by 8 block of one colour at (8, 8).
QPixmap blockPicture(QRgb block)
{
    QImage image(24, 24, QImage::Format_RGB32);
    image.fill(Magenta);
    for (int y = 8; y < 16; ++y) {
        for (int x = 8; x < 16; ++x)
            image.setPixel(x, y, block);
    }
    return QPixmap::fromImage(image);
}

void sendEnter(QWidget *widget)
{
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(widget, &event);
}

void sendMove(QWidget *widget, QPoint pos)
{
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void clickAt(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5));
}

} // namespace

class TstOfficeButton : public QObject
{
    Q_OBJECT

private slots:
    void greyPixel_data();
    void greyPixel();
    void greyImageLeavesKeyColour();
    void embossMaskTakesDarkPixelsOnly();
    void placeFace_data();
    void placeFace();
    void triangleMark();
    void bevelAndDownPattern();
    void accelerators_data();
    void accelerators();
    void fittedCaptionEndsInEllipsis();

    void newButtonClicksAndPopsUp();
    void downOnlyInGroup();
    void groupToggling_data();
    void groupToggling();
    void hintFollowsIconOnlyCaption();
    void clickOnlyOnReleaseInside_data();
    void clickOnlyOnReleaseInside();
    void disabledIgnoresMouse();
    void enabledChangeClearsState();
    void acceleratorKeyClicks();
    void dropDownMenuOpensWithoutClick();
    void rightReleaseCancelsWithPopupMenu();
    void facePixels_data();
    void facePixels();
};

void TstOfficeButton::greyPixel_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QRgb>("pixel");
    QTest::addColumn<QRgb>("expected");

    // The cases named for this button, then each threshold and one above it.
    QTest::newRow("light 180") << int(ButtonPicture::stLight) << qRgb(60, 60, 60) << Highlight;
    QTest::newRow("medium 180") << int(ButtonPicture::stMedium) << qRgb(60, 60, 60) << Shadow;
    QTest::newRow("dark 180") << int(ButtonPicture::stDark) << qRgb(60, 60, 60) << Shadow;
    for (int type : {0, 1, 2}) {
        QTest::addRow("type %d sum 600", type) << type << qRgb(200, 200, 200) << White;
    }
    QTest::newRow("medium 60") << int(ButtonPicture::stMedium) << qRgb(20, 20, 20) << Shadow;
    QTest::newRow("light 60") << int(ButtonPicture::stLight) << qRgb(20, 20, 20) << Black;
    QTest::newRow("dark 60") << int(ButtonPicture::stDark) << qRgb(20, 20, 20) << Black;

    const struct
    {
        ShadingType type;
        int high, middle, low;
    } limits[] = {{ButtonPicture::stLight, 205, 127, 68},
                  {ButtonPicture::stMedium, 553, 231, 57},
                  {ButtonPicture::stDark, 335, 274, 175}};
    for (const auto &l : limits) {
        const int t = int(l.type);
        QTest::addRow("type %d at high", t) << t << greyOfSum(l.high) << Highlight;
        QTest::addRow("type %d above high", t) << t << greyOfSum(l.high + 1) << White;
        QTest::addRow("type %d at middle", t) << t << greyOfSum(l.middle) << Shadow;
        QTest::addRow("type %d above middle", t) << t << greyOfSum(l.middle + 1) << Highlight;
        QTest::addRow("type %d at low", t) << t << greyOfSum(l.low) << Black;
        QTest::addRow("type %d above low", t) << t << greyOfSum(l.low + 1) << Shadow;
    }
    // Only the sum counts, not the hue.
    QTest::newRow("pure red 255") << int(ButtonPicture::stMedium) << qRgb(255, 0, 0) << Highlight;
}

void TstOfficeButton::greyPixel()
{
    QFETCH(int, type);
    QFETCH(QRgb, pixel);
    QFETCH(QRgb, expected);
    // Through the whole image, so that the key-colour test is part of the path.
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, Magenta);
    image.setPixel(1, 0, pixel);
    const QImage grey =
        ButtonPicture::greyImage(image, ShadingType(type), Highlight, Shadow);
    QCOMPARE(grey.pixel(1, 0), expected);
    QCOMPARE(grey.pixel(0, 0), Magenta);
}

void TstOfficeButton::greyImageLeavesKeyColour()
{
    // The key is whatever pixel (0, 0) holds, here white: white pixels stay as they are even
    // though a white pixel would otherwise become white anyway; a dark one is shaded.
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    image.setPixel(1, 0, qRgb(1, 2, 3));
    image.setPixel(2, 0, qRgb(200, 200, 200));
    const QImage grey = ButtonPicture::greyImage(image, ButtonPicture::stMedium, Highlight,
                                                 Shadow);
    QCOMPARE(grey.size(), image.size());
    QCOMPARE(grey.pixel(1, 0), qRgb(1, 2, 3));
    QCOMPARE(grey.pixel(2, 0), White);

    const QImage keyed = ButtonPicture::keyedOut(image);
    QCOMPARE(qAlpha(keyed.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(keyed.pixel(1, 0)), 0);
    QCOMPARE(keyed.pixel(2, 0), qRgb(200, 200, 200));
    QVERIFY(ButtonPicture::greyImage(QImage(), ButtonPicture::stDark, 0, 0).isNull());
}

void TstOfficeButton::embossMaskTakesDarkPixelsOnly()
{
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, Magenta);
    image.setPixel(1, 0, qRgb(20, 20, 20));
    image.setPixel(2, 0, qRgb(250, 250, 250));
    image.setPixel(3, 0, Magenta);
    const QImage mask = ButtonPicture::embossMask(image);
    QCOMPARE(mask.pixelIndex(0, 0), 0);
    QCOMPARE(mask.pixelIndex(1, 0), 1);
    QCOMPARE(mask.pixelIndex(2, 0), 0);
    QCOMPARE(mask.pixelIndex(3, 0), 0);
}

void TstOfficeButton::placeFace_data()
{
    QTest::addColumn<QSize>("button");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("caption");
    QTest::addColumn<bool>("mark");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<QPoint>("pictureAt");
    QTest::addColumn<QRect>("captionAt");

    const QSize none(0, 0);
    const QSize p16(16, 16);
    const QSize t30(30, 13);
    const QSize t40(40, 13);
    QTest::newRow("24 picture fills button") << QSize(24, 24) << QSize(24, 24) << none << false
        << int(blBitmapTop) << int(taCenter) << false << QPoint(0, 0) << QRect(12, 24, 0, 0);
    QTest::newRow("odd room drops remainder") << QSize(24, 24) << QSize(21, 21) << none
        << false << int(blBitmapTop) << int(taCenter) << false << QPoint(1, 1)
        << QRect(12, 22, 0, 0);
    QTest::newRow("top centre") << QSize(50, 40) << p16 << t30 << false << int(blBitmapTop)
        << int(taCenter) << false << QPoint(17, 4) << QRect(10, 22, 30, 13);
    QTest::newRow("bottom left") << QSize(50, 40) << p16 << t30 << false << int(blBitmapBottom)
        << int(taLeftJustify) << false << QPoint(3, 19) << QRect(3, 4, 30, 13);
    QTest::newRow("top right") << QSize(50, 40) << p16 << t30 << false << int(blBitmapTop)
        << int(taRightJustify) << false << QPoint(31, 4) << QRect(17, 22, 30, 13);
    QTest::newRow("negative room rounds toward zero") << QSize(24, 24) << p16 << QSize(20, 13)
        << false << int(blBitmapTop) << int(taCenter) << false << QPoint(4, -3)
        << QRect(2, 15, 20, 13);
    QTest::newRow("left centre") << QSize(80, 24) << p16 << t40 << false << int(blBitmapLeft)
        << int(taCenter) << false << QPoint(11, 4) << QRect(29, 5, 40, 13);
    QTest::newRow("left left") << QSize(80, 24) << p16 << t40 << false << int(blBitmapLeft)
        << int(taLeftJustify) << false << QPoint(3, 4) << QRect(21, 5, 40, 13);
    QTest::newRow("left right") << QSize(80, 24) << p16 << t40 << false << int(blBitmapLeft)
        << int(taRightJustify) << false << QPoint(19, 4) << QRect(37, 5, 40, 13);
    QTest::newRow("right left") << QSize(80, 24) << p16 << t40 << false << int(blBitmapRight)
        << int(taLeftJustify) << false << QPoint(45, 4) << QRect(3, 5, 40, 13);
    QTest::newRow("right right") << QSize(80, 24) << p16 << t40 << false << int(blBitmapRight)
        << int(taRightJustify) << false << QPoint(61, 4) << QRect(19, 5, 40, 13);
    QTest::newRow("right centre") << QSize(80, 24) << p16 << t40 << false << int(blBitmapRight)
        << int(taCenter) << false << QPoint(53, 4) << QRect(11, 5, 40, 13);
    QTest::newRow("side by side shrinks caption") << QSize(50, 24) << p16 << t40 << false
        << int(blBitmapLeft) << int(taCenter) << false << QPoint(2, 4) << QRect(20, 5, 28, 13);
    QTest::newRow("caption only centre") << QSize(50, 24) << none << t30 << false
        << int(blBitmapTop) << int(taCenter) << false << QPoint(0, 0) << QRect(10, 5, 30, 13);
    QTest::newRow("caption only right") << QSize(50, 24) << none << t30 << false
        << int(blBitmapLeft) << int(taRightJustify) << false << QPoint(0, 0)
        << QRect(17, 5, 30, 13);
    QTest::newRow("caption only with mark") << QSize(50, 24) << none << t40 << true
        << int(blBitmapTop) << int(taCenter) << false << QPoint(0, 0) << QRect(0, 5, 36, 13);
    QTest::newRow("caption only with mark, right") << QSize(50, 24) << none << t40 << true
        << int(blBitmapTop) << int(taRightJustify) << false << QPoint(0, 0)
        << QRect(-3, 5, 36, 13);
    QTest::newRow("picture with mark") << QSize(40, 24) << p16 << none << true
        << int(blBitmapTop) << int(taCenter) << false << QPoint(7, 4) << QRect(20, 20, 0, 0);
    QTest::newRow("wrap narrows caption") << QSize(50, 40) << p16 << QSize(46, 13) << false
        << int(blBitmapTop) << int(taLeftJustify) << true << QPoint(3, 4)
        << QRect(3, 22, 42, 13);
    QTest::newRow("no wrap keeps caption") << QSize(50, 40) << p16 << QSize(46, 13) << false
        << int(blBitmapTop) << int(taLeftJustify) << false << QPoint(3, 4)
        << QRect(3, 22, 46, 13);
}

void TstOfficeButton::placeFace()
{
    QFETCH(QSize, button);
    QFETCH(QSize, picture);
    QFETCH(QSize, caption);
    QFETCH(bool, mark);
    QFETCH(int, layout);
    QFETCH(int, alignment);
    QFETCH(bool, wrap);
    QFETCH(QPoint, pictureAt);
    QFETCH(QRect, captionAt);

    FaceInput in;
    in.button = button;
    in.picture = picture;
    in.caption = caption;
    in.captionCounts = !caption.isEmpty();
    in.markShown = mark;
    in.layout = ButtonLayout(layout);
    in.alignment = CaptionAlignment(alignment);
    in.wordWrap = wrap;
    const FaceLayout face = OfficeButtonGeometry::placeFace(in);
    if (!picture.isEmpty())
        QCOMPARE(face.picture, pictureAt);
    QCOMPARE(face.caption, captionAt);
}

void TstOfficeButton::triangleMark()
{
    const QList<QPoint> pixels = triangleMarkPixels(QPoint(10, 20));
    QCOMPARE(pixels.size(), 16);
    QSet<QPoint> expected;
    for (int x = 10; x <= 16; ++x)
        expected.insert(QPoint(x, 19));
    for (int x = 11; x <= 15; ++x)
        expected.insert(QPoint(x, 20));
    for (int x = 12; x <= 14; ++x)
        expected.insert(QPoint(x, 21));
    expected.insert(QPoint(13, 22));
    QCOMPARE(QSet<QPoint>(pixels.begin(), pixels.end()), expected);

    const FaceLayout withPicture{QPoint(7, 4), QRect(20, 20, 0, 0)};
    QCOMPARE(triangleMarkOrigin(withPicture, QSize(16, 16), 0, false), QPoint(26, 12));
    QCOMPARE(triangleMarkOrigin(withPicture, QSize(16, 16), 0, true), QPoint(27, 13));
    const FaceLayout captionOnly{QPoint(), QRect(0, 5, 36, 13)};
    QCOMPARE(triangleMarkOrigin(captionOnly, QSize(), 13, false), QPoint(39, 11));
    QCOMPARE(triangleMarkOrigin(captionOnly, QSize(), 13, true), QPoint(40, 12));
}

void TstOfficeButton::bevelAndDownPattern()
{
    const BevelStrokes strokes = bevelStrokes(QSize(4, 3));
    QCOMPARE(strokes.first, (QList<QPoint>{{0, 2}, {0, 1}, {0, 0}, {1, 0}, {2, 0}}));
    QCOMPARE(strokes.second,
             (QList<QPoint>{{3, 0}, {3, 1}, {3, 2}, {2, 2}, {1, 2}, {0, 2}}));

    const QImage pattern = downPattern(Shadow, White);
    QCOMPARE(pattern.size(), QSize(8, 8));
    QCOMPARE(pattern.pixel(0, 0), White);
    QCOMPARE(pattern.pixel(1, 1), White);
    QCOMPARE(pattern.pixel(1, 0), Shadow);
    QCOMPARE(pattern.pixel(6, 7), Shadow);
}

void TstOfficeButton::accelerators_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("plain");
    QTest::newRow("leading") << QStringLiteral("&System ") << QStringLiteral("System ");
    QTest::newRow("double") << QStringLiteral("A&&B") << QStringLiteral("A&B");
    QTest::newRow("trailing") << QStringLiteral("Tail&") << QStringLiteral("Tail");
    QTest::newRow("none") << QStringLiteral("Table") << QStringLiteral("Table");
}

void TstOfficeButton::accelerators()
{
    QFETCH(QString, caption);
    QFETCH(QString, plain);
    QCOMPARE(withoutAccelerators(caption), plain);
}

void TstOfficeButton::fittedCaptionEndsInEllipsis()
{
    const QFontMetrics metrics(QApplication::font());
    const QString caption = QStringLiteral("A caption far too long for a tool button");
    const QString fitted = fittedCaption(metrics, caption, 60, false);
    QVERIFY(fitted.endsWith(QChar(0x2026)));
    QVERIFY(metrics.horizontalAdvance(fitted) <= 60);
    QCOMPARE(fittedCaption(metrics, QStringLiteral("Table"), 60, false),
             QStringLiteral("Table"));
}

// A button as the tool bars create it: a 24-pixel square that clicks once
// per press and pops back up, its caption in the window's text colour.
void TstOfficeButton::newButtonClicksAndPopsUp()
{
    QWidget parent;
    auto *button = new TOfficeButton(&parent);
    QCOMPARE(button->size(), QSize(24, 24));
    QCOMPARE(button->unselectedFontColor(), button->palette().color(QPalette::WindowText));
    parent.show();
    QSignalSpy clicks(button, &TOfficeButton::clicked);
    clickAt(button);
    clickAt(button);
    QCOMPARE(clicks.count(), 2);
    QVERIFY(!button->down());
}

void TstOfficeButton::downOnlyInGroup()
{
    QWidget parent;
    auto *button = new TOfficeButton(&parent);
    button->setDown(true);
    QVERIFY(!button->down());
    button->setGroupIndex(2);
    button->setDown(true);
    QVERIFY(button->down());
    button->setGroupIndex(0);
    QVERIFY(!button->down());
}

void TstOfficeButton::groupToggling_data()
{
    QTest::addColumn<bool>("allowAllUp");
    QTest::newRow("all up refused") << false;
    QTest::newRow("all up allowed") << true;
}

void TstOfficeButton::groupToggling()
{
    QFETCH(bool, allowAllUp);
    QWidget parent;
    auto *first = new TOfficeButton(&parent);
    auto *second = new TOfficeButton(&parent);
    QWidget elsewhere(&parent);
    auto *stranger = new TOfficeButton(&elsewhere); // same group number, other parent
    for (TOfficeButton *b : {first, second, stranger})
        b->setGroupIndex(1);
    first->setAllowAllUp(allowAllUp);
    QCOMPARE(second->allowAllUp(), allowAllUp);
    QVERIFY(!stranger->allowAllUp());
    parent.show();

    stranger->setDown(true);
    first->setDown(true);
    QVERIFY(stranger->down());

    QSignalSpy clicks(second, &TOfficeButton::clicked);
    clickAt(second);
    QVERIFY(second->down());
    QVERIFY(!first->down());
    QCOMPARE(clicks.count(), 1);

    clickAt(second);
    QCOMPARE(second->down(), !allowAllUp);
    QCOMPARE(clicks.count(), 2);
}

void TstOfficeButton::hintFollowsIconOnlyCaption()
{
    TOfficeButton button;
    button.setCaption(QStringLiteral("&Table"));
    QVERIFY(button.hint().isEmpty());
    QCOMPARE(button.accessibleName(), QStringLiteral("Table"));

    button.setOptions(button.options() | TOfficeButton::boIconOnly);
    QCOMPARE(button.hint(), QStringLiteral("Table"));
    QCOMPARE(button.toolTip(), QStringLiteral("Table"));
    QVERIFY(button.showHint());

    button.setCaption(QStringLiteral("&View"));
    QCOMPARE(button.hint(), QStringLiteral("View"));
    QCOMPARE(button.statusTip(), QStringLiteral("View"));
    QCOMPARE(button.accessibleName(), QStringLiteral("View"));

    button.setOptions(button.options() & ~TOfficeButton::boIconOnly);
    QVERIFY(button.hint().isEmpty());
    QVERIFY(!button.showHint());

    // A hint of its own survives the option.
    button.setHint(QStringLiteral("Select view"));
    button.setOptions(button.options() | TOfficeButton::boIconOnly);
    button.setOptions(button.options() & ~TOfficeButton::boIconOnly);
    QCOMPARE(button.hint(), QStringLiteral("Select view"));
    QCOMPARE(button.accessibleName(), QStringLiteral("Select view"));
}

void TstOfficeButton::clickOnlyOnReleaseInside_data()
{
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<int>("clicks");
    QTest::newRow("inside") << QPoint(20, 20) << 1;
    QTest::newRow("outside") << QPoint(40, 5) << 0;
}

void TstOfficeButton::clickOnlyOnReleaseInside()
{
    QFETCH(QPoint, releaseAt);
    QFETCH(int, clicks);
    QWidget window;
    window.resize(100, 50);
    auto *button = new TOfficeButton(&window);
    window.show();
    QSignalSpy clicked(button, &TOfficeButton::clicked);
    QSignalSpy exited(button, &TOfficeButton::exited);

    sendEnter(button);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(button->isPressed() && button->isHot());
    QCOMPARE(clicked.count(), 0);
    sendMove(button, releaseAt);
    QCOMPARE(exited.count(), 1 - clicks);
    QTest::mouseRelease(button, Qt::LeftButton, {}, releaseAt);
    QCOMPARE(clicked.count(), clicks);
    QVERIFY(!button->isPressed());
    QCOMPARE(button->isHot(), clicks == 1);
}

void TstOfficeButton::disabledIgnoresMouse()
{
    QWidget window;
    auto *button = new TOfficeButton(&window);
    button->setGroupIndex(1);
    button->setEnabled(false);
    window.show();
    QSignalSpy clicked(button, &TOfficeButton::clicked);
    // Sent straight to the widget, past Qt's own filtering of disabled widgets.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5),
                        button->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    QVERIFY(!button->isPressed());
    QApplication::sendEvent(button, &release);
    QCOMPARE(clicked.count(), 0);
    QVERIFY(!button->down());
    button->click();
    QCOMPARE(clicked.count(), 0);
}

void TstOfficeButton::enabledChangeClearsState()
{
    QWidget window;
    auto *loose = new TOfficeButton(&window);
    auto *grouped = new TOfficeButton(&window);
    grouped->setGroupIndex(3);
    grouped->setDown(true);
    window.show();
    sendEnter(loose);
    QTest::mousePress(loose, Qt::LeftButton, {}, QPoint(5, 5));
    loose->setEnabled(false);
    QVERIFY(!loose->isPressed() && !loose->isHot());
    grouped->setEnabled(false);
    QVERIFY(grouped->down()); // a group keeps its choice while disabled
}

void TstOfficeButton::acceleratorKeyClicks()
{
    QWidget window;
    auto *button = new TOfficeButton(&window);
    button->setCaption(QStringLiteral("&System "));
    button->setGroupIndex(1);
    button->setAllowAllUp(true);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy clicked(button, &TOfficeButton::clicked);
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(button->down());
    QVERIFY(!button->isPressed());
    button->setCaption(QStringLiteral("&Other"));
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    QCOMPARE(clicked.count(), 1);
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    QCOMPARE(clicked.count(), 2);
    QVERIFY(!button->down());
}

void TstOfficeButton::dropDownMenuOpensWithoutClick()
{
    QWidget window;
    auto *button = new TOfficeButton(&window);
    QMenu menu;
    menu.addAction(QStringLiteral("Item"));
    button->setDropDownMenu(&menu);
    window.show();
    QSignalSpy clicked(button, &TOfficeButton::clicked);
    sendEnter(button);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(menu.isVisible());
    QCOMPARE(menu.pos(), button->mapToGlobal(QPoint(0, button->height())));
    menu.hide();
    QTRY_VERIFY(!button->isPressed());
    QCOMPARE(clicked.count(), 0);
}

void TstOfficeButton::rightReleaseCancelsWithPopupMenu()
{
    QWidget window;
    auto *plain = new TOfficeButton(&window);
    auto *withMenu = new TOfficeButton(&window);
    QMenu menu;
    withMenu->setPopupMenu(&menu);
    window.show();
    for (TOfficeButton *b : {plain, withMenu}) {
        sendEnter(b);
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(b, Qt::RightButton, {}, QPoint(5, 5));
    }
    QVERIFY(plain->isPressed());
    QVERIFY(!withMenu->isPressed());
}

void TstOfficeButton::facePixels_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("idle") << QStringLiteral("idle");
    QTest::newRow("hot") << QStringLiteral("hot");
    QTest::newRow("pressed") << QStringLiteral("pressed");
    QTest::newRow("down") << QStringLiteral("down");
    QTest::newRow("disabled") << QStringLiteral("disabled");
}

void TstOfficeButton::facePixels()
{
    QFETCH(QString, state);
    const QRgb blue = qRgb(20, 40, 60); // sum 120: shadow colour under stMedium
    QWidget window;
    auto *button = new TOfficeButton(&window);
    button->setGlyph(blockPicture(blue));
    button->setGroupIndex(state == QLatin1String("down") ? 1 : 0);
    window.show();
    if (state == QLatin1String("hot") || state == QLatin1String("pressed"))
        sendEnter(button);
    if (state == QLatin1String("pressed"))
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    if (state == QLatin1String("down"))
        button->setDown(true);
    if (state == QLatin1String("disabled"))
        button->setEnabled(false);

    const QPalette palette = button->palette();
    const QRgb face = palette.color(QPalette::Button).rgb();
    const QRgb light = palette.color(QPalette::Light).rgb();
    const QRgb dark = palette.color(QPalette::Dark).rgb();
    const QImage shot = button->grab().toImage().convertToFormat(QImage::Format_RGB32);

    // Magenta never reaches the face.
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            QVERIFY2(shot.pixel(x, y) != Magenta,
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    }
    if (state == QLatin1String("idle")) {
        QCOMPARE(shot.pixel(8, 8), dark);     // grey image
        QCOMPARE(shot.pixel(0, 5), face);     // no bevel
    } else if (state == QLatin1String("hot")) {
        QCOMPARE(shot.pixel(8, 8), blue);
        QCOMPARE(shot.pixel(0, 5), light);    // raised: highlight on the left
        QCOMPARE(shot.pixel(23, 5), dark);
    } else if (state == QLatin1String("pressed") || state == QLatin1String("down")) {
        QCOMPARE(shot.pixel(9, 9), blue);     // moved one pixel right and down
        QCOMPARE(shot.pixel(16, 16), blue);
        QVERIFY(shot.pixel(8, 8) != blue);
        QCOMPARE(shot.pixel(0, 5), dark);     // sunken
        QCOMPARE(shot.pixel(23, 5), light);
        if (state == QLatin1String("down")) {
            QCOMPARE(shot.pixel(2, 2), light); // checkerboard
            QCOMPARE(shot.pixel(3, 2), face);
        }
    } else {
        QCOMPARE(shot.pixel(8, 8), dark);     // embossed: shadow at the place
        QCOMPARE(shot.pixel(16, 16), light);  // highlight one pixel right and down
        QCOMPARE(shot.pixel(0, 5), face);
    }
}

QUORVEL_WIDGET_TEST_MAIN(TstOfficeButton)
#include "tst_officebutton.moc"
