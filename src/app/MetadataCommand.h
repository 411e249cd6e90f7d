#pragma once

#include <QString>
#include <QStringList>

// The command-line modes that get a database's DDL out without a window:
//   quorvel --extract DATABASE [-o FILE]   the metadata script, to stdout or a file
//   quorvel --verify DATABASE [--scratch FOLDER]   re-creates it in a scratch database
//                                          on its server, compares
//   quorvel --help
// They run on QCoreApplication, so a machine without a display needs no
// platform plugin. The login is ISC_USER and ISC_PASSWORD, as Firebird's own
// tools take it: never an argument, which other users could read.
class MetadataCommand
{
public:
    // True when the arguments ask for one of these modes, or hold an option
    // that neither these modes nor Qt take: that is refused with the usage
    // (exit 2), where the windows would first need a display to say so.
    static bool wanted(int argc, char *argv[]);
    static int run(int argc, char *argv[]);

    static QString usage();

private:
    explicit MetadataCommand(QStringList arguments) : m_arguments(std::move(arguments)) {}

    int exec();
    int extract(const QString &database, const QString &outputFile);
    int verify(const QString &database, const QString &scratchFolder);
    static QString scriptOf(const QString &database, const QString &sourceName);
    // A database's script and what the server keeps beyond it.
    struct Reading
    {
        QString script;
        QStringList catalog;
    };
    static Reading readingOf(const QString &database);

    QStringList m_arguments;
};
