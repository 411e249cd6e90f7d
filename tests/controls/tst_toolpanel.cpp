#include "support/WidgetTestMain.h"

#include "controls/TOfficeButton.h"
#include "controls/TToolPanel.h"

#include <QAccessible>
#include <QDir>
#include <QSignalSpy>

class TstToolPanel : public QObject
{
    Q_OBJECT

private slots:
    void buttonCarriesPictureAndHint();
    void captionButtonIsWideEnough();
    void everyPictureIsKeyed_data();
    void everyPictureIsKeyed();
    void accessibleButtonPresses();
};

void TstToolPanel::buttonCarriesPictureAndHint()
{
    TToolPanel panel;
    TOfficeButton *button = panel.addButton(QStringLiteral("new"), QStringLiteral("Create new"));
    QVERIFY(!button->glyph().isNull());
    QCOMPARE(button->glyph().size(), QSize(24, 24));
    QCOMPARE(button->size(), QSize(24, 24));
    QCOMPARE(button->toolTip(), QStringLiteral("Create new"));
    QCOMPARE(button->statusTip(), QStringLiteral("Create new"));
    QCOMPARE(button->accessibleName(), QStringLiteral("Create new"));
    QCOMPARE(panel.height(), TToolPanel::DefaultHeight);
}

void TstToolPanel::captionButtonIsWideEnough()
{
    TToolPanel panel;
    TOfficeButton *button = panel.addCaptionButton(QStringLiteral("system"),
                                                   QStringLiteral("&System "),
                                                   QStringLiteral("Show system generators"));
    const int text = button->fontMetrics().horizontalAdvance(QStringLiteral("System "));
    QVERIFY(button->width() >= 24 + 2 + text);
    // The caption is not cut: its rectangle holds the whole measured text.
    QVERIFY(button->faceLayout().caption.width() >= text);
    QCOMPARE(button->buttonLayout(), OfficeButtonGeometry::blBitmapLeft);
}

void TstToolPanel::everyPictureIsKeyed_data()
{
    QTest::addColumn<QString>("name");
    TToolPanel panel; // makes sure the pictures are registered
    const QStringList names = QDir(QStringLiteral(":/buttons")).entryList();
    QVERIFY(names.size() >= 20);
    for (const QString &file : names)
        QTest::newRow(qPrintable(file)) << file;
}

void TstToolPanel::everyPictureIsKeyed()
{
    QFETCH(QString, name);
    const QImage image(QStringLiteral(":/buttons/") + name);
    QCOMPARE(image.size(), QSize(24, 24));
    QCOMPARE(image.pixel(0, 0), qRgb(255, 0, 255));
    QVERIFY(!image.hasAlphaChannel());
}

void TstToolPanel::accessibleButtonPresses()
{
    TToolPanel panel;
    TOfficeButton *button = panel.addButton(QStringLiteral("run"), QStringLiteral("Run"));
    panel.show();
    QSignalSpy clicks(button, &TOfficeButton::clicked);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::Button);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Run"));
    QAccessibleActionInterface *actions = iface->actionInterface();
    QVERIFY(actions);
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicks.count(), 1);
}

QUORVEL_WIDGET_TEST_MAIN(TstToolPanel)
#include "tst_toolpanel.moc"
