#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// Whose rights an object runs with. Not set, the object follows the
// database's default, and the script must leave it unset too.
enum class SqlSecurity { NotSet, Definer, Invoker };

namespace SqlSecurityText {

// RDB$SQL_SECURITY as read: NULL, TRUE or FALSE. Throws GeneralError naming
// the object for any other value, which this program would otherwise drop.
SqlSecurity fromCatalog(const QVariant &value, const QString &object);
// "SQL SECURITY DEFINER"; empty when not set.
QString clause(SqlSecurity security);
// The clause as a line of its own before a routine's AS; none when not set.
QStringList lines(SqlSecurity security);

} // namespace SqlSecurityText
