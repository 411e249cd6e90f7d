#pragma once

#include "schema/PrivilegeGrantee.h"
#include "schema/PrivilegeMatrix.h"
#include "schema/PrivilegeTarget.h"

#include <QList>
#include <QSqlDatabase>
#include <QStringList>

// What the privileges window offers, read in one snapshot of the catalogue:
// every privilege granted (a role's membership aside) in the matrix, every
// object a privilege can be held on, and every grantee the database knows.
struct PrivilegeCatalog
{
    PrivilegeMatrix matrix;
    // By kind in the matrix's order, then by name; the DDL kinds last.
    QList<PrivilegeTarget> objects;
    // PUBLIC, the users, then by kind and name.
    QList<PrivilegeGrantee> grantees;

    // `users`: the security database's users, which the catalogue does not
    // know; every user holding a privilege is listed too. Throws
    // DatabaseError with the server's text.
    static PrivilegeCatalog read(const QSqlDatabase &connection, const QStringList &users);
    // The relation's columns in their order.
    static QStringList columnsOf(const QSqlDatabase &connection, const QString &relation);
};
