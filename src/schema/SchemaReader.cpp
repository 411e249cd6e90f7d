#include "schema/SchemaReader.h"

#include "core/AppError.h"
#include "schema/CatalogRow.h"
#include "schema/RoutineReader.h"
#include "schema/SchemaTypeCheck.h"
#include "schema/SystemPrivileges.h"

#include <QScopeGuard>
#include <QSet>

namespace {

// INTEG_n and the like: a name the server gave, given anew on replay.
QString userConstraintName(const QString &name)
{
    return name.startsWith(QLatin1String("INTEG_")) ? QString() : name;
}

// RDB$IDENTITY_TYPE: 0 ALWAYS, 1 BY DEFAULT (Firebird 3 knows only that one).
void takeIdentity(const CatalogRow &row, const QString &table, SchemaColumn &column)
{
    const QVariant type = row.value("RDB$IDENTITY_TYPE");
    column.identity = !type.isNull();
    if (!column.identity)
        return;
    if (type.toInt() != 0 && type.toInt() != 1) {
        throw GeneralError(QStringLiteral("Column %1 of table %2 has the identity type %3, "
                                          "which this program does not know; no script was "
                                          "written")
                               .arg(column.name, table, type.toString()));
    }
    column.identityAlways = type.toInt() == 0;
    column.identityStart = row.value("RDB$INITIAL_VALUE").toLongLong();
    column.identityIncrement = row.value("RDB$GENERATOR_INCREMENT").toLongLong();
}

} // namespace

SchemaReader::SchemaReader(QSqlDatabase database)
    : m_catalog(database), m_features(CatalogFeatures::of(database))
{
}

namespace {

using Step = void (SchemaReader::*)();

} // namespace

SchemaModel SchemaReader::read()
{
    // The order matters: types before the columns and parameters that use
    // them, index segments before constraints, objects before their grants.
    static const Step steps[] = {
        &SchemaReader::readDatabase,      &SchemaReader::readCharacterSets,
        &SchemaReader::readDomains,       &SchemaReader::readDimensions,
        &SchemaReader::readGenerators,    &SchemaReader::readExceptions,
        &SchemaReader::readRoles,         &SchemaReader::readRelations,
        &SchemaReader::readNotNullNames,  &SchemaReader::readColumns,
        &SchemaReader::readIndexSegments, &SchemaReader::readConstraints,
        &SchemaReader::readIndices,       &SchemaReader::readProcedures,
        &SchemaReader::readProcedureParameters, &SchemaReader::readFunctions,
        &SchemaReader::readFunctionArguments,   &SchemaReader::readPackages,
        &SchemaReader::readTriggers,      &SchemaReader::readGrants,
        &SchemaReader::readDependencies,
    };
    static_assert(std::size(steps) == 21);
    begin(QString());
    const auto reading = qScopeGuard([this] { end(); });
    for (const Step s : steps) {
        step();
        (this->*s)();
    }
    SchemaTypeCheck::requireKnownTypes(m_model);
    return std::move(m_model);
}

SchemaModel SchemaReader::readRoutines()
{
    static const Step steps[] = {
        &SchemaReader::readDatabase,  &SchemaReader::readCharacterSets,
        &SchemaReader::readDomains,   &SchemaReader::readDimensions,
        &SchemaReader::readFunctions, &SchemaReader::readFunctionArguments,
        &SchemaReader::readPackages,
    };
    begin(QString());
    const auto reading = qScopeGuard([this] { end(); });
    for (const Step s : steps)
        (this->*s)();
    return std::move(m_model);
}

SchemaModel SchemaReader::readProcedure(const QString &procedure)
{
    static const Step steps[] = {
        &SchemaReader::readDatabase,   &SchemaReader::readCharacterSets,
        &SchemaReader::readDomains,    &SchemaReader::readDimensions,
        &SchemaReader::readProcedures, &SchemaReader::readProcedureParameters,
    };
    begin(QString(), procedure);
    const auto reading = qScopeGuard([this] { end(); });
    for (const Step s : steps)
        (this->*s)();
    SchemaTypeCheck::requireKnownTypes(m_model);
    return std::move(m_model);
}

