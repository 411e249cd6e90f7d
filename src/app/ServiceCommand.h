#pragma once

#include <QStringList>

#include <functional>

// The command-line modes that keep a database safe, for scheduled jobs and CI:
//   quorvel --backup DATABASE FILE [--verify]   FILE on this machine; --verify
//                                               restores it into a scratch
//                                               database and compares
//   quorvel --restore FILE DATABASE [--replace]  --replace keeps the old database
//                                               when the backup fails to restore
//   quorvel --validate DATABASE [--mend]        the full validation, which needs
//                                               the database to itself
// All go through the server's services, as the windows' jobs do. A failure
// (faults found, for a validation) is one line on standard error and exit
// status 1; a wrong command line exits 2.
class ServiceCommand
{
public:
    static bool handles(const QString &mode);
    explicit ServiceCommand(QStringList arguments) : m_arguments(std::move(arguments)) {}

    int exec() const;

private:
    int backup(const QString &database, const QString &file, bool verify) const;
    int restore(const QString &file, const QString &database, bool replace) const;
    int validate() const;
    static int guarded(const std::function<int()> &run);

    QStringList m_arguments;
};
