#include "schema/RoutineDdl.h"

#include "ibdb/SqlLiteral.h"
#include "ibdb/StatementLines.h"
#include "schema/SqlTypeText.h"

namespace {

QString externalArgument(const SchemaParameter &argument, int dialect)
{
    QString text = SqlTypeText(argument.type, dialect);
    if (argument.mechanism == 2)
        text += QStringLiteral(" BY DESCRIPTOR");
    else if (argument.mechanism == 5)
        text += QStringLiteral(" NULL");
    return text;
}

QString externalReturn(const SchemaRoutine &function, int dialect)
{
    if (function.returnArgument > 0)
        return QStringLiteral("RETURNS PARAMETER %1").arg(function.returnArgument);
    if (function.outputs.isEmpty())
        return {};
    const SchemaParameter &result = function.outputs.first();
    QString text = QStringLiteral("RETURNS ") + SqlTypeText(result.type, dialect);
    const int mechanism = qAbs(result.mechanism);
    if (mechanism == 0)
        text += QStringLiteral(" BY VALUE");
    else if (mechanism == 2)
        text += QStringLiteral(" BY DESCRIPTOR");
    if (result.mechanism < 0)
        text += QStringLiteral(" FREE_IT");
    return text;
}

} // namespace

namespace RoutineDdl {

ProcedureDdl::Parameter declared(const SchemaParameter &p, int dialect)
{
    const auto name = [dialect](const QString &n) { return SqlLiteral::name(n, dialect); };
    ProcedureDdl::Parameter parameter{p.name, SqlTypeText(p.type, dialect)};
    if (!p.relation.isEmpty())
        parameter.domain = QStringLiteral("TYPE OF COLUMN %1.%2").arg(name(p.relation),
                                                                     name(p.column));
    else if (!p.domain.isEmpty())
        parameter.domain = (p.typeOf ? QStringLiteral("TYPE OF ") : QString()) + name(p.domain);
    parameter.notNull = p.notNull;
    parameter.collation = p.type.collation;
    parameter.defaultSource = p.defaultSource;
    return parameter;
}

QList<ProcedureDdl::Parameter> declared(const QList<SchemaParameter> &parameters, int dialect)
{
    QList<ProcedureDdl::Parameter> result;
    for (const SchemaParameter &p : parameters)
        result << declared(p, dialect);
    return result;
}

QStringList procedureLines(const SchemaRoutine &p, const QString &body, bool create, int dialect)
{
    ProcedureDdl::Procedure procedure{p.name, body, declared(p.inputs, dialect),
                                      declared(p.outputs, dialect), dialect};
    procedure.create = create;
    procedure.sqlSecurity = p.sqlSecurity;
    return ProcedureDdl::lines(procedure);
}

QStringList functionLines(const SchemaRoutine &f, const QString &body, bool create, int dialect)
{
    QStringList arguments;
    for (const SchemaParameter &argument : f.inputs)
        arguments << SqlLiteral::name(argument.name, dialect) + QLatin1Char(' ')
                         + ProcedureDdl::declaration(declared(argument, dialect), dialect);
    QString header = QStringLiteral("%1 FUNCTION %2 (%3)")
                         .arg(create ? QStringLiteral("CREATE") : QStringLiteral("ALTER"),
                              SqlLiteral::name(f.name, dialect), arguments.join(QStringLiteral(", ")));
    QStringList lines = StatementLines::split(header);
    if (!f.outputs.isEmpty())
        lines << QStringLiteral("RETURNS ")
                     + ProcedureDdl::declaration(declared(f.outputs.first(), dialect), dialect)
                     + (f.deterministic ? QStringLiteral(" DETERMINISTIC") : QString());
    lines << SqlSecurityText::lines(f.sqlSecurity);
    lines << QStringLiteral("AS") << StatementLines::splitText(body);
    return lines;
}

QStringList externalLines(const SchemaRoutine &f, int dialect)
{
    QStringList lines{QStringLiteral("DECLARE EXTERNAL FUNCTION ") + SqlLiteral::name(f.name, dialect)};
    QStringList arguments;
    for (const SchemaParameter &argument : f.inputs)
        arguments << QStringLiteral("    ") + externalArgument(argument, dialect);
    if (!arguments.isEmpty())
        lines << arguments.join(QStringLiteral(",\n")).split(QLatin1Char('\n'));
    lines << QStringLiteral("    ") + externalReturn(f, dialect);
    lines << QStringLiteral("    ENTRY_POINT %1 MODULE_NAME %2")
                 .arg(SqlLiteral::string(f.entryPoint, dialect),
                      SqlLiteral::string(f.moduleName, dialect));
    return lines;
}

QStringList packageLines(const QString &statement, const QString &name, const QString &source,
                         int dialect, SqlSecurity security)
{
    QStringList lines = StatementLines::splitText(source);
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    QStringList result{statement + QLatin1Char(' ') + SqlLiteral::name(name, dialect)};
    return result << SqlSecurityText::lines(security) << QStringLiteral("AS") << lines;
}

} // namespace RoutineDdl