SchemaModel SchemaReader::readRelation(const QString &relation)
{
    static const Step steps[] = {
        &SchemaReader::readDatabase,      &SchemaReader::readCharacterSets,
        &SchemaReader::readDomains,       &SchemaReader::readDimensions,
        &SchemaReader::readRelations,     &SchemaReader::readNotNullNames,
        &SchemaReader::readColumns,       &SchemaReader::readIndexSegments,
        &SchemaReader::readConstraints,   &SchemaReader::readIndices,
        &SchemaReader::readTriggers,      &SchemaReader::readGrants,
        &SchemaReader::readDependencies,
    };
    begin(relation);
    const auto reading = qScopeGuard([this] { end(); });
    for (const Step s : steps)
        (this->*s)();
    return std::move(m_model);
}

// Nothing of an earlier reading carries over into the next.
void SchemaReader::begin(const QString &relation, const QString &procedure)
{
    m_model = SchemaModel{};
    m_catalog.keepTo(relation);
    m_catalog.keepToProcedure(procedure);
    m_step = 0;
    m_types = CatalogTypes{};
    m_segments.clear();
    m_notNullNames.clear();
    m_catalog.beginReading();
}

void SchemaReader::end()
{
    m_catalog.endReading();
    m_catalog.keepTo(QString());
    m_catalog.keepToProcedure(QString());
}

int SchemaReader::stepCount()
{
    return 21;
}

void SchemaReader::step()
{
    if (m_progress && !m_progress(m_step, stepCount()))
        throw SilentAbort();
    ++m_step;
}

void SchemaReader::readDatabase()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT D.RDB$CHARACTER_SET_NAME, D.RDB$DESCRIPTION, M.MON$SQL_DIALECT, "
        "CURRENT_USER AS READER%1 FROM RDB$DATABASE D CROSS JOIN MON$DATABASE M")
                            .arg(m_features.sqlSecurityColumn(QStringLiteral("D."))));
    if (row.next()) {
        const QString set = row.name("RDB$CHARACTER_SET_NAME");
        m_model.defaultCharacterSet = set.isEmpty() ? QStringLiteral("NONE") : set;
        m_model.description = row.stored("RDB$DESCRIPTION");
        m_model.dialect = row.number("MON$SQL_DIALECT");
        m_model.user = row.name("READER");
        m_model.sqlSecurity = SqlSecurityText::fromCatalog(row.value("RDB$SQL_SECURITY"),
                                                           QStringLiteral("The database"));
    }
    m_types.setDefaultCharacterSet(m_model.defaultCharacterSet);
    if (m_features.hasPublications())
        readPublication();
}

// The one publication a Firebird 4 database has.
void SchemaReader::readPublication()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RDB$ACTIVE_FLAG, RDB$AUTO_ENABLE FROM RDB$PUBLICATIONS "
        "WHERE RDB$PUBLICATION_NAME = 'RDB$DEFAULT'"));
    if (row.next())
        m_model.publication = {row.number("RDB$ACTIVE_FLAG") == 1,
                               row.number("RDB$AUTO_ENABLE") == 1};
}

// In the order the server numbered them: it gives a new collation the highest
// id of its character set still free, and compiled objects name collations
// by number, so a replay in that order gets the same numbers.
void SchemaReader::readCharacterSets()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT CS.RDB$CHARACTER_SET_ID, CS.RDB$CHARACTER_SET_NAME, CS.RDB$DEFAULT_COLLATE_NAME, "
        "CS.RDB$BYTES_PER_CHARACTER, CO.RDB$COLLATION_ID, CO.RDB$COLLATION_NAME, "
        "CO.RDB$SYSTEM_FLAG, CO.RDB$BASE_COLLATION_NAME, CO.RDB$COLLATION_ATTRIBUTES, "
        "CO.RDB$SPECIFIC_ATTRIBUTES, CO.RDB$DESCRIPTION "
        "FROM RDB$CHARACTER_SETS CS JOIN RDB$COLLATIONS CO "
        "ON CO.RDB$CHARACTER_SET_ID = CS.RDB$CHARACTER_SET_ID "
        "ORDER BY CS.RDB$CHARACTER_SET_NAME, CO.RDB$COLLATION_ID DESC"));
    while (row.next()) {
        const int id = row.number("RDB$CHARACTER_SET_ID");
        const QString setName = row.name("RDB$CHARACTER_SET_NAME");
        const QString collation = row.name("RDB$COLLATION_NAME");
        m_types.addCharacterSet(id, setName, row.number("RDB$BYTES_PER_CHARACTER"));
        m_types.addCollation(id, row.number("RDB$COLLATION_ID"), collation);
        const QString defaultCollation = row.name("RDB$DEFAULT_COLLATE_NAME");
        if (collation == defaultCollation && defaultCollation != setName)
            m_model.defaultCollations.append({setName, defaultCollation});
        if (row.number("RDB$SYSTEM_FLAG") != 0)
            continue;
        m_model.collations.append({collation, setName, row.name("RDB$BASE_COLLATION_NAME"),
                                   row.number("RDB$COLLATION_ATTRIBUTES"),
                                   row.stored("RDB$SPECIFIC_ATTRIBUTES"),
                                   row.stored("RDB$DESCRIPTION")});
    }
}

