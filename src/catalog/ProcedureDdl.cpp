#include "ProcedureDdl.h"

#include "StatementLines.h"

namespace ProcedureDdl {

namespace {

// "<opening> name type, name type)": the blank before each name doubles as
// the separator after the previous comma.
QString parameterList(const QString &opening, const QList<Parameter> &parameters)
{
    QString list = opening;
    for (const Parameter &parameter : parameters)
        list += QStringLiteral(" %1 %2,").arg(parameter.name, parameter.typeText);
    list.chop(1);
    return list + QLatin1Char(')');
}

} // namespace

QStringList lines(const Procedure &procedure)
{
    QStringList result{QStringLiteral("ALTER PROCEDURE %1 ").arg(procedure.name)};
    if (!procedure.inputs.isEmpty())
        result << parameterList(QStringLiteral("("), procedure.inputs);
    if (!procedure.outputs.isEmpty())
        result << parameterList(QStringLiteral(" RETURNS ("), procedure.outputs);
    result << QStringLiteral("AS");
    result << StatementLines::split(procedure.source);
    return result;
}

QString text(const Procedure &procedure)
{
    return StatementLines::join(lines(procedure));
}

} // namespace ProcedureDdl
