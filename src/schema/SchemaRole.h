#pragma once

#include <QString>
#include <QStringList>

struct SchemaRole
{
    QString name;
    QString description = {};
    QStringList systemPrivileges = {}; // their names, in bit order
};
