#pragma once

#include <QString>

// A collation the user created on a character set.
struct SchemaCollation
{
    QString name;
    QString characterSet;
    QString baseCollation = {};
    int attributes = 0; // 1 pad space, 2 case insensitive, 4 accent insensitive
    QString specificAttributes = {};
    QString description = {};
};
