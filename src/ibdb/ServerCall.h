#pragma once

#include "ibdb/IbHandles.h"
#include "ibdb/ServerCallWorker.h"

#include <QString>

#include <functional>
#include <memory>

// Runs one call of the client library (a callable doing ISC calls, touching
// no widget) on the server-call thread while the calling thread goes on
// painting and running its timers; user input waits meanwhile, so no command
// can start a second call on the attachment. A call that takes longer than
// half a second shows the wait box that the window kit installs (the data
// layer has no widgets); its Cancel asks the server to stop the call, which
// then fails with the server's message. The call's exception is thrown again
// in the caller's thread.
class ServerCall
{
public:
    // The box on screen for as long as it lives.
    class WaitBox
    {
    public:
        virtual ~WaitBox() = default;
    };
    // cancel is empty for a call that cannot be stopped.
    using WaitBoxFactory = std::function<std::unique_ptr<WaitBox>(
        const QString &text, std::function<void()> cancel)>;

    static void install(WaitBoxFactory factory);
    // The factory in use, so that a caller that puts its own box up for a
    // while can put the previous one back.
    static WaitBoxFactory installed();
    static QString waitingText();
    static int waitBoxDelayMs() { return 500; }

    // True where run() hands calls over to the server-call thread: on the
    // application's own thread. Without an application, or off its thread,
    // a call runs in place.
    static bool handsOver();
    static void run(isc_db_handle database, const std::function<void()> &call);
    // A call on a service or an attachment of its own rather than on the
    // session's (a database's settings, a shutdown's wait), handed over the
    // same way. Nothing stops such a call once the server has it, so its
    // wait box is given no cancel and offers none.
    static void runAside(const std::function<void()> &call);
    // Waits for a job already handed over to the server-call thread as
    // run() waits for its own, and throws what the job threw.
    static void await(isc_db_handle database, ServerCallWorker::Job &job);
    // Whether the application's thread is inside run(), waiting for a call.
    static bool waiting();
    // Asks the server to stop whatever runs on the attachment.
    static void cancel(isc_db_handle database);

    // How many calls were started so far, on any attachment and thread: the
    // same number twice means that nothing reached the server in between.
    static quint64 callsStarted();
    // Counts a call that does not go through run() (a read ahead).
    static void countCall();

private:
    static void handOver(const std::function<void()> &call, const std::function<void()> &cancel);
    static void awaitJob(ServerCallWorker::Job &job, const std::function<void()> &cancel);
};
