#pragma once

#include <QString>

struct SchemaRole
{
    QString name;
    QString description = {};
};
