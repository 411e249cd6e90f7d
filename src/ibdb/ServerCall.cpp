#include "ibdb/ServerCall.h"

#include "ibdb/ServerCallWorker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace {

using Job = ServerCallWorker::Job;

// Most calls end well within a frame: waiting this long for them without
// running the event loop spares the loop's cost on every batch of rows.
constexpr std::chrono::milliseconds kQuietWait{15};

ServerCall::WaitBoxFactory &installedFactory()
{
    static ServerCall::WaitBoxFactory factory;
    return factory;
}

// A box on screen is modal and lets input reach itself only, so a call that
// starts while one shows may run the whole event loop.
int &boxesShown()
{
    static int count = 0;
    return count;
}

// Calls the application's thread is waiting for; a timer or notifier that
// fires while one runs must not start a call of its own behind it.
int &callsWaitedFor()
{
    static int count = 0;
    return count;
}

std::atomic<quint64> &startedCalls()
{
    static std::atomic<quint64> count{0};
    return count;
}

QEventLoop::ProcessEventsFlags loopFlags()
{
    return boxesShown() > 0 ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
}

std::unique_ptr<ServerCall::WaitBox> showWaitBox(const std::function<void()> &cancel)
{
    const ServerCall::WaitBoxFactory &factory = installedFactory();
    if (!factory || boxesShown() > 0)
        return nullptr;
    return factory(ServerCall::waitingText(), cancel);
}

void waitInEventLoop(ServerCallWorker &worker, Job &job, const std::function<void()> &cancel)
{
    QEventLoop loop;
    worker.wakeWhenDone(job, &loop);
    QTimer::singleShot(ServerCall::waitBoxDelayMs() - int(kQuietWait.count()), &loop,
                       &QEventLoop::quit);
    loop.exec(loopFlags());
    std::unique_ptr<ServerCall::WaitBox> box;
    if (!worker.isDone(job))
        box = showWaitBox(cancel);
    if (box)
        ++boxesShown();
    const auto counted = qScopeGuard([&box] {
        if (box)
            --boxesShown();
    });
    while (!worker.isDone(job))
        loop.exec(loopFlags());
}

} // namespace

void ServerCall::install(WaitBoxFactory factory)
{
    installedFactory() = std::move(factory);
}

ServerCall::WaitBoxFactory ServerCall::installed()
{
    return installedFactory();
}

QString ServerCall::waitingText()
{
    return QCoreApplication::translate("ServerCall", "Waiting for the server\u2026");
}

bool ServerCall::handsOver()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void ServerCall::run(isc_db_handle database, const std::function<void()> &call)
{
    handOver(call, [database] { cancel(database); });
}

void ServerCall::runAside(const std::function<void()> &call)
{
    handOver(call, {});
}

void ServerCall::handOver(const std::function<void()> &call, const std::function<void()> &cancel)
{
    countCall();
    if (!handsOver()) {
        call();
        return;
    }
    const auto job = std::make_shared<Job>(call);
    ServerCallWorker::instance().post(job);
    awaitJob(*job, cancel);
}

void ServerCall::await(isc_db_handle database, Job &job)
{
    awaitJob(job, [database] { cancel(database); });
}

void ServerCall::awaitJob(Job &job, const std::function<void()> &cancel)
{
    ++callsWaitedFor();
    const auto waited = qScopeGuard([] { --callsWaitedFor(); });
    ServerCallWorker &worker = ServerCallWorker::instance();
    if (!worker.waitFor(job, kQuietWait))
        waitInEventLoop(worker, job, cancel);
    if (job.error)
        std::rethrow_exception(job.error);
}

bool ServerCall::waiting()
{
    return callsWaitedFor() > 0;
}

void ServerCall::cancel(isc_db_handle database)
{
    // The answer tells nothing useful: the call itself fails when stopped.
    ISC_STATUS_ARRAY status;
    fb_cancel_operation(status, &database, fb_cancel_raise);
}

quint64 ServerCall::callsStarted()
{
    return startedCalls().load(std::memory_order_acquire);
}

void ServerCall::countCall()
{
    startedCalls().fetch_add(1, std::memory_order_acq_rel);
}
