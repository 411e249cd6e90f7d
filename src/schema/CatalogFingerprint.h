#pragma once

#include <QSqlDatabase>
#include <QStringList>

// What the server keeps about a database's objects that a re-created
// database must hold alike, read straight from the system tables rather
// than through the schema reader, so that whatever the reader leaves out
// shows as well: compiled BLR, column and parameter shapes, privileges with
// their grantors, collations with their ids and attributes, every index, the
// rules of foreign keys, sources and comments. Names the server gives
// (RDB$n, INTEG_n) are left out, as a replay gives them anew.
class CatalogFingerprint
{
public:
    // Throws DatabaseError with the server's text when a query is refused.
    explicit CatalogFingerprint(const QSqlDatabase &database);

    // Sorted, one fact a line.
    QStringList lines() const { return m_lines; }

private:
    QStringList m_lines;
};
