#pragma once

#include <QList>
#include <QString>

#include <tuple>

// Who holds a privilege: a user (PUBLIC among them), a role, or a routine,
// trigger or view that uses the object; RDB$USER_TYPE tells them apart.
struct PrivilegeGrantee
{
    enum Type { View = 1, Trigger = 2, Procedure = 5, User = 8, Role = 13, Function = 15,
                Package = 18 };

    int type = User;
    QString name;

    // Every kind of grantee the servers have, in the order the window lists them.
    static QList<Type> types();
    static QString typeName(int type);
    bool isPublic() const { return type == User && name == QLatin1String("PUBLIC"); }
    // The grantee as GRANT and REVOKE name it: "USER ANN", "ROLE CLERK", "PUBLIC".
    QString text(int dialect) const;
    // "User ANN", as a list shows it.
    QString caption() const;

    friend bool operator==(const PrivilegeGrantee &, const PrivilegeGrantee &) = default;
    friend bool operator<(const PrivilegeGrantee &a, const PrivilegeGrantee &b)
    {
        return std::tie(a.type, a.name) < std::tie(b.type, b.name);
    }
};
