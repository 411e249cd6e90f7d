#include "schema/PrivilegeTarget.h"

#include "ibdb/SqlLiteral.h"

#include <QStringList>

namespace {

using Kind = PrivilegeTarget::Kind;
using Privilege = PrivilegeTarget::Privilege;

struct DdlName
{
    const char *catalog;
    const char *keyword;
};

constexpr DdlName kDdlNames[] = {
    {"SQL$TABLES", "TABLE"},          {"SQL$VIEWS", "VIEW"},
    {"SQL$PROCEDURES", "PROCEDURE"},  {"SQL$FUNCTIONS", "FUNCTION"},
    {"SQL$PACKAGES", "PACKAGE"},      {"SQL$GENERATORS", "SEQUENCE"},
    {"SQL$DOMAINS", "DOMAIN"},        {"SQL$EXCEPTIONS", "EXCEPTION"},
    {"SQL$ROLES", "ROLE"},            {"SQL$CHARSETS", "CHARACTER SET"},
    {"SQL$COLLATIONS", "COLLATION"},  {"SQL$FILTERS", "FILTER"},
};

struct KindInfo
{
    Kind kind;
    int objectType;
    const char *name;
    // The word ON names the object with; none for a relation.
    const char *keyword;
};

constexpr KindInfo kKinds[] = {
    {Kind::Table, 0, "Table", ""},
    {Kind::View, 0, "View", ""},
    {Kind::Procedure, 5, "Procedure", "PROCEDURE "},
    {Kind::Function, 15, "Function", "FUNCTION "},
    {Kind::Package, 18, "Package", "PACKAGE "},
    {Kind::Generator, 14, "Generator", "SEQUENCE "},
    {Kind::Exception, 7, "Exception", "EXCEPTION "},
    {Kind::Domain, 9, "Domain", "DOMAIN "},
    {Kind::CharacterSet, 11, "Character set", "CHARACTER SET "},
    {Kind::Collation, 17, "Collation", "COLLATION "},
    {Kind::Ddl, -1, "DDL", ""},
};

const KindInfo &info(Kind kind)
{
    for (const KindInfo &each : kKinds) {
        if (each.kind == kind)
            return each;
    }
    return kKinds[0];
}

} // namespace

QList<Privilege> PrivilegeTarget::allPrivileges()
{
    return {Privilege::Select,  Privilege::Insert, Privilege::Update,   Privilege::Delete,
            Privilege::References, Privilege::Execute, Privilege::Usage, Privilege::Create,
            Privilege::AlterAny, Privilege::DropAny};
}

QString PrivilegeTarget::privilegeName(Privilege privilege)
{
    static const char *const names[] = {"SELECT",  "INSERT", "UPDATE", "DELETE",    "REFERENCES",
                                        "EXECUTE", "USAGE",  "CREATE", "ALTER ANY", "DROP ANY"};
    return QLatin1String(names[int(privilege)]);
}

QChar PrivilegeTarget::letter(Privilege privilege)
{
    return QLatin1Char("SIUDRXGCLO"[int(privilege)]);
}

bool PrivilegeTarget::fromLetter(QChar letter, Privilege &privilege)
{
    for (Privilege each : allPrivileges()) {
        if (PrivilegeTarget::letter(each) == letter) {
            privilege = each;
            return true;
        }
    }
    return false;
}

QString PrivilegeTarget::ddlKeyword(const QString &catalogName)
{
    for (const DdlName &each : kDdlNames) {
        if (catalogName == QLatin1String(each.catalog))
            return QLatin1String(each.keyword);
    }
    return {};
}

QStringList PrivilegeTarget::ddlNames()
{
    QStringList names;
    for (const DdlName &each : kDdlNames)
        names << QLatin1String(each.catalog);
    return names;
}

bool PrivilegeTarget::fromObjectType(int objectType, bool isView, Kind &kind)
{
    if (objectType == 0) {
        kind = isView ? Kind::View : Kind::Table;
        return true;
    }
    for (const KindInfo &each : kKinds) {
        if (each.objectType == objectType && each.kind != Kind::Ddl) {
            kind = each.kind;
            return true;
        }
    }
    return false;
}

QString PrivilegeTarget::kindName(Kind kind)
{
    return QLatin1String(info(kind).name);
}

QList<Privilege> PrivilegeTarget::privileges() const
{
    if (!column.isEmpty())
        return {Privilege::Update, Privilege::References};
    switch (kind) {
    case Kind::Table:
    case Kind::View:
        return {Privilege::Select, Privilege::Insert, Privilege::Update, Privilege::Delete,
                Privilege::References};
    case Kind::Procedure:
    case Kind::Function:
    case Kind::Package:
        return {Privilege::Execute};
    // The servers grant USAGE on these two; a domain's, a character set's
    // and a collation's is their owner's alone and shown, not edited.
    case Kind::Generator:
    case Kind::Exception:
        return {Privilege::Usage};
    case Kind::Ddl:
        return {Privilege::Create, Privilege::AlterAny, Privilege::DropAny};
    default:
        return {};
    }
}

int PrivilegeTarget::objectType() const
{
    return info(kind).objectType;
}

QString PrivilegeTarget::privilegeText(const QList<Privilege> &privileges, int dialect) const
{
    // A DDL privilege names its kind after each privilege: "CREATE TABLE, DROP ANY TABLE".
    const QString suffix = kind == Kind::Ddl ? QLatin1Char(' ') + ddlKeyword(name) : QString();
    QStringList names;
    for (Privilege privilege : privileges)
        names << privilegeName(privilege) + suffix;
    const QString list = names.join(QStringLiteral(", "));
    if (kind == Kind::Ddl)
        return list;
    QString text = list;
    if (!column.isEmpty())
        text += QStringLiteral(" (%1)").arg(SqlLiteral::name(column, dialect));
    return text + QStringLiteral(" ON ") + QLatin1String(info(kind).keyword)
           + SqlLiteral::name(name, dialect);
}
