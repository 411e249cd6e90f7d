#include "ibdb/ServerCall.h"
#include "support/WidgetTestMain.h"
#include "uikit/ServerWaitBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

// The wait box of a slow server call: what it says, and that every way of
// dismissing it asks the server to stop once and leaves the box to the call.
class TestServerWaitBox : public QObject
{
    Q_OBJECT

private slots:
    void dismissingPressesCancelOnce_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel button") << "button";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("window close") << "close";
    }

    void dismissingPressesCancelOnce()
    {
        QFETCH(QString, how);
        int cancels = 0;
        ServerWaitBox box(QStringLiteral("Waiting for the server\u2026"), [&] { ++cancels; });
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.windowTitle(), QStringLiteral("Quorvel for Interbase"));
        QVERIFY(box.isModal());
        QCOMPARE(box.TextLabel->text(), QStringLiteral("Waiting for the server\u2026"));
        QCOMPARE(box.CancelBtn->text(), QStringLiteral("Cancel"));
        for (int i = 0; i < 2; ++i) {
            if (how == u"button")
                QTest::mouseClick(box.CancelBtn, Qt::LeftButton);
            else if (how == u"escape")
                QTest::keyClick(&box, Qt::Key_Escape);
            else
                box.close();
        }
        QCOMPARE(cancels, 1);
        QVERIFY(!box.CancelBtn->isEnabled());
        QVERIFY(box.isVisible());
    }

    // A call nothing can stop: no Cancel to press, and Escape or closing the
    // box neither closes it nor calls a cancel that is not there.
    void unstoppableCallOffersNoCancel()
    {
        ServerWaitBox box(QStringLiteral("Waiting for the server\u2026"), {});
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(!box.CancelBtn->isEnabled());
        QTest::keyClick(&box, Qt::Key_Escape);
        box.close();
        QVERIFY(box.isVisible());
    }

    // Installed, the box comes up for a slow call, modal over the windows,
    // and goes with the call.
    void slowCallShowsTheBox()
    {
        ServerWaitBox::install();
        QWidget frame;
        frame.show();
        QString seen;
        QTimer::singleShot(700, [&] {
            if (auto *box = qobject_cast<ServerWaitBox *>(QApplication::activeModalWidget()))
                seen = box->TextLabel->text();
        });
        ServerCall::run(0, [] { QThread::msleep(900); });
        ServerCall::install(nullptr);
        QCOMPARE(seen, QStringLiteral("Waiting for the server\u2026"));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

QUORVEL_WIDGET_TEST_MAIN(TestServerWaitBox)
#include "tst_serverwaitbox.moc"
