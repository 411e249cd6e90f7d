#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The ALTER PROCEDURE statement the stored procedures window rebuilds from the
// system tables, as plain data in and text out, so it needs no database.
namespace ProcedureDdl {

struct Parameter
{
    QString name;
    QString typeText; // as FieldTypeText gives it
};

struct Procedure
{
    QString name;
    QString source; // the stored body, any line breaks
    QList<Parameter> inputs;
    QList<Parameter> outputs;
};

// The statement's lines: header, input list, RETURNS list, "AS", body.
QStringList lines(const Procedure &procedure);

// The lines, each followed by CR LF.
QString text(const Procedure &procedure);

} // namespace ProcedureDdl