// For one relation only the domains of its columns, joined from the columns
// the server finds by the relation's name, not every domain tested against
// them; for one procedure those of its parameters alike.
void SchemaReader::readDomains()
{
    QString from = QStringLiteral("RDB$FIELDS F");
    if (m_catalog.keptToRelation())
        from = QStringLiteral("RDB$RELATION_FIELDS RF JOIN RDB$FIELDS F "
                              "ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE");
    if (m_catalog.keptToProcedure())
        from = QStringLiteral("RDB$PROCEDURE_PARAMETERS P JOIN RDB$FIELDS F "
                              "ON F.RDB$FIELD_NAME = P.RDB$FIELD_SOURCE");
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT F.RDB$FIELD_NAME, F.RDB$FIELD_TYPE, F.RDB$FIELD_SUB_TYPE, F.RDB$FIELD_SCALE, "
        "F.RDB$FIELD_PRECISION, F.RDB$CHARACTER_LENGTH, F.RDB$FIELD_LENGTH, "
        "F.RDB$SEGMENT_LENGTH, F.RDB$CHARACTER_SET_ID, F.RDB$COLLATION_ID, F.RDB$NULL_FLAG, "
        "F.RDB$DEFAULT_SOURCE, F.RDB$VALIDATION_SOURCE, F.RDB$COMPUTED_SOURCE, "
        "F.RDB$DESCRIPTION FROM %1 WHERE COALESCE(F.RDB$SYSTEM_FLAG, 0) = 0%2 "
        "ORDER BY F.RDB$FIELD_NAME")
                            .arg(from,
                                 m_catalog.within(
                                     QStringLiteral("RF.RDB$RELATION_NAME = :RELATION"))
                                     + m_catalog.withinProcedure(QStringLiteral(
                                         "P.RDB$PROCEDURE_NAME = :PROCEDURE "
                                         "AND P.RDB$PACKAGE_NAME IS NULL"))));
    while (row.next()) {
        SchemaDomain domain{row.name("RDB$FIELD_NAME"), m_types.typeOf(row)};
        // Two columns of one relation may share a domain.
        if (m_types.hasDomain(domain.name))
            continue;
        domain.defaultSource = row.stored("RDB$DEFAULT_SOURCE");
        domain.checkSource = row.stored("RDB$VALIDATION_SOURCE");
        domain.computedSource = row.stored("RDB$COMPUTED_SOURCE");
        domain.notNull = row.number("RDB$NULL_FLAG") == 1;
        domain.description = row.stored("RDB$DESCRIPTION");
        m_types.addDomain(domain, row.number("RDB$CHARACTER_SET_ID"));
        if (!Catalog::isServerName(domain.name))
            m_model.domains.append(domain);
    }
}

void SchemaReader::readDimensions()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RDB$FIELD_NAME, RDB$LOWER_BOUND, RDB$UPPER_BOUND FROM RDB$FIELD_DIMENSIONS "
        "ORDER BY RDB$FIELD_NAME, RDB$DIMENSION"));
    while (row.next())
        m_types.addDimension(row.name("RDB$FIELD_NAME"),
                             {row.number("RDB$LOWER_BOUND"), row.number("RDB$UPPER_BOUND")});
    placeDomains();
}

