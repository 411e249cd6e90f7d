#include "app/TMainForm.h"
#include "core/ProgramSettings.h"
#include "support/OtherUser.h"
#include "support/ReliabilityFrame.h"
#include "support/ReliabilityServer.h"
#include "support/TestMain.h"
#include "uikit/ServerWaitBox.h"
#include "workbench/TSQLExprForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

// How the frame fares while a statement waits: the longest pause between
// ticks of a timer of its own, and what the wait box said.
struct WaitWatch
{
    WaitWatch()
    {
        clock.start();
        ticks.setInterval(50);
        QObject::connect(&ticks, &QTimer::timeout, [this] {
            longestPauseMs = std::max(longestPauseMs, clock.restart());
            if (boxText.isEmpty())
                pressCancelOnTheBox();
        });
        ticks.start();
    }

    void pressCancelOnTheBox()
    {
        auto *box = qobject_cast<ServerWaitBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxText = box->TextLabel->text();
        QTimer::singleShot(200, box->CancelBtn, &QPushButton::click);
    }

    QElapsedTimer clock;
    QTimer ticks;
    qint64 longestPauseMs = 0;
    QString boxText;
};

} // namespace

// Another user holds an uncommitted update of the row the user's statement
// changes: the frame keeps answering while the statement waits, and the wait
// box's Cancel ends it as a failed statement.
class TestServerLocks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!ReliabilityServer::available())
            QSKIP("needs the fbserver CTest fixture");
        ServerWaitBox::install();
    }

    void init() { ReliabilityServer::ensureRunning(); }

    void cancelledLockWaitIsAFailedStatement_data()
    {
        QTest::addColumn<bool>("autoCommit");
        QTest::newRow("auto-commit") << true;
        QTest::newRow("explicit transaction") << false;
    }

    void cancelledLockWaitIsAFailedStatement()
    {
        QFETCH(bool, autoCommit);
        ServerDatabase db;
        db.execute({QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, "
                                   "NOTE VARCHAR(40), QTY INTEGER)"),
                    QStringLiteral("INSERT INTO T VALUES (1, 'one', 10)")});
        ReliabilityFrame f(autoCommit);
        QCOMPARE(f.connect(db.remote(), QStringLiteral("SYSDBA"), ReliabilityServer::password()),
                 QString());
        // Work of the tool's transaction from before the wait.
        QCOMPARE(f.execute(QStringLiteral("INSERT INTO T VALUES (2, 'two', 20)")), QString());
        OtherUser other(db.remote(), ReliabilityServer::password());
        other.execute(QStringLiteral("UPDATE T SET NOTE = 'other user', QTY = 11 WHERE ID = 1"));

        TSQLExprForm *form = TSQLExprForm::open();
        form->setLines({QStringLiteral("UPDATE T SET QTY = QTY + 5 WHERE ID = 1")});
        other.commitAfter(std::chrono::seconds(10));
        WaitWatch watch;
        const QString shown = f.run([form] { form->execbtnClick(); });

        QCOMPARE(shown, QStringLiteral("operation was cancelled."));
        QCOMPARE(watch.boxText, QStringLiteral("Waiting for the server\u2026"));
        QVERIFY2(watch.longestPauseMs < 1000, qPrintable(QString::number(watch.longestPauseMs)));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(f.inTransaction(), !autoCommit);
        QVERIFY(f.transactionShownRightly());
        if (!autoCommit)
            QCOMPARE(f.run([&] { f.frame->MnCommitWorkClick(); }), QString());

        other.commit();
        QCOMPARE(db.scalar(QStringLiteral("SELECT NOTE || ' ' || QTY FROM T WHERE ID = 1")),
                 QStringLiteral("other user 11"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM T WHERE ID = 2")),
                 QStringLiteral("1"));
        // Run again with the lock gone, the statement changes the row once.
        QCOMPARE(f.run([form] { form->execbtnClick(); }), QString());
        if (!autoCommit)
            QCOMPARE(f.run([&] { f.frame->MnCommitWorkClick(); }), QString());
        QCOMPARE(db.scalar(QStringLiteral("SELECT QTY FROM T WHERE ID = 1")),
                 QStringLiteral("16"));
    }
};

QUORVEL_TEST_MAIN(TestServerLocks)
#include "tst_serverlocks.moc"
