#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The names of every object the user made in the database, kind by kind,
// read at once: what the explorer lists and counts. System objects and the
// domains the server makes for columns (RDB$...) are left out, and so are
// the procedures and functions of packages, which belong to their package.
class ObjectDirectory
{
public:
    // In the explorer's order.
    enum class Kind { Domain, Table, View, Procedure, Function, Package, Trigger, Exception,
                      Generator, Role };

    struct Entry
    {
        Kind kind;
        QString name;
    };

    static QList<Kind> kinds();
    // "Domains", "Tables", ...
    static QString kindTitle(Kind kind);

    // Every name on the connection (Qt SQL connection name), ordered by kind
    // and then by name, in one query. Throws DatabaseError with the server's
    // text when the server refuses.
    static QList<Entry> read(const QString &connection);
    // One kind's names, sorted; the same errors.
    static QStringList names(const QString &connection, Kind kind);
    // How many names each kind has, indexed by kind: what a tree shows
    // before it reads a name.
    static QList<int> counts(const QString &connection);
};
