#pragma once

#include <QList>
#include <QString>

// The stored type of a domain, column or parameter: the type columns of its
// RDB$FIELDS row, with the character set and collation already named.
struct SchemaType
{
    struct Bounds
    {
        int lower = 1;
        int upper = 1;
        bool operator==(const Bounds &) const = default;
    };

    int type = 0; // RDB$FIELD_TYPE
    int subType = 0;
    int scale = 0;
    int precision = 0;
    int charLength = 0;
    int segmentLength = 0;
    QString characterSet = {}; // empty: the database's default
    QString collation = {};    // empty: the character set's default
    QList<Bounds> dimensions = {};

    bool operator==(const SchemaType &) const = default;
};
