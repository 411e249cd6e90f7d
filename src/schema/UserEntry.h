#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <utility>

// A user of the security database the server uses for the database, as
// SEC$USERS and SEC$USER_ATTRIBUTES list it, and the statements that
// create, change and drop one.
struct UserEntry
{
    using Tags = QList<std::pair<QString, QString>>;

    QString name;
    QString firstName;
    QString middleName;
    QString lastName;
    bool active = true;
    bool admin = false;
    QString plugin;
    Tags tags;
    // Set only to give a new password; never read back.
    QString password;

    // The users the server shows the current user, by name; throws
    // DatabaseError with the server's text.
    static QList<UserEntry> readAll(const QSqlDatabase &connection);
    // Whether the server lets the current user see and change every user.
    static bool managesUsers(const QSqlDatabase &connection);

    // "CREATE USER …", "ALTER USER …" with only what differs from `before`
    // (empty when nothing does), "DROP USER …".
    QString createText(int dialect) const;
    QString alterText(const UserEntry &before, int dialect) const;
    QString dropText(int dialect) const;

    // A word a statement may carry unquoted: a tag's key, a plugin's name.
    static bool plainWord(const QString &text);
    // Tags as the window edits them: "key=value, key=value".
    static QString tagsText(const Tags &tags);
    // Throws GeneralError naming an entry that has no key.
    static Tags parseTags(const QString &text);
};
