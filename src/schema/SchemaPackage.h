#pragma once

#include "schema/SqlSecurity.h"

#include <QString>

// A package: its header and its body as stored.
struct SchemaPackage
{
    QString name;
    QString headerSource;
    QString bodySource = {}; // empty: no body yet
    QString description = {};
    SqlSecurity sqlSecurity = SqlSecurity::NotSet;
};
