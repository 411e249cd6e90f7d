#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QString>

// Relation ids as the engine counts by them, to the names of RDB$RELATIONS.
namespace RelationNames {

// Every relation of the database; a failed query throws DatabaseError.
QHash<int, QString> read(const QSqlDatabase &db);

} // namespace RelationNames
