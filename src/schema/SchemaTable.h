#pragma once

#include "schema/SchemaColumn.h"
#include "schema/SqlSecurity.h"

#include <QList>
#include <QString>

// A table, a global temporary table or an external table, or a view.
struct SchemaTable
{
    enum class Kind { Persistent, External, PreserveRows, DeleteRows, View };

    QString name;
    Kind kind = Kind::Persistent;
    QString externalFile = {};
    QString viewSource = {}; // the SELECT after AS, as stored
    QList<SchemaColumn> columns = {};
    QString description = {};
    SqlSecurity sqlSecurity = SqlSecurity::NotSet;
    // Carried by the database's publication (Firebird 4).
    bool published = false;
};
