#pragma once

#include <QString>

// The file a connection path names, without its folders or server:
// "dbhost/3051:/data/shop.fdb" and "C:\data\shop.fdb" both give "shop.fdb";
// a server's alias ("dbhost:shop") gives the alias.
QString DatabaseFileName(const QString &path);
