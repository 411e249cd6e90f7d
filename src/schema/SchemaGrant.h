#pragma once

#include <QString>

// One privilege one grantee holds: a row of RDB$USER_PRIVILEGES.
struct SchemaGrant
{
    QString grantee;
    int granteeType = 8; // RDB$USER_TYPE: 8 user, 13 role, 5 procedure, ...
    QChar privilege = {}; // RDB$PRIVILEGE: S, I, U, D, R, X, G, M, C, L, O
    QString object = {};  // RDB$RELATION_NAME
    int objectType = 0;  // RDB$OBJECT_TYPE
    QString column = {};
    int option = 0; // 1: WITH GRANT OPTION, 2: WITH ADMIN OPTION
    QString grantor = {};
};
