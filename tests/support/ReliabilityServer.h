#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The private Firebird server that CTest starts for the reliability tests
// (tests/support/fbserver.sh): where it listens, its SYSDBA password, and the
// faults a test may inject into it.
namespace ReliabilityServer {

// False when the test runs outside CTest's fixture; such tests skip.
bool available();
int port();
QString password();
// "localhost/<port>:<file>": a database reached through the server.
QString remotePath(const QString &file);

// SIGKILL: the server dies with every connection and transaction it holds.
void kill();
// Back on the same port after kill().
void restart();
// Running again if an earlier test left it killed.
void ensureRunning();

// Runs statements over the server as SYSDBA, each committed on its own,
// compiled in the given SQL dialect.
void execute(const QString &remote, const QStringList &statements, int dialect = 1);
// One value read through an attachment of its own (empty for NULL or no row).
QString scalar(const QString &remote, const QString &query);

} // namespace ReliabilityServer

// A fresh database (dialect 1 unless told) created by the server in a
// temporary folder that the server process may read and write; its
// statements are compiled in its own dialect.
class ServerDatabase
{
public:
    explicit ServerDatabase(const QString &fileName = QStringLiteral("server.fdb"),
                            int dialect = 1);

    QString file() const { return m_file; }
    QString remote() const { return ReliabilityServer::remotePath(m_file); }
    void execute(const QStringList &statements) const;
    QString scalar(const QString &query) const;

private:
    QTemporaryDir m_dir;
    QString m_file;
    int m_dialect;
};