void SchemaReader::placeDomains()
{
    for (SchemaDomain &domain : m_model.domains)
        domain.type.dimensions = m_types.domain(domain.name).type.dimensions;
}

void SchemaReader::readGenerators()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RDB$GENERATOR_NAME, RDB$INITIAL_VALUE, RDB$GENERATOR_INCREMENT, RDB$DESCRIPTION "
        "FROM RDB$GENERATORS WHERE %1 ORDER BY RDB$GENERATOR_NAME")
                            .arg(QLatin1String(Catalog::userObjects)));
    while (row.next())
        m_model.generators.append({row.name("RDB$GENERATOR_NAME"),
                                   row.value("RDB$INITIAL_VALUE").toLongLong(),
                                   row.number("RDB$GENERATOR_INCREMENT"),
                                   row.stored("RDB$DESCRIPTION")});
}

void SchemaReader::readExceptions()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RDB$EXCEPTION_NAME, RDB$MESSAGE, RDB$DESCRIPTION FROM RDB$EXCEPTIONS "
        "WHERE %1 ORDER BY RDB$EXCEPTION_NAME").arg(QLatin1String(Catalog::userObjects)));
    while (row.next())
        m_model.exceptions.append({row.name("RDB$EXCEPTION_NAME"), row.stored("RDB$MESSAGE"),
                                   row.stored("RDB$DESCRIPTION")});
}

void SchemaReader::readRoles()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RDB$ROLE_NAME, RDB$DESCRIPTION%2 FROM RDB$ROLES WHERE %1 ORDER BY RDB$ROLE_NAME")
                            .arg(QLatin1String(Catalog::userObjects),
                                 m_features.hasSystemPrivileges()
                                     ? QStringLiteral(", RDB$SYSTEM_PRIVILEGES")
                                     : QString()));
    while (row.next()) {
        const QString role = row.name("RDB$ROLE_NAME");
        m_model.roles.append({role, row.stored("RDB$DESCRIPTION"),
                              SystemPrivileges::decode(
                                  row.value("RDB$SYSTEM_PRIVILEGES").toByteArray(), role)});
    }
}

namespace {

const char kPublished[] =
    ", IIF(EXISTS(SELECT 1 FROM RDB$PUBLICATION_TABLES P "
    "WHERE P.RDB$TABLE_NAME = R.RDB$RELATION_NAME), 1, 0) AS PUBLISHED";

} // namespace

void SchemaReader::readRelations()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RDB$RELATION_NAME, RDB$RELATION_TYPE, RDB$VIEW_SOURCE, RDB$EXTERNAL_FILE, "
        "RDB$DESCRIPTION, IIF(RDB$VIEW_BLR IS NULL, 0, 1) AS IS_VIEW%3%4 FROM RDB$RELATIONS R "
        "WHERE %1%2 ORDER BY RDB$RELATION_NAME")
                            .arg(QLatin1String(Catalog::userObjects),
                                 m_catalog.within(QStringLiteral("RDB$RELATION_NAME = :RELATION")),
                                 m_features.sqlSecurityColumn(),
                                 m_features.hasPublications() ? QLatin1String(kPublished)
                                                              : QLatin1String()));
    while (row.next()) {
        SchemaTable table{row.name("RDB$RELATION_NAME")};
        switch (row.number("RDB$RELATION_TYPE")) {
        case 2: table.kind = SchemaTable::Kind::External; break;
        case 4: table.kind = SchemaTable::Kind::PreserveRows; break;
        case 5: table.kind = SchemaTable::Kind::DeleteRows; break;
        default: break;
        }
        if (row.number("IS_VIEW") == 1)
            table.kind = SchemaTable::Kind::View;
        table.viewSource = row.stored("RDB$VIEW_SOURCE");
        table.externalFile = row.stored("RDB$EXTERNAL_FILE");
        table.description = row.stored("RDB$DESCRIPTION");
        table.sqlSecurity = SqlSecurityText::fromCatalog(row.value("RDB$SQL_SECURITY"),
                                                         QStringLiteral("Table ") + table.name);
        table.published = row.number("PUBLISHED") == 1;
        m_model.tables.append(table);
    }
}

SchemaTable *SchemaReader::tableNamed(const QString &tableName)
{
    // Tables come in name order from the server; a search keeps no second index.
    for (SchemaTable &table : m_model.tables) {
        if (table.name == tableName)
            return &table;
    }
    return nullptr;
}

