#pragma once

#include <QByteArray>
#include <QString>

// The settings of a database that its properties change, as its server
// reports them now on an attachment of its own.
struct DatabaseSettings
{
    quint32 sweepInterval = 0;
    bool forcedWrites = false;
    quint32 pageBuffers = 0; // the header's; 0: the server's default
    bool readOnly = false;
    int dialect = 0;

    // Throws DatabaseError with the server's text when it cannot attach.
    static DatabaseSettings read(const QString &database, const QString &user,
                                 const QString &password);
    // The figures of an isc_database_info answer to the items above.
    static DatabaseSettings fromAnswer(const QByteArray &answer);
};
