#include "ibdb/ServerCallWorker.h"

#include <QEventLoop>

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
        m_queue.push_back(job);
    }
    m_posted.notify_one();
}

void ServerCallWorker::serve()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_posted.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        const std::shared_ptr<Job> job = m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        try {
            job->call();
        } catch (...) {
            job->error = std::current_exception();
        }
        lock.lock();
        finished(*job);
    }
}

// Called with the mutex held: the caller leaves its loop only after it has
// seen done under the same mutex, so the loop is still there to be quit.
void ServerCallWorker::finished(Job &job)
{
    job.done = true;
    if (job.waiter)
        QMetaObject::invokeMethod(job.waiter, &QEventLoop::quit, Qt::QueuedConnection);
    m_done.notify_all();
}

bool ServerCallWorker::waitFor(const Job &job, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_done.wait_for(lock, timeout, [&job] { return job.done; });
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
