#include "schema/SqlSecurity.h"

#include "core/AppError.h"

namespace SqlSecurityText {

SqlSecurity fromCatalog(const QVariant &value, const QString &object)
{
    if (value.isNull())
        return SqlSecurity::NotSet;
    if (value.typeId() != QMetaType::Bool) {
        throw GeneralError(QStringLiteral("%1 has the SQL SECURITY value %2, which this "
                                          "program does not know; no script was written")
                               .arg(object, value.toString()));
    }
    return value.toBool() ? SqlSecurity::Definer : SqlSecurity::Invoker;
}

QString clause(SqlSecurity security)
{
    switch (security) {
    case SqlSecurity::NotSet: return {};
    case SqlSecurity::Definer: return QStringLiteral("SQL SECURITY DEFINER");
    case SqlSecurity::Invoker: return QStringLiteral("SQL SECURITY INVOKER");
    }
    return {};
}

QStringList lines(SqlSecurity security)
{
    const QString text = clause(security);
    return text.isEmpty() ? QStringList() : QStringList{text};
}

} // namespace SqlSecurityText