void SchemaReader::readNotNullNames()
{
    // Joined outer, the server reads one relation's constraints by its index
    // and looks each up, instead of scanning every check constraint first.
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RC.RDB$RELATION_NAME, CC.RDB$TRIGGER_NAME, RC.RDB$CONSTRAINT_NAME "
        "FROM RDB$RELATION_CONSTRAINTS RC LEFT JOIN RDB$CHECK_CONSTRAINTS CC "
        "ON CC.RDB$CONSTRAINT_NAME = RC.RDB$CONSTRAINT_NAME "
        "WHERE RC.RDB$CONSTRAINT_TYPE = 'NOT NULL' AND CC.RDB$CONSTRAINT_NAME IS NOT NULL")
        + m_catalog.within(QStringLiteral("RC.RDB$RELATION_NAME = :RELATION")));
    while (row.next()) {
        const QString constraint = userConstraintName(row.name("RDB$CONSTRAINT_NAME"));
        if (!constraint.isEmpty())
            m_notNullNames.insert({row.name("RDB$RELATION_NAME"), row.name("RDB$TRIGGER_NAME")},
                                  constraint);
    }
}

SchemaColumn SchemaReader::columnOf(const CatalogRow &row) const
{
    const QString source = row.name("RDB$FIELD_SOURCE");
    const SchemaDomain domain = m_types.domain(source);
    SchemaColumn column{row.name("RDB$FIELD_NAME")};
    column.type = domain.type;
    // A system domain (RDB$USER) is not read, and is named as a user's is.
    const bool ownDomain = !Catalog::isServerName(source) || !m_types.hasDomain(source);
    if (ownDomain) {
        column.domain = source;
        column.type.collation.clear();
    }
    if (!row.isNull("RDB$COLLATION_ID")) {
        const QString collation = m_types.ownCollation(row, source);
        const bool differs = !ownDomain || collation != domain.type.collation;
        column.type.collation = differs ? collation : QString();
    }
    column.defaultSource = row.stored("RDB$DEFAULT_SOURCE");
    column.computedSource = domain.computedSource;
    column.notNull = row.number("RDB$NULL_FLAG") == 1;
    takeIdentity(row, row.name("RDB$RELATION_NAME"), column);
    column.description = row.stored("RDB$DESCRIPTION");
    return column;
}

void SchemaReader::readColumns()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RF.RDB$RELATION_NAME, RF.RDB$FIELD_NAME, RF.RDB$FIELD_SOURCE, RF.RDB$NULL_FLAG, "
        "RF.RDB$DEFAULT_SOURCE, RF.RDB$COLLATION_ID, RF.RDB$DESCRIPTION, RF.RDB$IDENTITY_TYPE, "
        "G.RDB$INITIAL_VALUE, G.RDB$GENERATOR_INCREMENT FROM RDB$RELATION_FIELDS RF "
        "JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = RF.RDB$RELATION_NAME "
        "LEFT JOIN RDB$GENERATORS G ON G.RDB$GENERATOR_NAME = RF.RDB$GENERATOR_NAME "
        "WHERE COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0")
        + m_catalog.within(QStringLiteral("RF.RDB$RELATION_NAME = :RELATION"))
        + QLatin1String(
            " ORDER BY RF.RDB$RELATION_NAME, RF.RDB$FIELD_POSITION, RF.RDB$FIELD_NAME"));
    SchemaTable *table = nullptr;
    while (row.next()) {
        const QString relation = row.name("RDB$RELATION_NAME");
        if (!table || table->name != relation)
            table = tableNamed(relation);
        if (!table)
            continue;
        SchemaColumn column = columnOf(row);
        column.notNullConstraint = m_notNullNames.value({relation, column.name});
        table->columns.append(column);
    }
}

