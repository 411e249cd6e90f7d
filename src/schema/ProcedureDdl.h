#pragma once

#include "schema/SqlSecurity.h"

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
    // What a parameter may carry beyond its type; empty or false: nothing,
    // and the parameter is written as name and type text alone.
    QString domain = {};       // "TYPE OF D", "TYPE OF COLUMN T.C" or a domain: instead of the type
    QString characterSet = {}; // stored name; one other than the database's default
    bool notNull = false;
    QString collation = {};     // stored name; one other than the character set's default
    QString defaultSource = {}; // as stored: "= 5", "DEFAULT 'x'"
};

// The parameter's declaration after its name: the type (or the domain it is
// declared by) and whatever it carries beyond it, in the order the server
// reads them; a default that ends in a "--" comment ends the line too.
// Character set and collation names are spelled as a statement
// of the dialect needs them (a user's collation may be "My Coll").
QString declaration(const Parameter &parameter, int dialect);

struct Procedure
{
    QString name;
    QString source; // the stored body, any line breaks
    QList<Parameter> inputs;
    QList<Parameter> outputs;
    int dialect = 1; // the names are spelled as a statement of this dialect needs them
    bool create = false; // CREATE PROCEDURE instead of ALTER PROCEDURE
    // Said again on an ALTER, which would otherwise unset it.
    SqlSecurity sqlSecurity = SqlSecurity::NotSet;
};

// The statement's lines: header, input list, RETURNS list, SQL SECURITY
// where set, "AS", body.
QStringList lines(const Procedure &procedure);

// The lines, each followed by CR LF.
QString text(const Procedure &procedure);

} // namespace ProcedureDdl
