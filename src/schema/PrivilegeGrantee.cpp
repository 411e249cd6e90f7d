#include "schema/PrivilegeGrantee.h"

#include "ibdb/SqlLiteral.h"

QList<PrivilegeGrantee::Type> PrivilegeGrantee::types()
{
    return {User, Role, Procedure, Function, Package, Trigger, View};
}

QString PrivilegeGrantee::typeName(int type)
{
    switch (type) {
    case View: return QStringLiteral("View");
    case Trigger: return QStringLiteral("Trigger");
    case Procedure: return QStringLiteral("Procedure");
    case User: return QStringLiteral("User");
    case Role: return QStringLiteral("Role");
    case Function: return QStringLiteral("Function");
    case Package: return QStringLiteral("Package");
    default: return QStringLiteral("Type %1").arg(type);
    }
}

QString PrivilegeGrantee::text(int dialect) const
{
    // PUBLIC is a keyword, not a user of that name.
    if (isPublic())
        return name;
    // Named without its kind, a user who shares a role's name would be taken
    // for the role.
    return typeName(type).toUpper() + QLatin1Char(' ') + SqlLiteral::name(name, dialect);
}

QString PrivilegeGrantee::caption() const
{
    return isPublic() ? name : typeName(type) + QLatin1Char(' ') + name;
}
