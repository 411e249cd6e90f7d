#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <utility>

// A query prepared, its values bound by name (":NAME") and run, its rows read
// forward only. A refused prepare throws at once: run afterwards, the query
// would replace the server's reason with the driver's "No statement is
// prepared".
namespace BoundQuery {

using Values = QList<std::pair<QString, QVariant>>;

// Throws DatabaseError with the server's text when it refuses the text or
// the run.
QSqlQuery run(const QSqlDatabase &database, const QString &text, const Values &values);

} // namespace BoundQuery
