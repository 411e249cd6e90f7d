#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// A role of the database with who holds it, and the statements that create,
// drop, grant and revoke roles and set their system privileges.
struct RoleEntry
{
    struct Holder
    {
        QString name;
        bool isRole = false;
        bool adminOption = false;
        QString grantor;
    };

    QString name;
    QString owner;
    bool system = false;
    // Firebird 4's system privileges in bit order; always empty before.
    QStringList systemPrivileges;
    QList<Holder> holders;

    // Every role by name, with its holders; throws DatabaseError with the
    // server's text.
    static QList<RoleEntry> readAll(const QSqlDatabase &connection);
    // Whether the database keeps system privileges (Firebird 4 and later).
    static bool hasSystemPrivileges(const QSqlDatabase &connection);

    static QString createText(const QString &role, int dialect);
    static QString dropText(const QString &role, int dialect);
    static QString grantText(const QString &role, const Holder &grantee, int dialect);
    // Only the ADMIN OPTION when `adminOptionOnly`, else the role itself.
    static QString revokeText(const QString &role, const Holder &grantee, bool adminOptionOnly,
                              int dialect);
    // An empty list drops them all.
    static QString systemPrivilegesText(const QString &role, const QStringList &privileges,
                                        int dialect);
};
