#include "ibdb/ServerCallWorker.h"

#include <QEventLoop>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

// Longer than the caller's work between two calls of a burst (reading a
// row, building the next statement); short enough that an idle worker soon
// sleeps.
constexpr std::chrono::microseconds kWorkerWatch{300};
// Long enough for a prepare or a batch of rows on a local engine; a longer
// call costs more than the wake-up that follows.
constexpr std::chrono::microseconds kCallerWatch{200};

void relax()
{
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
}

// True once the condition holds, watching it for no longer than the limit.
// The other thread may need this core to get there, so past the first few
// rounds each one gives it up for a moment.
template <typename Condition>
bool watch(Condition condition, std::chrono::microseconds limit)
{
    const Clock::time_point until = Clock::now() + limit;
    for (int round = 0;; ++round) {
        if (condition())
            return true;
        if (round % 32 == 31) {
            if (Clock::now() >= until)
                return false;
            std::this_thread::yield();
        } else {
            relax();
        }
    }
}

} // namespace

ServerCallWorker &ServerCallWorker::instance()
{
    static ServerCallWorker worker;
    return worker;
}

ServerCallWorker::ServerCallWorker() : m_thread([this] { serve(); }) {}

ServerCallWorker::~ServerCallWorker()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_posted.notify_one();
    m_thread.join();
}

void ServerCallWorker::post(const std::shared_ptr<Job> &job)
{
    {
        const std::lock_guard lock(m_mutex);
        // Counted before the worker can take it, so the count never drops
        // below the jobs queued.
        if (!job->background)
            m_foreground.fetch_add(1, std::memory_order_release);
        m_queue.push_back(job);
    }
    // Counted once the mutex is free again: a watching worker that sees the
    // job takes the mutex at once instead of sleeping on it. No system call
    // either while the worker is watching rather than sleeping.
    m_queued.fetch_add(1, std::memory_order_release);
    m_posted.notify_one();
}

std::shared_ptr<ServerCallWorker::Job> ServerCallWorker::next()
{
    watch([this] { return m_queued.load(std::memory_order_acquire) > 0 || m_stopping; },
          kWorkerWatch);
    std::unique_lock lock(m_mutex);
    m_posted.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
    if (m_queue.empty())
        return nullptr;
    std::shared_ptr<Job> job = std::move(m_queue.front());
    m_queue.pop_front();
    m_queued.fetch_sub(1, std::memory_order_relaxed);
    if (!job->background)
        m_foreground.fetch_sub(1, std::memory_order_relaxed);
    return job;
}

void ServerCallWorker::serve()
{
    while (const std::shared_ptr<Job> job = next()) {
        try {
            job->call();
        } catch (...) {
            job->error = std::current_exception();
        }
        const std::lock_guard lock(m_mutex);
        finished(*job);
    }
}

// Called with the mutex held: the caller leaves its loop only after it has
// seen done under the same mutex, so the loop is still there to be quit.
void ServerCallWorker::finished(Job &job)
{
    job.done.store(true, std::memory_order_release);
    if (job.waiter)
        QMetaObject::invokeMethod(job.waiter, &QEventLoop::quit, Qt::QueuedConnection);
    m_done.notify_all();
}

bool ServerCallWorker::waitFor(const Job &job, std::chrono::milliseconds timeout)
{
    const Clock::time_point start = Clock::now();
    if (watch([&job] { return job.done.load(std::memory_order_acquire); }, kCallerWatch))
        return true;
    std::unique_lock lock(m_mutex);
    return m_done.wait_until(lock, start + timeout, [&job] { return job.done.load(); });
}

bool ServerCallWorker::isDone(const Job &job)
{
    const std::lock_guard lock(m_mutex);
    return job.done;
}

void ServerCallWorker::wakeWhenDone(Job &job, QEventLoop *loop)
{
    const std::lock_guard lock(m_mutex);
    job.waiter = loop;
    if (job.done && loop)
        QMetaObject::invokeMethod(loop, &QEventLoop::quit, Qt::QueuedConnection);
}
