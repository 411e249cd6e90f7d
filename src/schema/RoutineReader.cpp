#include "schema/RoutineReader.h"

#include "schema/Catalog.h"
#include "schema/CatalogFeatures.h"
#include "schema/CatalogRow.h"
#include "schema/CatalogTypes.h"

RoutineReader::RoutineReader(const Catalog &catalog, const CatalogFeatures &features,
                             const CatalogTypes &types, SchemaModel &model)
    : m_catalog(catalog), m_features(features), m_types(types), m_model(model)
{
}

SqlSecurity RoutineReader::sqlSecurityOf(const CatalogRow &row, const QString &object)
{
    return SqlSecurityText::fromCatalog(row.value("RDB$SQL_SECURITY"), object);
}

SchemaRoutine *RoutineReader::routineNamed(SchemaRoutine::Kind kind, const QString &routineName)
{
    const bool procedure = kind == SchemaRoutine::Kind::Procedure;
    for (SchemaRoutine &routine : m_model.routines) {
        if ((routine.kind == SchemaRoutine::Kind::Procedure) == procedure
            && routine.name == routineName)
            return &routine;
    }
    return nullptr;
}

void RoutineReader::readProcedures()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RDB$PROCEDURE_NAME, RDB$PROCEDURE_SOURCE, RDB$PROCEDURE_TYPE, RDB$DESCRIPTION%2 "
        "FROM RDB$PROCEDURES WHERE %1 AND RDB$PACKAGE_NAME IS NULL%3 "
        "ORDER BY RDB$PROCEDURE_NAME")
                            .arg(QLatin1String(Catalog::userObjects),
                                 m_features.sqlSecurityColumn(),
                                 m_catalog.withinProcedure(
                                     QStringLiteral("RDB$PROCEDURE_NAME = :PROCEDURE"))));
    while (row.next()) {
        SchemaRoutine routine{row.name("RDB$PROCEDURE_NAME")};
        routine.source = row.stored("RDB$PROCEDURE_SOURCE");
        routine.selectable = row.number("RDB$PROCEDURE_TYPE") == 1;
        routine.description = row.stored("RDB$DESCRIPTION");
        routine.sqlSecurity = sqlSecurityOf(row, QStringLiteral("Procedure ") + routine.name);
        m_model.routines.append(routine);
    }
}

// A parameter declared by a domain, by TYPE OF, by TYPE OF COLUMN or by a
// written-out type (whose domain the server named RDB$n).
SchemaParameter RoutineReader::parameterOf(const CatalogRow &row, const char *nameColumn) const
{
    const QString source = row.name("RDB$FIELD_SOURCE");
    SchemaParameter parameter{row.name(nameColumn)};
    parameter.type = m_types.domain(source).type;
    parameter.relation = row.name("RDB$RELATION_NAME");
    // A system domain (RDB$USER) is not read, and is named as a user's is.
    const bool writtenOut = parameter.relation.isEmpty() && Catalog::isServerName(source)
                            && m_types.hasDomain(source);
    if (!parameter.relation.isEmpty()) {
        parameter.column = row.name("RDB$FIELD_NAME");
    } else if (!writtenOut) {
        parameter.domain = source;
        parameter.typeOf = row.number("RDB$PARAMETER_MECHANISM") == 1
                           || row.number("RDB$ARGUMENT_MECHANISM") == 1;
    }
    // A COLLATE after a domain is the parameter's own; after a written-out
    // type it may sit on the domain the server made for it.
    if (!row.isNull("RDB$COLLATION_ID") || !writtenOut)
        parameter.type.collation = m_types.ownCollation(row, source);
    parameter.notNull = row.number("RDB$NULL_FLAG") == 1;
    parameter.defaultSource = row.stored("RDB$DEFAULT_SOURCE");
    parameter.description = row.stored("RDB$DESCRIPTION");
    return parameter;
}

void RoutineReader::readProcedureParameters()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT P.RDB$PROCEDURE_NAME, P.RDB$PARAMETER_NAME, P.RDB$PARAMETER_TYPE, "
        "P.RDB$FIELD_SOURCE, P.RDB$NULL_FLAG, P.RDB$DEFAULT_SOURCE, P.RDB$COLLATION_ID, "
        "P.RDB$PARAMETER_MECHANISM, P.RDB$FIELD_NAME, P.RDB$RELATION_NAME, P.RDB$DESCRIPTION "
        "FROM RDB$PROCEDURE_PARAMETERS P "
        "WHERE COALESCE(P.RDB$SYSTEM_FLAG, 0) = 0 AND P.RDB$PACKAGE_NAME IS NULL%1 "
        "ORDER BY P.RDB$PROCEDURE_NAME, P.RDB$PARAMETER_TYPE, P.RDB$PARAMETER_NUMBER")
                            .arg(m_catalog.withinProcedure(
                                QStringLiteral("P.RDB$PROCEDURE_NAME = :PROCEDURE"))));
    SchemaRoutine *routine = nullptr;
    while (row.next()) {
        const QString procedure = row.name("RDB$PROCEDURE_NAME");
        if (!routine || routine->name != procedure)
            routine = routineNamed(SchemaRoutine::Kind::Procedure, procedure);
        if (!routine)
            continue;
        const SchemaParameter parameter = parameterOf(row, "RDB$PARAMETER_NAME");
        (row.number("RDB$PARAMETER_TYPE") == 0 ? routine->inputs : routine->outputs)
            .append(parameter);
    }
}

