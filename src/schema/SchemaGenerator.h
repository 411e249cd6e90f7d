#pragma once

#include <QString>

// A generator (sequence) of the user's; an identity column's belongs to its column.
struct SchemaGenerator
{
    QString name;
    qint64 initialValue = 0;
    int increment = 1;
    QString description = {};
};
