#include "core/AppError.h"
#include "ibdb/ServerCall.h"
#include "ibdb/TIBDataBase.h"
#include "support/DataTestMain.h"
#include "support/OtherUser.h"
#include "support/TestSession.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace {

// Stands in for the window kit's box: records when it came and what it said,
// and presses Cancel once the event loop gets to it.
struct BoxRecord
{
    int shown = 0;
    int closed = 0;
    qint64 shownAfterMs = -1;
    QString text;
    bool pressCancel = false;
};

class RecordedBox : public ServerCall::WaitBox
{
public:
    explicit RecordedBox(BoxRecord &record) : m_record(record) {}
    ~RecordedBox() override { ++m_record.closed; }

private:
    BoxRecord &m_record;
};

void installRecorder(BoxRecord &record, const QElapsedTimer &clock)
{
    ServerCall::install([&record, &clock](const QString &text, std::function<void()> cancel) {
        ++record.shown;
        record.shownAfterMs = clock.elapsed();
        record.text = text;
        if (record.pressCancel)
            QTimer::singleShot(100, cancel);
        return std::make_unique<RecordedBox>(record);
    });
}

// Counts the caller's timer ticks: proof that its event loop runs.
struct Heartbeat
{
    Heartbeat()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] { ++ticks; });
        timer.start();
    }
    QTimer timer;
    int ticks = 0;
};

QString messageOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const AppError &error) {
        return error.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

// Calls to the server run off the caller's thread: the caller's event loop
// goes on, a slow call shows the wait box, Cancel stops the server's work.
class TestServerCall : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { ServerCall::install(nullptr); }

    void waitBoxOnlyForSlowCalls_data()
    {
        QTest::addColumn<int>("callMs");
        QTest::addColumn<int>("boxes");
        QTest::newRow("quick") << 50 << 0;
        QTest::newRow("slow") << 900 << 1;
    }

    void waitBoxOnlyForSlowCalls()
    {
        QFETCH(int, callMs);
        QFETCH(int, boxes);
        QElapsedTimer clock;
        BoxRecord record;
        installRecorder(record, clock);
        Heartbeat heartbeat;
        clock.start();
        ServerCall::run(0, [callMs] { QThread::msleep(callMs); });
        QCOMPARE(record.shown, boxes);
        QCOMPARE(record.closed, boxes);
        if (boxes) {
            QCOMPARE(record.text, QStringLiteral("Waiting for the server\u2026"));
            QVERIFY2(record.shownAfterMs >= 450 && record.shownAfterMs < 800,
                     qPrintable(QString::number(record.shownAfterMs)));
        }
        // 20 ms ticks: the loop ran for all but the first few milliseconds.
        QVERIFY2(heartbeat.ticks >= callMs / 20 - 3, qPrintable(QString::number(heartbeat.ticks)));
    }

    void callsErrorReachesTheCaller()
    {
        QCOMPARE(messageOf([] {
                     ServerCall::run(0, [] { throw DatabaseError(QStringLiteral("refused")); });
                 }),
                 QStringLiteral("refused"));
    }

    // Calls handed over back to back, as a window's statements are, with
    // pauses that let the worker fall asleep between some of them: every call
    // runs once, in order, its effects and its error seen by the caller at
    // once, and no hand-off is lost (a lost wake-up hangs here).
    void burstOfShortCallsKeepsOrderAndResults()
    {
        int counter = 0; // plain memory: the hand-off itself must publish it
        int failures = 0;
        for (int i = 0; i < 20000; ++i) {
            try {
                ServerCall::run(0, [&counter, i] {
                    if (counter != i)
                        throw DatabaseError(QStringLiteral("out of order"));
                    ++counter;
                    if (i % 997 == 0)
                        throw DatabaseError(QStringLiteral("refused"));
                });
            } catch (const AppError &error) {
                QCOMPARE(error.message(), QStringLiteral("refused"));
                ++failures;
            }
            QCOMPARE(counter, i + 1);
            if (i % 5000 == 4999)
                QThread::msleep(5);
        }
        QCOMPARE(failures, 21);
    }

    // A timer of the waiting caller starts a second call: it must wait until
    // the first is over, never run beside it.
    void secondCallWaitsForTheFirst()
    {
        std::atomic<int> running = 0;
        std::atomic<int> overlaps = 0;
        const auto call = [&](int ms) {
            if (++running > 1)
                ++overlaps;
            QThread::msleep(ms);
            --running;
        };
        bool secondRan = false;
        QTimer::singleShot(50, [&] {
            ServerCall::run(0, [&] { call(10); });
            secondRan = true;
        });
        ServerCall::run(0, [&] { call(300); });
        QVERIFY(secondRan);
        QCOMPARE(overlaps.load(), 0);
    }

    // Another attachment holds an uncommitted update of the row: the tool's
    // statement waits for the lock until Cancel, fails with the server's
    // text and, in auto-commit mode, leaves no transaction behind.
    void cancelEndsALockWait()
    {
        TestSession session(true);
        session.db.execute({QStringLiteral("CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, "
                                           "QTY INTEGER)"),
                            QStringLiteral("INSERT INTO T VALUES (1, 10)")});
        OtherUser other(session.db.path());
        other.execute(QStringLiteral("UPDATE T SET QTY = 11 WHERE ID = 1"));
        other.commitAfter(std::chrono::seconds(10));
        QElapsedTimer clock;
        BoxRecord record;
        record.pressCancel = true;
        installRecorder(record, clock);
        Heartbeat heartbeat;
        clock.start();
        const QString message = messageOf([&] {
            session.ib()->ExecuteStatement(QStringLiteral("UPDATE T SET QTY = QTY + 1 WHERE ID = 1"),
                                           true);
        });
        QCOMPARE(message, QStringLiteral("\roperation was cancelled"));
        QCOMPARE(record.shown, 1);
        QVERIFY(heartbeat.ticks >= 20);
        QVERIFY(!session.ib()->InTransaction());
        other.commit();
        QCOMPARE(session.db.scalar(QStringLiteral("SELECT QTY FROM T WHERE ID = 1")),
                 QStringLiteral("11"));
        // The attachment is usable again at once.
        session.ib()->ExecuteStatement(QStringLiteral("UPDATE T SET QTY = QTY + 1 WHERE ID = 1"),
                                       true);
        QCOMPARE(session.db.scalar(QStringLiteral("SELECT QTY FROM T WHERE ID = 1")),
                 QStringLiteral("12"));
    }
};

QUORVEL_DATA_TEST_MAIN(TestServerCall)
#include "tst_servercall.moc"
