#pragma once

#include <QPointer>

#include <functional>

class QObject;

// SIGTERM, SIGINT and SIGHUP (a session's logout, Ctrl+C, a closed terminal)
// end the program as a quiet exit does. The client library installs handlers
// of its own for some of them that shut the engine down and let the program
// run on with dead handles; so the signals are blocked in every thread and
// taken by one thread of this class's that waits for them, whoever installed
// a handler. Each one then runs the end handler on the receiver's thread; a
// second signal, or an end that takes longer than a few seconds, ends the
// process at once (the server then rolls back whatever was left open).
class SignalExit
{
public:
    // Blocks the signals before any other thread starts, so that every thread
    // inherits the mask, and starts the waiting thread.
    SignalExit();
    ~SignalExit();
    SignalExit(const SignalExit &) = delete;
    SignalExit &operator=(const SignalExit &) = delete;

    // Without a handler, a signal ends the application's event loop.
    static void setHandler(QObject *receiver, std::function<void()> end);
    static void clearHandler();
};
