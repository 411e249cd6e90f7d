#pragma once

#include <QString>

struct SchemaException
{
    QString name;
    QString message;
    QString description = {};
};
