#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// What a privilege is held on: an object of the database, one column of a
// table or view, or a kind of object for the DDL privileges (CREATE, ALTER
// ANY, DROP ANY), which the catalogue keeps under names like SQL$TABLES.
struct PrivilegeTarget
{
    enum class Kind {
        Table,
        View,
        Procedure,
        Function,
        Package,
        Generator,
        Exception,
        Domain,
        CharacterSet,
        Collation,
        Ddl
    };
    // In the order of the matrix's columns.
    enum class Privilege { Select, Insert, Update, Delete, References, Execute, Usage, Create,
                           AlterAny, DropAny };

    Kind kind = Kind::Table;
    QString name;
    // Set for a column's UPDATE or REFERENCES only.
    QString column = {};

    static QList<Privilege> allPrivileges();
    static QString privilegeName(Privilege privilege);
    // RDB$PRIVILEGE's letter; a null QChar for none.
    static QChar letter(Privilege privilege);
    static bool fromLetter(QChar letter, Privilege &privilege);
    // The keyword a DDL privilege names its kind of object by ("TABLE" for
    // SQL$TABLES); empty for a name that is none.
    static QString ddlKeyword(const QString &catalogName);
    // The catalogue names of every kind a DDL privilege can name.
    static QStringList ddlNames();
    // The kind of a row of RDB$USER_PRIVILEGES, told apart from a view by
    // `isView` (the catalogue keeps both as relations, object type 0).
    static bool fromObjectType(int objectType, bool isView, Kind &kind);
    static QString kindName(Kind kind);

    // The privileges a grant on this target can name; the matrix edits only these.
    QList<Privilege> privileges() const;
    bool applies(Privilege privilege) const { return privileges().contains(privilege); }
    // RDB$OBJECT_TYPE as the catalogue keys the object's grants; -1 for the
    // DDL kinds, which are told apart by name.
    int objectType() const;
    // "SELECT ON T", "UPDATE (NAME) ON T", "EXECUTE ON PROCEDURE P", "CREATE TABLE".
    QString privilegeText(const QList<Privilege> &privileges, int dialect) const;
};
