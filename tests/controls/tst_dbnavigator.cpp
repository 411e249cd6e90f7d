#include "support/WidgetTestMain.h"

#include "controls/TDBNavigator.h"
#include "controls/TOfficeButton.h"

#include <QSignalSpy>

using Button = TDBNavigator::Button;

class TstDBNavigator : public QObject
{
    Q_OBJECT

private slots:
    void buttons_data();
    void buttons();
    void buttonsStandLeftToRight();
};

void TstDBNavigator::buttons_data()
{
    QTest::addColumn<Button>("which");
    QTest::addColumn<QString>("hint");
    QTest::newRow("first") << Button::First << QStringLiteral("First record");
    QTest::newRow("prior") << Button::Prior << QStringLiteral("Prior record");
    QTest::newRow("next") << Button::Next << QStringLiteral("Next record");
    QTest::newRow("last") << Button::Last << QStringLiteral("Last record");
    QTest::newRow("insert") << Button::Insert << QStringLiteral("Insert record");
    QTest::newRow("delete") << Button::Delete << QStringLiteral("Delete record");
    QTest::newRow("edit") << Button::Edit << QStringLiteral("Edit record");
    QTest::newRow("post") << Button::Post << QStringLiteral("Post edit");
    QTest::newRow("cancel") << Button::Cancel << QStringLiteral("Cancel edit");
    QTest::newRow("refresh") << Button::Refresh << QStringLiteral("Refresh data");
}

void TstDBNavigator::buttons()
{
    QFETCH(Button, which);
    QFETCH(QString, hint);
    TDBNavigator navigator;
    navigator.show();
    TOfficeButton *button = navigator.button(which);
    QCOMPARE(button->accessibleName(), hint);
    QCOMPARE(button->toolTip(), hint);
    QVERIFY(!button->glyph().isNull());

    QSignalSpy clicked(&navigator, &TDBNavigator::buttonClicked);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).value<Button>(), which);

    navigator.setButtonEnabled(which, false);
    QVERIFY(!button->isEnabled());
    button->click();
    QCOMPARE(clicked.count(), 1);
}

void TstDBNavigator::buttonsStandLeftToRight()
{
    TDBNavigator navigator;
    navigator.show();
    int left = -1;
    for (int i = 0; i < TDBNavigator::ButtonCount; ++i) {
        const TOfficeButton *button = navigator.button(Button(i));
        QVERIFY(button->x() > left);
        QCOMPARE(button->size(), QSize(24, 24));
        left = button->x();
    }
}

QUORVEL_WIDGET_TEST_MAIN(TstDBNavigator)
#include "tst_dbnavigator.moc"
