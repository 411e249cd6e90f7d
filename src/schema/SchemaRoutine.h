#pragma once

#include "schema/SchemaParameter.h"
#include "schema/SqlSecurity.h"

#include <QList>
#include <QString>

// A stored procedure, a PSQL function or an external function, outside packages.
struct SchemaRoutine
{
    enum class Kind { Procedure, Function, External };

    QString name;
    Kind kind = Kind::Procedure;
    QList<SchemaParameter> inputs = {};
    QList<SchemaParameter> outputs = {}; // a function's one return value
    QString source = {}; // the body after AS, as stored
    bool selectable = false;
    bool deterministic = false;
    int returnArgument = 0; // external functions: 0, or the argument that is returned
    QString entryPoint = {};
    QString moduleName = {};
    QString description = {};
    SqlSecurity sqlSecurity = SqlSecurity::NotSet;
};
