#pragma once

#include "schema/SchemaType.h"

#include <QString>

// A column of a table or view, in its position.
struct SchemaColumn
{
    QString name;
    QString domain = {}; // a user's domain it is declared by; empty: the type is written out
    SchemaType type = {};
    QString defaultSource = {};
    QString computedSource = {};
    bool notNull = false;
    QString notNullConstraint = {}; // a name of the user's; empty for the server's own
    bool identity = false;
    qint64 identityStart = 0;
    qint64 identityIncrement = 1;
    bool identityAlways = false; // GENERATED ALWAYS, not BY DEFAULT
    QString description = {};
};
