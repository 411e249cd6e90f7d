#include "app/SignalExit.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <mutex>
#include <thread>

#include <csignal>
#include <ctime>
#include <pthread.h>
#include <unistd.h>

namespace {

// Long enough for a rollback and the settings to be written; short enough
// for a session's logout, which waits for its programs.
constexpr int kEndSeconds = 5;

struct Handler
{
    std::mutex mutex;
    QPointer<QObject> receiver;
    std::function<void()> end;
};

Handler &handler()
{
    static Handler instance;
    return instance;
}

sigset_t endingSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

void askToEnd()
{
    Handler &current = handler();
    const std::lock_guard<std::mutex> lock(current.mutex);
    if (current.receiver && current.end) {
        QMetaObject::invokeMethod(current.receiver, current.end, Qt::QueuedConnection);
    } else if (QCoreApplication *application = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(application, [] { QCoreApplication::exit(0); },
                                  Qt::QueuedConnection);
    } else {
        _exit(0);
    }
}

[[noreturn]] void waitForSignals()
{
    const sigset_t set = endingSignals();
    int signal = 0;
    while (sigwait(&set, &signal) != 0) {
    }
    askToEnd();
    const timespec limit{kEndSeconds, 0};
    // Whichever comes first: a second signal or the time is up.
    sigtimedwait(&set, nullptr, &limit);
    _exit(1);
}

} // namespace

SignalExit::SignalExit()
{
    const sigset_t set = endingSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread(&waitForSignals).detach();
}

SignalExit::~SignalExit()
{
    clearHandler();
}

void SignalExit::setHandler(QObject *receiver, std::function<void()> end)
{
    Handler &current = handler();
    const std::lock_guard<std::mutex> lock(current.mutex);
    current.receiver = receiver;
    current.end = std::move(end);
}

void SignalExit::clearHandler()
{
    setHandler(nullptr, {});
}
