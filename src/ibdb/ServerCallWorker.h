#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QEventLoop;

// The one thread on which server calls run, one after the other in the order
// they were handed over: two calls never meet on one attachment, even when a
// caller's event loop starts a second call while the first still waits.
//
// A window runs its statements in bursts of short calls. Putting a thread to
// sleep and waking it again costs more than most of those calls, so each side
// first watches for a little while before it sleeps: the worker for the next
// job, the caller for its result.
class ServerCallWorker
{
public:
    struct Job
    {
        explicit Job(std::function<void()> work, bool inBackground = false)
            : call(std::move(work)), background(inBackground)
        {
        }
        std::function<void()> call;
        // Work no one waits for, which gives way to a call someone waits for.
        const bool background;
        std::exception_ptr error;
        // Set last, once error holds what the call threw.
        std::atomic<bool> done = false;
        // Woken (quit) once the job is done, when the caller waits in it.
        QEventLoop *waiter = nullptr;
    };

    static ServerCallWorker &instance();
    ~ServerCallWorker();
    ServerCallWorker(const ServerCallWorker &) = delete;
    ServerCallWorker &operator=(const ServerCallWorker &) = delete;

    void post(const std::shared_ptr<Job> &job);
    // True while a job someone waits for is queued.
    bool foregroundWaiting() const { return m_foreground.load(std::memory_order_acquire) > 0; }
    // True once the job is done, waiting for it no longer than the timeout.
    bool waitFor(const Job &job, std::chrono::milliseconds timeout);
    bool isDone(const Job &job);
    // The loop is quit when the job is done (at once if it is done already).
    void wakeWhenDone(Job &job, QEventLoop *loop);

private:
    ServerCallWorker();
    void serve();
    // The next job, or none once stopping.
    std::shared_ptr<Job> next();
    void finished(Job &job);

    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::condition_variable m_done;
    std::deque<std::shared_ptr<Job>> m_queue;
    // What the worker watches while it spins, without the mutex.
    std::atomic<int> m_queued = 0;
    std::atomic<int> m_foreground = 0;
    std::atomic<bool> m_stopping = false;
    std::thread m_thread;
};
