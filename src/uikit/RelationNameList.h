#pragma once

#include <QStringList>

// The names of the connected database's tables and views, without the system
// relations, in the order the data-access layer lists them. Throws
// DatabaseError when the connection cannot list them.
QStringList RelationNameList();
