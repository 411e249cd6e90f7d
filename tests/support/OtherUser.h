#pragma once

#include "ibdb/IbHandles.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Another user on the same database: an attachment of its own whose
// transaction (wait mode, the client's defaults) holds what it changed,
// uncommitted, until commit(); rolled back when the object goes.
class OtherUser
{
public:
    OtherUser(const QString &path, const QString &password = QStringLiteral("masterkey"));
    // The same logged in as another user, in a role when one is given.
    OtherUser(const QString &path, const QString &user, const QString &password,
              const QString &role = QString());
    ~OtherUser();
    OtherUser(const OtherUser &) = delete;
    OtherUser &operator=(const OtherUser &) = delete;

    // Fails the running test on a server error.
    void execute(const QString &statement);
    // The server's refusal of the statement, or empty: for statements a test
    // expects to fail (cancelled, disconnected, not allowed).
    QString attempt(const QString &statement);
    // Once only; later calls do nothing.
    void commit();
    // Commits from a thread of its own unless committed before: a program
    // that never lets its statement end fails the test instead of hanging it.
    void commitAfter(std::chrono::milliseconds delay);

private:
    std::mutex m_mutex;
    IbAttachment m_attachment;
    IbTransaction m_transaction;
    std::condition_variable_any m_committed;
    std::jthread m_watchdog;
};
