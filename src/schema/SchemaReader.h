#pragma once

#include "schema/Catalog.h"
#include "schema/CatalogFeatures.h"
#include "schema/CatalogTypes.h"
#include "schema/SchemaModel.h"

#include <QHash>
#include <QPair>
#include <QSqlDatabase>

#include <functional>

class CatalogRow;
class RoutineReader;

// Reads the whole catalogue of a database into one model with one query for
// each kind of object, never one for each object, so a schema of thousands of
// objects reads in about the time the server needs to send it. A reading
// sees the catalogue as one snapshot, whatever others commit meanwhile. Throws
// DatabaseError with the server's text when a query is refused, SilentAbort
// when the progress callback asks to stop.
class SchemaReader
{
public:
    // Called before each step; false stops the reading.
    using Progress = std::function<bool(int step, int steps)>;

    explicit SchemaReader(QSqlDatabase database);

    void setProgress(Progress progress) { m_progress = std::move(progress); }
    SchemaModel read();
    // One table or view: its columns, the domains they use, its constraints,
    // indices, triggers, grants and the relations a view selects from, with
    // the same queries as read(), each kept to that relation.
    SchemaModel readRelation(const QString &relation);
    // The functions and packages with their parameters and the domains
    // those are declared by, without relations, procedures or triggers.
    SchemaModel readRoutines();
    // One procedure outside packages with its parameters and the domains
    // they are declared by; no routine at all when there is no such procedure.
    SchemaModel readProcedure(const QString &procedure);

    static int stepCount();

private:
    void begin(const QString &relation, const QString &procedure = QString());
    void end();
    void step();
    RoutineReader routines();

    void readDatabase();
    void readPublication();
    void readCharacterSets();
    void readDomains();
    void readDimensions();
    void readGenerators();
    void readExceptions();
    void readRoles();
    void readRelations();
    void readColumns();
    void readNotNullNames();
    void readConstraints();
    void readIndices();
    void readIndexSegments();
    void readProcedures();
    void readProcedureParameters();
    void readFunctions();
    void readFunctionArguments();
    void readPackages();
    void readTriggers();
    void readGrants();
    void readDependencies();
    void placeDomains();

    SchemaColumn columnOf(const CatalogRow &row) const;
    SchemaTable *tableNamed(const QString &name);

    Catalog m_catalog;
    CatalogFeatures m_features;
    Progress m_progress;
    int m_step = 0;
    SchemaModel m_model;
    CatalogTypes m_types;
    QHash<QString, QStringList> m_segments; // index -> its columns
    QHash<QPair<QString, QString>, QString> m_notNullNames; // (table, column)
};
