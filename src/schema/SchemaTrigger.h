#pragma once

#include "schema/SqlSecurity.h"

#include <QString>

// A trigger on a table or view, on the database or on DDL statements.
struct SchemaTrigger
{
    QString name;
    QString relation = {}; // empty for a database or DDL trigger
    qint64 type = 0;       // RDB$TRIGGER_TYPE
    int position = 0;
    bool active = true;
    QString source = {}; // from AS on, as stored
    QString description = {};
    SqlSecurity sqlSecurity = SqlSecurity::NotSet;
};
