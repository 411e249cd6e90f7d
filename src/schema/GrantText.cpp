#include "schema/GrantText.h"

#include "ibdb/SqlLiteral.h"
#include "schema/PrivilegeTarget.h"

namespace {

QString privilegeName(QChar letter)
{
    PrivilegeTarget::Privilege privilege;
    return PrivilegeTarget::fromLetter(letter, privilege) ? PrivilegeTarget::privilegeName(privilege)
                                                          : QString();
}

QString objectKind(int objectType)
{
    switch (objectType) {
    case 5: return QStringLiteral("PROCEDURE ");
    case 7: return QStringLiteral("EXCEPTION ");
    case 14: return QStringLiteral("SEQUENCE ");
    case 15: return QStringLiteral("FUNCTION ");
    case 18: return QStringLiteral("PACKAGE ");
    default: return {};
    }
}

QString granteeText(const SchemaGrant &grant, int dialect, const QSet<QString> &roles)
{
    if (grant.granteeType == 8 && grant.grantee == QLatin1String("PUBLIC"))
        return grant.grantee;
    QString kind;
    switch (grant.granteeType) {
    case 8:
        if (roles.contains(grant.grantee))
            kind = QStringLiteral("USER ");
        break;
    case 1: kind = QStringLiteral("VIEW "); break;
    case 2: kind = QStringLiteral("TRIGGER "); break;
    case 5: kind = QStringLiteral("PROCEDURE "); break;
    case 13: kind = QStringLiteral("ROLE "); break;
    case 15: kind = QStringLiteral("FUNCTION "); break;
    case 18: kind = QStringLiteral("PACKAGE "); break;
    default: break;
    }
    return kind + SqlLiteral::name(grant.grantee, dialect);
}

QString whatText(const SchemaGrant &grant, int dialect)
{
    if (grant.privilege == QLatin1Char('M'))
        return SqlLiteral::name(grant.object, dialect);
    const QString ddl = PrivilegeTarget::ddlKeyword(grant.object);
    if (!ddl.isEmpty())
        return privilegeName(grant.privilege) + QLatin1Char(' ') + ddl;
    QString text = privilegeName(grant.privilege);
    if (!grant.column.isEmpty())
        text += QStringLiteral(" (%1)").arg(SqlLiteral::name(grant.column, dialect));
    return text + QStringLiteral(" ON ") + objectKind(grant.objectType)
           + SqlLiteral::name(grant.object, dialect);
}

} // namespace

QString GrantText(const SchemaGrant &grant, int dialect, const QString &replayUser,
                  const QSet<QString> &roles)
{
    QString text = QStringLiteral("GRANT %1 TO %2")
                       .arg(whatText(grant, dialect), granteeText(grant, dialect, roles));
    if (grant.option == 2)
        text += QStringLiteral(" WITH ADMIN OPTION");
    else if (grant.option == 1)
        text += QStringLiteral(" WITH GRANT OPTION");
    if (!grant.grantor.isEmpty() && grant.grantor != replayUser)
        text += QStringLiteral(" GRANTED BY ") + SqlLiteral::name(grant.grantor, dialect);
    return text;
}
