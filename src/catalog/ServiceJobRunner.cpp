#include "catalog/ServiceJobRunner.h"

#include "core/AppError.h"
#include "ibdb/ServiceMonitor.h"

ServiceJobRunner::ServiceJobRunner(QObject *parent) : QObject(parent)
{
}

ServiceJobRunner::~ServiceJobRunner()
{
    cancel();
    join();
}

void ServiceJobRunner::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool ServiceJobRunner::start(Job job)
{
    if (m_running)
        return false;
    join();
    m_stop = false;
    m_running = true;
    m_clock.start();
    m_thread = std::thread([this, job = std::move(job)] { work(job); });
    return true;
}

void ServiceJobRunner::work(const Job &job)
{
    ServiceMonitor monitor;
    monitor.line = [this](const QString &text) {
        QMetaObject::invokeMethod(this, [this, text] { emit line(text); }, Qt::QueuedConnection);
    };
    monitor.bytes = [this](qint64 done, qint64 total) {
        QMetaObject::invokeMethod(
            this, [this, done, total] { emit progress(done, total); }, Qt::QueuedConnection);
    };
    monitor.stopRequested = [this] { return m_stop.load(); };
    try {
        job(monitor);
        ended(End::Succeeded, QString());
    } catch (const AppError &error) {
        ended(End::Failed, error.message());
    } catch (const SilentAbort &) {
        ended(End::Cancelled, QString());
    } catch (const std::exception &error) {
        ended(End::Failed, QString::fromLocal8Bit(error.what()));
    }
}

void ServiceJobRunner::ended(End end, const QString &message)
{
    QMetaObject::invokeMethod(
        this,
        [this, end, message] {
            m_running = false;
            emit finished(end, message, m_clock.elapsed());
        },
        Qt::QueuedConnection);
}
