#pragma once

#include "schema/SchemaType.h"

#include <QString>

// A row of RDB$FIELDS: a user's domain, or the server's own RDB$ domain that
// holds the type written out in a column or parameter declaration.
struct SchemaDomain
{
    QString name;
    SchemaType type;
    QString defaultSource = {}; // "DEFAULT 0", as stored
    QString checkSource = {};   // "CHECK (VALUE > 0)", as stored
    QString computedSource = {}; // "(A + B)": a computed column's expression
    bool notNull = false;
    QString description = {};
};
