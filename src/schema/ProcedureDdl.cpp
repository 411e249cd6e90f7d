#include "schema/ProcedureDdl.h"

#include "ibdb/SqlLiteral.h"
#include "ibdb/StatementLines.h"
#include "schema/TrailingComment.h"

namespace ProcedureDdl {

namespace {

// "<opening> name type, name type)": the blank before each name doubles as
// the separator after the previous comma.
QString parameterList(const QString &opening, const QList<Parameter> &parameters, int dialect)
{
    QString list = opening;
    for (const Parameter &parameter : parameters)
        list += QStringLiteral(" %1 %2,").arg(SqlLiteral::name(parameter.name, dialect),
                                              declaration(parameter, dialect));
    list.chop(1);
    return list + QLatin1Char(')');
}

} // namespace

QString declaration(const Parameter &parameter, int dialect)
{
    QString text = parameter.domain;
    if (text.isEmpty()) {
        text = parameter.typeText;
        if (!parameter.characterSet.isEmpty())
            text += QStringLiteral(" CHARACTER SET ")
                    + SqlLiteral::name(parameter.characterSet, dialect);
    }
    if (parameter.notNull)
        text += QStringLiteral(" NOT NULL");
    if (!parameter.collation.isEmpty())
        text += QStringLiteral(" COLLATE ") + SqlLiteral::name(parameter.collation, dialect);
    if (!parameter.defaultSource.isEmpty())
        text += QLatin1Char(' ') + TrailingComment::closed(parameter.defaultSource.trimmed());
    return text;
}

QStringList lines(const Procedure &procedure)
{
    const int dialect = procedure.dialect;
    QStringList result{
        QStringLiteral("%1 PROCEDURE %2 ")
            .arg(procedure.create ? QStringLiteral("CREATE") : QStringLiteral("ALTER"),
                 SqlLiteral::name(procedure.name, dialect))};
    if (!procedure.inputs.isEmpty())
        result << StatementLines::split(parameterList(QStringLiteral("("), procedure.inputs,
                                                      dialect));
    if (!procedure.outputs.isEmpty())
        result << StatementLines::split(parameterList(QStringLiteral(" RETURNS ("),
                                                      procedure.outputs, dialect));
    result << SqlSecurityText::lines(procedure.sqlSecurity);
    result << QStringLiteral("AS");
    result << StatementLines::split(procedure.source);
    return result;
}

QString text(const Procedure &procedure)
{
    return StatementLines::join(lines(procedure));
}

} // namespace ProcedureDdl
