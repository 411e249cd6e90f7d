#pragma once

#include "schema/SchemaModel.h"

class Catalog;
class CatalogFeatures;
class CatalogRow;
class CatalogTypes;

// Reads the procedures, functions and packages of the catalogue, each kind
// with one query, into the model a SchemaReader fills. The parameters take
// their types from the domains read before them.
class RoutineReader
{
public:
    RoutineReader(const Catalog &catalog, const CatalogFeatures &features,
                  const CatalogTypes &types, SchemaModel &model);

    void readProcedures();
    // After readProcedures(): a parameter of no procedure read is left out.
    void readProcedureParameters();
    void readFunctions();
    // After readFunctions(), likewise.
    void readFunctionArguments();
    void readPackages();

private:
    static SqlSecurity sqlSecurityOf(const CatalogRow &row, const QString &object);
    SchemaParameter parameterOf(const CatalogRow &row, const char *nameColumn) const;
    SchemaRoutine *routineNamed(SchemaRoutine::Kind kind, const QString &name);

    const Catalog &m_catalog;
    const CatalogFeatures &m_features;
    const CatalogTypes &m_types;
    SchemaModel &m_model;
};
