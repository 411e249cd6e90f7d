#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

struct ServiceMonitor;

// Runs one service job on a thread of its own, so the frame keeps
// answering while a backup or a restore takes its hours: what the job says
// comes back as signals on the window's thread. Going away asks the job to
// stop and waits for it, which a service job sees within a second.
class ServiceJobRunner : public QObject
{
    Q_OBJECT

public:
    using Job = std::function<void(const ServiceMonitor &monitor)>;
    enum class End { Succeeded, Failed, Cancelled };

    explicit ServiceJobRunner(QObject *parent = nullptr);
    ~ServiceJobRunner() override;

    // Refused (false) while a job runs.
    bool start(Job job);
    // The job ends at its next look, and the server's service with it.
    void cancel() { m_stop = true; }
    bool running() const { return m_running; }

signals:
    void line(const QString &text);
    void progress(qint64 done, qint64 total);
    // message: the reason of a failure; elapsed in milliseconds.
    void finished(ServiceJobRunner::End end, const QString &message, qint64 elapsed);

private:
    void work(const Job &job);
    void ended(End end, const QString &message);
    void join();

    std::thread m_thread;
    std::atomic<bool> m_stop = false;
    bool m_running = false;
    QElapsedTimer m_clock;
};
