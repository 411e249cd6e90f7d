#include "catalog/TDomainsForm.h"
#include "catalog/TExceptionsForm.h"
#include "catalog/TFormTblStr.h"
#include "catalog/TFormTriggers.h"
#include "catalog/TGeneratorsForm.h"
#include "catalog/TStoredProcsForm.h"
#include "catalog/TTrigSourceForm.h"
#include "controls/ClassicPalette.h"
#include "controls/TOfficeButton.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestSession.h"
#include "support/TestShell.h"
#include "workbench/TSQLExprForm.h"

#include <QEnterEvent>
#include <QTest>

#include <cstdlib>
#include <functional>

// The real windows' tool bars as the user sees them in the program's colours:
// grey pictures, plainly seen, until the mouse comes, then the coloured picture on a raised button, sunken while
// pressed.
class TestToolBarLook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void toolBar_data();
    void toolBar();
};

namespace {

using Opener = std::function<QWidget *()>;

bool neutral(QRgb pixel)
{
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
}

// Pixels a user can tell from the button face at a glance.
int standingOut(const QImage &image, QRgb face)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += std::abs(qGray(image.pixel(x, y)) - qGray(face)) >= 40 ? 1 : 0;
    }
    return count;
}

// Only grey shades on the button face.
bool allGrey(const QImage &image, QRgb face)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!neutral(image.pixel(x, y)) && image.pixel(x, y) != face)
                return false;
        }
    }
    return true;
}

QImage shot(TOfficeButton *button)
{
    return button->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void enter(TOfficeButton *button)
{
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(button, &event);
}

// Drags off the button before letting go, so no command runs.
void releaseOutside(TOfficeButton *button)
{
    const QPoint outside(-20, -20);
    QMouseEvent move(QEvent::MouseMove, outside, button->mapToGlobal(outside), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &move);
    QTest::mouseRelease(button, Qt::LeftButton, {}, outside);
}

void leave(TOfficeButton *button)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(button, &event);
}

} // namespace

// The program's own colours, as it starts with them.
void TestToolBarLook::initTestCase()
{
    ClassicPalette::apply();
}

void TestToolBarLook::toolBar_data()
{
    QTest::addColumn<Opener>("open");
    QTest::newRow("domains") << Opener([] { return TDomainsForm::open(); });
    QTest::newRow("exceptions") << Opener([] { return TExceptionsForm::open(); });
    QTest::newRow("generators") << Opener([] { return TGeneratorsForm::open(); });
    QTest::newRow("procedures") << Opener([] { return TStoredProcsForm::open(); });
    QTest::newRow("triggers") << Opener([] { return TFormTriggers::open(); });
    QTest::newRow("trigger editor") << Opener([] { return TTrigSourceForm::open(); });
    QTest::newRow("structure") << Opener([] { return TFormTblStr::open(); });
    QTest::newRow("DDL statements") << Opener([] { return TSQLExprForm::open(); });
}

void TestToolBarLook::toolBar()
{
    QFETCH(Opener, open);
    TestSession session(true);
    ScriptedPrompts prompts; // nothing may wait on a real box when the windows close
    TestShell shell;
    shell.area.resize(900, 700);
    shell.area.show();
    QWidget *form = open();
    QVERIFY(form);
    QVERIFY(QTest::qWaitForWindowExposed(form));

    int withPicture = 0;
    int colouredWhenHot = 0;
    for (TOfficeButton *button : form->findChildren<TOfficeButton *>()) {
        if (button->glyph().isNull() || !button->isEnabled() || !button->isVisible())
            continue;
        ++withPicture;
        const QString name = button->toolTip();
        const QPalette palette = button->palette();
        const QRgb face = palette.color(QPalette::Button).rgb();
        const QRgb light = palette.color(QPalette::Light).rgb();
        const QRgb dark = palette.color(QPalette::Dark).rgb();
        const int right = button->width() - 1;
        const int bottom = button->height() - 1;
        const int x = button->width() / 2;
        const int y = button->height() / 2;

        const QImage idle = shot(button);
        if (!button->down()) {
            // A caption's smoothed edges blend into the face; only pictures are grey.
            QVERIFY2(!button->caption().isEmpty() || allGrey(idle, face), qPrintable(name));
            QCOMPARE(idle.pixel(0, y), face);
            // The grey picture must still be seen, not just its hover.
            QVERIFY2(standingOut(idle, face) >= 50, qPrintable(name));
        }

        enter(button);
        const QImage hot = shot(button);
        QVERIFY2(hot != idle, qPrintable(name));
        colouredWhenHot += allGrey(hot, face) ? 0 : 1;
        if (!button->down()) {
            QCOMPARE(hot.pixel(0, y), light);
            QCOMPARE(hot.pixel(right, y), dark);
        }

        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
        const QImage pressed = shot(button);
        QVERIFY2(pressed.pixel(0, y) == dark, qPrintable(name));
        QVERIFY2(pressed.pixel(x, 0) == dark, qPrintable(name));
        // The picture moves one pixel right and down, and must leave the bevel whole.
        QVERIFY2(pressed.pixel(right, y) == light, qPrintable(name));
        QVERIFY2(pressed.pixel(x, bottom) == light, qPrintable(name));
        releaseOutside(button);
        leave(button);
    }
    QVERIFY(withPicture > 0);
    // Every window's pictures are coloured; the grey ones are only their idle look.
    QVERIFY(colouredWhenHot > 0);
}

QUORVEL_TEST_MAIN(TestToolBarLook)
#include "tst_toolbarlook.moc"