void SchemaReader::readIndexSegments()
{
    const QString segments = QStringLiteral(
        "SELECT S.RDB$INDEX_NAME, S.RDB$FIELD_NAME, S.RDB$FIELD_POSITION FROM %1 "
        "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
        "WHERE COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0");
    QString text = segments.arg(QLatin1String("RDB$INDICES I"))
                   + m_catalog.within(QStringLiteral("I.RDB$RELATION_NAME = :RELATION"));
    // A foreign key names the columns of the key it references. Apart, each
    // half reads by index; joined by OR, the server scans every segment.
    if (m_catalog.keptToRelation())
        text += QLatin1String(" UNION ")
                + segments.arg(QLatin1String(
                    "RDB$RELATION_CONSTRAINTS RC JOIN RDB$REF_CONSTRAINTS REF "
                    "ON REF.RDB$CONSTRAINT_NAME = RC.RDB$CONSTRAINT_NAME "
                    "JOIN RDB$RELATION_CONSTRAINTS UQ "
                    "ON UQ.RDB$CONSTRAINT_NAME = REF.RDB$CONST_NAME_UQ "
                    "JOIN RDB$INDICES I ON I.RDB$INDEX_NAME = UQ.RDB$INDEX_NAME"))
                + QLatin1String(" AND RC.RDB$RELATION_NAME = :RELATION");
    CatalogRow row = m_catalog.run(text + QLatin1String(" ORDER BY 1, 3"));
    while (row.next())
        m_segments[row.name("RDB$INDEX_NAME")].append(row.name("RDB$FIELD_NAME"));
}

namespace {

SchemaConstraint::Kind constraintKind(const QString &type)
{
    if (type == QLatin1String("PRIMARY KEY"))
        return SchemaConstraint::Kind::PrimaryKey;
    if (type == QLatin1String("UNIQUE"))
        return SchemaConstraint::Kind::Unique;
    if (type == QLatin1String("FOREIGN KEY"))
        return SchemaConstraint::Kind::ForeignKey;
    return SchemaConstraint::Kind::Check;
}

} // namespace

void SchemaReader::readConstraints()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RC.RDB$CONSTRAINT_NAME, RC.RDB$CONSTRAINT_TYPE, RC.RDB$RELATION_NAME, "
        "RC.RDB$INDEX_NAME, I.RDB$INDEX_TYPE, REF.RDB$UPDATE_RULE, REF.RDB$DELETE_RULE, "
        "UQ.RDB$RELATION_NAME AS REF_TABLE, UQ.RDB$INDEX_NAME AS REF_INDEX, "
        "T.RDB$TRIGGER_SOURCE "
        "FROM RDB$RELATION_CONSTRAINTS RC "
        "LEFT JOIN RDB$INDICES I ON I.RDB$INDEX_NAME = RC.RDB$INDEX_NAME "
        "LEFT JOIN RDB$REF_CONSTRAINTS REF ON REF.RDB$CONSTRAINT_NAME = RC.RDB$CONSTRAINT_NAME "
        "LEFT JOIN RDB$RELATION_CONSTRAINTS UQ ON UQ.RDB$CONSTRAINT_NAME = REF.RDB$CONST_NAME_UQ "
        "LEFT JOIN RDB$TRIGGERS T ON RC.RDB$CONSTRAINT_TYPE = 'CHECK' AND T.RDB$TRIGGER_NAME = "
        "(SELECT MIN(CC.RDB$TRIGGER_NAME) FROM RDB$CHECK_CONSTRAINTS CC "
        "WHERE CC.RDB$CONSTRAINT_NAME = RC.RDB$CONSTRAINT_NAME) "
        "WHERE RC.RDB$CONSTRAINT_TYPE IN ('PRIMARY KEY', 'UNIQUE', 'FOREIGN KEY', 'CHECK')")
        + m_catalog.within(QStringLiteral("RC.RDB$RELATION_NAME = :RELATION"))
        + QLatin1String(" ORDER BY RC.RDB$RELATION_NAME, RC.RDB$CONSTRAINT_NAME"));
    while (row.next()) {
        const QString relation = row.name("RDB$RELATION_NAME");
        if (!tableNamed(relation))
            continue;
        const QString constraintName = row.name("RDB$CONSTRAINT_NAME");
        const QString index = row.name("RDB$INDEX_NAME");
        SchemaConstraint constraint{userConstraintName(constraintName), relation,
                                    constraintKind(row.name("RDB$CONSTRAINT_TYPE"))};
        constraint.storedName = constraintName;
        constraint.columns = m_segments.value(index);
        if (!index.isEmpty() && index != constraintName && !Catalog::isServerName(index))
            constraint.indexName = index;
        constraint.descending = row.number("RDB$INDEX_TYPE") == 1;
        constraint.referencedTable = row.name("REF_TABLE");
        constraint.referencedColumns = m_segments.value(row.name("REF_INDEX"));
        constraint.updateRule = row.name("RDB$UPDATE_RULE");
        constraint.deleteRule = row.name("RDB$DELETE_RULE");
        constraint.checkSource = row.stored("RDB$TRIGGER_SOURCE");
        m_model.constraints.append(constraint);
    }
}

