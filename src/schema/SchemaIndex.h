#pragma once

#include <QString>
#include <QStringList>

// An index of its own, not one that backs a constraint.
struct SchemaIndex
{
    QString name;
    QString table;
    bool unique = false;
    bool descending = false;
    bool inactive = false;
    QStringList columns = {};
    QString expression = {}; // "(UPPER(NAME))", as stored; empty for a column list
    QString description = {};
};
