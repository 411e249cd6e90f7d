#pragma once

#include <QString>
#include <QStringList>

// A database to be made on a server or by the embedded engine: where, by
// whom, and the few properties fixed at its creation.
class NewDatabase
{
public:
    // A file path, or "host:path" / "host/port:path" for a server.
    QString path;
    QString user;
    QString password;
    int pageSize = 8192;
    int dialect = 3;
    // NONE leaves the clause out; the server's default is NONE too.
    QString characterSet = QStringLiteral("UTF8");

    static QList<int> pageSizes() { return {4096, 8192, 16384, 32768}; }
    static QStringList characterSets();

    // The CREATE DATABASE statement, compiled in the new database's dialect.
    QString statement() const;
    // Throws DatabaseError with the server's refusal (a file that exists, a
    // folder the server cannot write, a wrong password) and GeneralError for
    // a form the program does not send (no path, a page size of its own).
    void create() const;
};
