#include "schema/UserEntry.h"

#include "core/AppError.h"
#include "ibdb/BoundQuery.h"
#include "ibdb/PlainName.h"
#include "ibdb/SqlLiteral.h"

#include <QRegularExpression>
#include <QSqlRecord>
#include <QStringList>

namespace {

QString passwordClause(const QString &password, int dialect)
{
    return QStringLiteral(" PASSWORD ") + SqlLiteral::string(password, dialect);
}

// The name parts a statement sets; an emptied part is set to the empty string.
QStringList nameClauses(const UserEntry &entry, const UserEntry *before, int dialect)
{
    QStringList clauses;
    const std::pair<const char *, QString UserEntry::*> parts[] = {
        {"FIRSTNAME", &UserEntry::firstName},
        {"MIDDLENAME", &UserEntry::middleName},
        {"LASTNAME", &UserEntry::lastName}};
    for (const auto &[keyword, member] : parts) {
        const QString &value = entry.*member;
        const bool changed = before ? value != before->*member : !value.isEmpty();
        if (changed)
            clauses << QStringLiteral(" %1 %2").arg(QLatin1String(keyword),
                                                    SqlLiteral::string(value, dialect));
    }
    return clauses;
}

QString tagsClause(const UserEntry::Tags &tags, const UserEntry::Tags &before, int dialect)
{
    QStringList items;
    for (const auto &[key, value] : tags) {
        if (!before.contains(std::pair(key, value)))
            items << key + QStringLiteral(" = ") + SqlLiteral::string(value, dialect);
    }
    for (const auto &[key, value] : before) {
        const bool kept = std::any_of(tags.begin(), tags.end(),
                                      [&key](const auto &tag) { return tag.first == key; });
        if (!kept)
            items << QStringLiteral("DROP ") + key;
    }
    return items.isEmpty() ? QString() : QStringLiteral(" TAGS (%1)").arg(items.join(u", "));
}

QString pluginClause(const QString &plugin)
{
    return plugin.isEmpty() ? QString() : QStringLiteral(" USING PLUGIN ") + plugin;
}

UserEntry::Tags tagsOf(const QSqlDatabase &connection, const QString &user,
                       const QString &plugin)
{
    QSqlQuery query = BoundQuery::run(
        connection,
        QStringLiteral("SELECT SEC$KEY, SEC$VALUE FROM SEC$USER_ATTRIBUTES "
                       "WHERE SEC$USER_NAME = :NAME AND SEC$PLUGIN = :PLUGIN ORDER BY SEC$KEY"),
        {{QStringLiteral("NAME"), user}, {QStringLiteral("PLUGIN"), plugin}});
    UserEntry::Tags tags;
    while (query.next())
        tags << std::pair(PlainName(query.value(0).toString()), query.value(1).toString());
    return tags;
}

} // namespace

QList<UserEntry> UserEntry::readAll(const QSqlDatabase &connection)
{
    QSqlQuery query = BoundQuery::run(
        connection,
        QStringLiteral("SELECT SEC$USER_NAME, SEC$FIRST_NAME, SEC$MIDDLE_NAME, SEC$LAST_NAME, "
                       "SEC$ACTIVE, SEC$ADMIN, SEC$PLUGIN FROM SEC$USERS "
                       "ORDER BY SEC$USER_NAME, SEC$PLUGIN"),
        {});
    QList<UserEntry> users;
    while (query.next()) {
        UserEntry user;
        user.name = PlainName(query.value(0).toString());
        user.firstName = query.value(1).toString();
        user.middleName = query.value(2).toString();
        user.lastName = query.value(3).toString();
        user.active = query.value(4).toBool();
        user.admin = query.value(5).toBool();
        user.plugin = PlainName(query.value(6).toString());
        users << user;
    }
    for (UserEntry &user : users)
        user.tags = tagsOf(connection, user.name, user.plugin);
    return users;
}

bool UserEntry::managesUsers(const QSqlDatabase &connection)
{
    QSqlQuery query = BoundQuery::run(
        connection,
        QStringLiteral("SELECT IIF(CURRENT_USER = 'SYSDBA' OR CURRENT_ROLE = 'RDB$ADMIN' "
                       "OR EXISTS (SELECT 1 FROM SEC$USERS WHERE SEC$USER_NAME = CURRENT_USER "
                       "AND SEC$ADMIN), 1, 0) FROM RDB$DATABASE"),
        {});
    return query.next() && query.value(0).toInt() == 1;
}

QString UserEntry::createText(int dialect) const
{
    QString text = QStringLiteral("CREATE USER ") + SqlLiteral::name(name, dialect)
                   + passwordClause(password, dialect) + nameClauses(*this, nullptr, dialect).join(QString());
    if (!active)
        text += QStringLiteral(" INACTIVE");
    if (admin)
        text += QStringLiteral(" GRANT ADMIN ROLE");
    // The server's grammar takes the tags after the plugin.
    return text + pluginClause(plugin) + tagsClause(tags, {}, dialect);
}

QString UserEntry::alterText(const UserEntry &before, int dialect) const
{
    QString changes;
    if (!password.isEmpty())
        changes += passwordClause(password, dialect);
    changes += nameClauses(*this, &before, dialect).join(QString());
    if (active != before.active)
        changes += active ? QStringLiteral(" ACTIVE") : QStringLiteral(" INACTIVE");
    if (admin != before.admin)
        changes += admin ? QStringLiteral(" GRANT ADMIN ROLE") : QStringLiteral(" REVOKE ADMIN ROLE");
    const QString tagChanges = tagsClause(tags, before.tags, dialect);
    if (changes.isEmpty() && tagChanges.isEmpty())
        return QString();
    return QStringLiteral("ALTER USER ") + SqlLiteral::name(name, dialect)
           + (changes.isEmpty() ? QString() : QStringLiteral(" SET") + changes)
           + pluginClause(plugin) + tagChanges;
}

QString UserEntry::dropText(int dialect) const
{
    return QStringLiteral("DROP USER ") + SqlLiteral::name(name, dialect) + pluginClause(plugin);
}

QString UserEntry::tagsText(const Tags &tags)
{
    QStringList items;
    for (const auto &[key, value] : tags)
        items << key + u'=' + value;
    return items.join(QStringLiteral(", "));
}

bool UserEntry::plainWord(const QString &text)
{
    static const QRegularExpression word(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]*$"));
    return word.match(text).hasMatch();
}

UserEntry::Tags UserEntry::parseTags(const QString &text)
{
    Tags tags;
    for (const QString &item : text.split(u',', Qt::SkipEmptyParts)) {
        const QString key = item.section(u'=', 0, 0).trimmed();
        // A key goes into the statement as a word: anything else would change
        // what the statement says.
        if (!item.contains(u'=') || !plainWord(key))
            throw GeneralError(QStringLiteral("The tag \"%1\" is no key=value pair with a key "
                                              "of letters, digits, _ and $")
                                   .arg(item.trimmed()));
        tags << std::pair(key.toUpper(), item.section(u'=', 1).trimmed());
    }
    return tags;
}