void RoutineReader::readFunctions()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RDB$FUNCTION_NAME, RDB$FUNCTION_SOURCE, RDB$LEGACY_FLAG, "
        "RDB$DETERMINISTIC_FLAG, RDB$RETURN_ARGUMENT, RDB$ENTRYPOINT, RDB$MODULE_NAME, "
        "RDB$DESCRIPTION%2 FROM RDB$FUNCTIONS WHERE %1 AND RDB$PACKAGE_NAME IS NULL "
        "ORDER BY RDB$FUNCTION_NAME")
                            .arg(QLatin1String(Catalog::userObjects),
                                 m_features.sqlSecurityColumn()));
    while (row.next()) {
        SchemaRoutine routine{row.name("RDB$FUNCTION_NAME")};
        routine.kind = row.number("RDB$LEGACY_FLAG") == 1 ? SchemaRoutine::Kind::External
                                                           : SchemaRoutine::Kind::Function;
        routine.source = row.stored("RDB$FUNCTION_SOURCE");
        routine.deterministic = row.number("RDB$DETERMINISTIC_FLAG") == 1;
        routine.returnArgument = row.number("RDB$RETURN_ARGUMENT");
        routine.entryPoint = row.stored("RDB$ENTRYPOINT").trimmed();
        routine.moduleName = row.stored("RDB$MODULE_NAME").trimmed();
        routine.description = row.stored("RDB$DESCRIPTION");
        routine.sqlSecurity = sqlSecurityOf(row, QStringLiteral("Function ") + routine.name);
        m_model.routines.append(routine);
    }
}

void RoutineReader::readFunctionArguments()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT A.RDB$FUNCTION_NAME, A.RDB$ARGUMENT_POSITION, A.RDB$ARGUMENT_NAME, "
        "A.RDB$MECHANISM, A.RDB$FIELD_TYPE, A.RDB$FIELD_SUB_TYPE, A.RDB$FIELD_SCALE, "
        "A.RDB$FIELD_PRECISION, A.RDB$CHARACTER_LENGTH, A.RDB$FIELD_LENGTH, "
        "A.RDB$CHARACTER_SET_ID, A.RDB$FIELD_SOURCE, A.RDB$NULL_FLAG, A.RDB$DEFAULT_SOURCE, "
        "A.RDB$COLLATION_ID, A.RDB$ARGUMENT_MECHANISM, A.RDB$FIELD_NAME, A.RDB$RELATION_NAME, "
        "A.RDB$DESCRIPTION FROM RDB$FUNCTION_ARGUMENTS A "
        "WHERE COALESCE(A.RDB$SYSTEM_FLAG, 0) = 0 AND A.RDB$PACKAGE_NAME IS NULL "
        "ORDER BY A.RDB$FUNCTION_NAME, A.RDB$ARGUMENT_POSITION"));
    SchemaRoutine *routine = nullptr;
    while (row.next()) {
        const QString function = row.name("RDB$FUNCTION_NAME");
        if (!routine || routine->name != function)
            routine = routineNamed(SchemaRoutine::Kind::Function, function);
        if (!routine)
            continue;
        SchemaParameter argument;
        if (routine->kind == SchemaRoutine::Kind::External) {
            argument.type = m_types.typeOf(row);
            argument.type.collation.clear();
            argument.mechanism = row.number("RDB$MECHANISM");
        } else {
            argument = parameterOf(row, "RDB$ARGUMENT_NAME");
        }
        const bool returned = row.number("RDB$ARGUMENT_POSITION") == 0;
        (returned ? routine->outputs : routine->inputs).append(argument);
    }
}

void RoutineReader::readPackages()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RDB$PACKAGE_NAME, RDB$PACKAGE_HEADER_SOURCE, RDB$PACKAGE_BODY_SOURCE, "
        "RDB$DESCRIPTION%2 FROM RDB$PACKAGES WHERE %1 ORDER BY RDB$PACKAGE_NAME")
                            .arg(QLatin1String(Catalog::userObjects),
                                 m_features.sqlSecurityColumn()));
    while (row.next()) {
        const QString name = row.name("RDB$PACKAGE_NAME");
        m_model.packages.append({name, row.stored("RDB$PACKAGE_HEADER_SOURCE"),
                                 row.stored("RDB$PACKAGE_BODY_SOURCE"),
                                 row.stored("RDB$DESCRIPTION"),
                                 sqlSecurityOf(row, QStringLiteral("Package ") + name)});
    }
}
