#pragma once

#include "schema/ProcedureDdl.h"
#include "schema/SchemaRoutine.h"

#include <QStringList>

// The statements that declare a routine or a package from what the schema
// layer read, shared by the whole-database script and the windows that
// rebuild one object, so both declare it the same way.
namespace RoutineDdl {

// A parameter as a PSQL declaration needs it: the domain, TYPE OF or the type.
ProcedureDdl::Parameter declared(const SchemaParameter &parameter, int dialect);
QList<ProcedureDdl::Parameter> declared(const QList<SchemaParameter> &parameters, int dialect);

// CREATE or ALTER PROCEDURE with the given body and the procedure's SQL
// SECURITY, without a terminator.
QStringList procedureLines(const SchemaRoutine &procedure, const QString &body, bool create,
                           int dialect);

// CREATE or ALTER FUNCTION with the given body and the function's SQL
// SECURITY, without a terminator.
QStringList functionLines(const SchemaRoutine &function, const QString &body, bool create,
                          int dialect);

// DECLARE EXTERNAL FUNCTION, without a terminator.
QStringList externalLines(const SchemaRoutine &function, int dialect);

// "<statement> <name>", the SQL SECURITY where set (a header's; a body has
// none), "AS" and the stored source without its trailing blank lines, e.g.
// statement "RECREATE PACKAGE BODY".
QStringList packageLines(const QString &statement, const QString &name, const QString &source,
                         int dialect, SqlSecurity security = SqlSecurity::NotSet);

} // namespace RoutineDdl