void SchemaReader::readIndices()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT I.RDB$INDEX_NAME, I.RDB$RELATION_NAME, I.RDB$UNIQUE_FLAG, I.RDB$INDEX_TYPE, "
        "I.RDB$INDEX_INACTIVE, I.RDB$EXPRESSION_SOURCE, I.RDB$DESCRIPTION FROM RDB$INDICES I "
        "LEFT JOIN RDB$RELATION_CONSTRAINTS RC ON RC.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
        "WHERE COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0 AND RC.RDB$CONSTRAINT_NAME IS NULL")
        + m_catalog.within(QStringLiteral("I.RDB$RELATION_NAME = :RELATION"))
        + QLatin1String(" ORDER BY I.RDB$INDEX_NAME"));
    while (row.next()) {
        SchemaIndex index{row.name("RDB$INDEX_NAME"), row.name("RDB$RELATION_NAME")};
        if (!tableNamed(index.table))
            continue;
        index.unique = row.number("RDB$UNIQUE_FLAG") == 1;
        index.descending = row.number("RDB$INDEX_TYPE") == 1;
        index.inactive = row.number("RDB$INDEX_INACTIVE") == 1;
        index.expression = row.stored("RDB$EXPRESSION_SOURCE");
        if (index.expression.isEmpty())
            index.columns = m_segments.value(index.name);
        index.description = row.stored("RDB$DESCRIPTION");
        m_model.indices.append(index);
    }
}

// The routine steps fill this reading's model from its catalogue and types;
// their reader keeps nothing of its own from one step to the next.
RoutineReader SchemaReader::routines()
{
    return RoutineReader(m_catalog, m_features, m_types, m_model);
}

void SchemaReader::readProcedures()
{
    routines().readProcedures();
}

void SchemaReader::readProcedureParameters()
{
    routines().readProcedureParameters();
}

void SchemaReader::readFunctions()
{
    routines().readFunctions();
}

void SchemaReader::readFunctionArguments()
{
    routines().readFunctionArguments();
}

void SchemaReader::readPackages()
{
    routines().readPackages();
}

void SchemaReader::readTriggers()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT T.RDB$TRIGGER_NAME, T.RDB$RELATION_NAME, T.RDB$TRIGGER_TYPE, "
        "T.RDB$TRIGGER_SEQUENCE, T.RDB$TRIGGER_INACTIVE, T.RDB$TRIGGER_SOURCE, T.RDB$DESCRIPTION")
        + m_features.sqlSecurityColumn(QStringLiteral("T.")) + QLatin1String(
        " FROM RDB$TRIGGERS T WHERE COALESCE(T.RDB$SYSTEM_FLAG, 0) = 0 AND NOT EXISTS ("
        "SELECT 1 FROM RDB$CHECK_CONSTRAINTS CC JOIN RDB$RELATION_CONSTRAINTS RC "
        "ON RC.RDB$CONSTRAINT_NAME = CC.RDB$CONSTRAINT_NAME "
        "WHERE RC.RDB$CONSTRAINT_TYPE = 'CHECK' AND CC.RDB$TRIGGER_NAME = T.RDB$TRIGGER_NAME)")
        + m_catalog.within(QStringLiteral("T.RDB$RELATION_NAME = :RELATION"))
        + QLatin1String(" ORDER BY T.RDB$TRIGGER_NAME"));
    while (row.next()) {
        SchemaTrigger trigger{row.name("RDB$TRIGGER_NAME"), row.name("RDB$RELATION_NAME")};
        trigger.type = row.value("RDB$TRIGGER_TYPE").toLongLong();
        trigger.position = row.number("RDB$TRIGGER_SEQUENCE");
        trigger.active = row.number("RDB$TRIGGER_INACTIVE") == 0;
        trigger.source = row.stored("RDB$TRIGGER_SOURCE");
        trigger.description = row.stored("RDB$DESCRIPTION");
        trigger.sqlSecurity = SqlSecurityText::fromCatalog(row.value("RDB$SQL_SECURITY"),
                                                           QStringLiteral("Trigger ")
                                                               + trigger.name);
        m_model.triggers.append(trigger);
    }
}

