#pragma once

#include "schema/SchemaType.h"

#include <QString>

// A parameter of a procedure or function, or an argument of an external function.
struct SchemaParameter
{
    QString name;
    SchemaType type = {};
    QString domain = {};         // a user's domain it is declared by
    bool typeOf = false;         // TYPE OF domain
    QString relation = {};       // TYPE OF COLUMN relation.column
    QString column = {};
    bool notNull = false;
    QString defaultSource = {};
    int mechanism = 1; // external functions: 0 by value, 2 by descriptor, 5 NULL, < 0 FREE_IT
    QString description = {};
};