namespace {

// RDB$OBJECT_TYPE of what a privilege is on.
enum ObjectType {
    Relation = 0,
    View = 1,
    Trigger = 2,
    Procedure = 5,
    Exception = 7,
    Domain = 9,
    Role = 13,
    Generator = 14,
    Function = 15,
    Package = 18,
};

} // namespace

void SchemaReader::readGrants()
{
    QSet<QPair<int, QString>> objects;
    for (const SchemaTable &table : std::as_const(m_model.tables)) {
        objects.insert({Relation, table.name});
        objects.insert({View, table.name});
    }
    for (const SchemaRoutine &routine : std::as_const(m_model.routines))
        objects.insert({routine.kind == SchemaRoutine::Kind::Procedure ? Procedure : Function,
                        routine.name});
    for (const SchemaPackage &package : std::as_const(m_model.packages))
        objects.insert({Package, package.name});
    for (const SchemaGenerator &generator : std::as_const(m_model.generators))
        objects.insert({Generator, generator.name});
    for (const SchemaException &exception : std::as_const(m_model.exceptions))
        objects.insert({Exception, exception.name});
    for (const SchemaRole &role : std::as_const(m_model.roles))
        objects.insert({Role, role.name});
    for (const SchemaDomain &domain : std::as_const(m_model.domains))
        objects.insert({Domain, domain.name});

    // The owner's own privileges are the owner's by creation: the grantor is
    // the grantee. A role is never its owner's so: one granted to oneself stays.
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT RDB$USER, RDB$USER_TYPE, RDB$PRIVILEGE, RDB$RELATION_NAME, RDB$OBJECT_TYPE, "
        "RDB$FIELD_NAME, RDB$GRANT_OPTION, RDB$GRANTOR FROM RDB$USER_PRIVILEGES "
        "WHERE RDB$GRANTOR IS NOT NULL AND (RDB$USER <> RDB$GRANTOR OR RDB$PRIVILEGE = 'M')")
        + m_catalog.within(QStringLiteral("RDB$RELATION_NAME = :RELATION"))
        + QLatin1String(" ORDER BY RDB$RELATION_NAME, RDB$OBJECT_TYPE, RDB$USER, RDB$USER_TYPE, "
                        "RDB$PRIVILEGE, RDB$FIELD_NAME"));
    while (row.next()) {
        SchemaGrant grant{row.name("RDB$USER"), row.number("RDB$USER_TYPE")};
        const QString privilege = row.name("RDB$PRIVILEGE");
        grant.privilege = privilege.isEmpty() ? QChar() : privilege.at(0);
        grant.object = row.name("RDB$RELATION_NAME");
        grant.objectType = row.number("RDB$OBJECT_TYPE");
        grant.column = row.name("RDB$FIELD_NAME");
        grant.option = row.number("RDB$GRANT_OPTION");
        grant.grantor = row.name("RDB$GRANTOR");
        const bool ddl = grant.object.startsWith(QLatin1String("SQL$"));
        if (ddl || objects.contains({grant.objectType, grant.object}))
            m_model.grants.append(grant);
    }
}

void SchemaReader::readDependencies()
{
    CatalogRow row = m_catalog.run(QStringLiteral(
        "SELECT DISTINCT RDB$DEPENDENT_NAME, RDB$DEPENDED_ON_NAME FROM RDB$DEPENDENCIES "
        "WHERE RDB$DEPENDENT_TYPE = 1 AND RDB$DEPENDED_ON_TYPE IN (0, 1)")
        + m_catalog.within(QStringLiteral("RDB$DEPENDENT_NAME = :RELATION")));
    while (row.next())
        m_model.viewDependencies.insert(row.name("RDB$DEPENDENT_NAME"),
                                        row.name("RDB$DEPENDED_ON_NAME"));
}
