#include "schema/CatalogFingerprint.h"

#include "schema/Catalog.h"
#include "schema/CatalogFeatures.h"
#include "schema/CatalogRow.h"

namespace {

// A name the server gave, as the same placeholder on both sides.
QString given(const char *column)
{
    return QStringLiteral("IIF(%1 STARTING 'RDB$' OR %1 STARTING 'INTEG_', '*', TRIM(%1))")
        .arg(QLatin1String(column));
}

QString text(const char *column)
{
    return QStringLiteral("COALESCE(CAST(%1 AS VARCHAR(8000)), '')").arg(QLatin1String(column));
}

const char *const kBlr =
    "SELECT 'PROCEDURE ' || TRIM(RDB$PROCEDURE_NAME) AS O, RDB$PROCEDURE_BLR AS B "
    "FROM RDB$PROCEDURES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
    "UNION ALL SELECT 'FUNCTION ' || COALESCE(TRIM(RDB$PACKAGE_NAME) || '.', '') || "
    "TRIM(RDB$FUNCTION_NAME), RDB$FUNCTION_BLR FROM RDB$FUNCTIONS "
    "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
    "UNION ALL SELECT 'TRIGGER ' || TRIM(RDB$TRIGGER_NAME), RDB$TRIGGER_BLR FROM RDB$TRIGGERS "
    "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
    "UNION ALL SELECT 'VIEW ' || TRIM(RDB$RELATION_NAME), RDB$VIEW_BLR FROM RDB$RELATIONS "
    "WHERE RDB$VIEW_BLR IS NOT NULL AND COALESCE(RDB$SYSTEM_FLAG, 0) = 0";

QStringList queries()
{
    const QString type = QStringLiteral(
        "F.RDB$FIELD_TYPE || ',' || COALESCE(F.RDB$FIELD_SUB_TYPE, 0) || ',' || "
        "F.RDB$FIELD_LENGTH || ',' || COALESCE(F.RDB$FIELD_SCALE, 0) || ',' || "
        "COALESCE(F.RDB$FIELD_PRECISION, 0) || ',' || COALESCE(F.RDB$CHARACTER_SET_ID, -1) || "
        "',' || COALESCE(F.RDB$DIMENSIONS, 0) || ' null:' || COALESCE(F.RDB$NULL_FLAG, 0)");
    return {
        QStringLiteral("SELECT 'COLUMN ' || TRIM(R.RDB$RELATION_NAME) || '.' || "
                       "TRIM(R.RDB$FIELD_NAME) || ' #' || R.RDB$FIELD_POSITION || ' ' || %1 || "
                       "' coll:' || COALESCE(R.RDB$COLLATION_ID, F.RDB$COLLATION_ID, -1) || "
                       "' null:' || COALESCE(R.RDB$NULL_FLAG, 0) || ' ' || %2 || ' ' || %3 "
                       "FROM RDB$RELATION_FIELDS R JOIN RDB$FIELDS F "
                       "ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE "
                       "WHERE COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0")
            .arg(type, text("R.RDB$DEFAULT_SOURCE"), text("F.RDB$COMPUTED_SOURCE")),
        QStringLiteral("SELECT 'PARAMETER ' || TRIM(P.RDB$PROCEDURE_NAME) || '.' || "
                       "TRIM(P.RDB$PARAMETER_NAME) || ' #' || P.RDB$PARAMETER_TYPE || "
                       "P.RDB$PARAMETER_NUMBER || ' ' || %1 || ' mech:' || "
                       "COALESCE(P.RDB$PARAMETER_MECHANISM, 0) || ' ' || %2 "
                       "FROM RDB$PROCEDURE_PARAMETERS P JOIN RDB$FIELDS F "
                       "ON F.RDB$FIELD_NAME = P.RDB$FIELD_SOURCE "
                       "WHERE COALESCE(P.RDB$SYSTEM_FLAG, 0) = 0")
            .arg(type, text("P.RDB$DEFAULT_SOURCE")),
        QStringLiteral("SELECT 'ARGUMENT ' || TRIM(A.RDB$FUNCTION_NAME) || '.' || "
                       "COALESCE(TRIM(A.RDB$ARGUMENT_NAME), '') || ' #' || "
                       "A.RDB$ARGUMENT_POSITION || ' mech:' || COALESCE(A.RDB$MECHANISM, 0) || "
                       "',' || COALESCE(A.RDB$ARGUMENT_MECHANISM, 0) || ' ' || %1 "
                       "FROM RDB$FUNCTION_ARGUMENTS A "
                       "WHERE COALESCE(A.RDB$SYSTEM_FLAG, 0) = 0")
            .arg(text("A.RDB$DEFAULT_SOURCE")),
        QStringLiteral("SELECT 'GRANT ' || TRIM(RDB$PRIVILEGE) || ' ON ' || %1 || '/' || "
                       "RDB$OBJECT_TYPE || ' ' || COALESCE(TRIM(RDB$FIELD_NAME), '') || ' TO ' || "
                       "TRIM(RDB$USER) || '/' || RDB$USER_TYPE || ' option:' || "
                       "COALESCE(RDB$GRANT_OPTION, 0) || ' by ' || "
                       "COALESCE(TRIM(RDB$GRANTOR), '') FROM RDB$USER_PRIVILEGES")
            .arg(given("RDB$RELATION_NAME")),
        QStringLiteral("SELECT 'COLLATION ' || TRIM(RDB$COLLATION_NAME) || ' ' || "
                       "RDB$CHARACTER_SET_ID || '/' || RDB$COLLATION_ID || ' ' || "
                       "COALESCE(RDB$COLLATION_ATTRIBUTES, 0) || ' ' || "
                       "COALESCE(TRIM(RDB$BASE_COLLATION_NAME), '') || ' ' || %1 "
                       "FROM RDB$COLLATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0")
            .arg(text("RDB$SPECIFIC_ATTRIBUTES")),
        QStringLiteral("SELECT 'INDEX ' || TRIM(I.RDB$RELATION_NAME) || ' ' || %1 || ' ' || "
                       "COALESCE(I.RDB$UNIQUE_FLAG, 0) || COALESCE(I.RDB$INDEX_TYPE, 0) || "
                       "COALESCE(I.RDB$INDEX_INACTIVE, 0) || ' ' || %2 || ' (' || COALESCE(("
                       "SELECT LIST(TRIM(S.RDB$FIELD_NAME)) FROM (SELECT RDB$FIELD_NAME FROM "
                       "RDB$INDEX_SEGMENTS WHERE RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                       "ORDER BY RDB$FIELD_POSITION) S), '') || ') ' || "
                       "COALESCE(TRIM(RC.RDB$CONSTRAINT_TYPE), '') || ' ' || "
                       "COALESCE(TRIM(REF.RDB$UPDATE_RULE) || '/' || TRIM(REF.RDB$DELETE_RULE), "
                       "'') FROM RDB$INDICES I LEFT JOIN RDB$RELATION_CONSTRAINTS RC "
                       "ON RC.RDB$INDEX_NAME = I.RDB$INDEX_NAME LEFT JOIN RDB$REF_CONSTRAINTS REF "
                       "ON REF.RDB$CONSTRAINT_NAME = RC.RDB$CONSTRAINT_NAME "
                       "WHERE COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0")
            .arg(given("I.RDB$INDEX_NAME"), text("I.RDB$EXPRESSION_SOURCE")),
        QStringLiteral("SELECT 'SOURCE ' || TRIM(RDB$RELATION_NAME) || ' ' || %1 "
                       "FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
                       "UNION ALL SELECT 'SOURCE ' || TRIM(RDB$PROCEDURE_NAME) || ' ' || %2 "
                       "FROM RDB$PROCEDURES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
                       "UNION ALL SELECT 'SOURCE ' || TRIM(RDB$FUNCTION_NAME) || ' ' || %3 "
                       "FROM RDB$FUNCTIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
                       "UNION ALL SELECT 'SOURCE ' || %4 || ' ' || %5 FROM RDB$TRIGGERS "
                       "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0")
            .arg(text("RDB$VIEW_SOURCE"), text("RDB$PROCEDURE_SOURCE"),
                 text("RDB$FUNCTION_SOURCE"), given("RDB$TRIGGER_NAME"),
                 text("RDB$TRIGGER_SOURCE")),
        QStringLiteral("SELECT 'COMMENT DATABASE ' || %1 FROM RDB$DATABASE "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$RELATION_NAME) || ' ' || %1 "
                       "FROM RDB$RELATIONS WHERE RDB$DESCRIPTION IS NOT NULL "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$RELATION_NAME) || '.' || "
                       "TRIM(RDB$FIELD_NAME) || ' ' || %1 FROM RDB$RELATION_FIELDS "
                       "WHERE RDB$DESCRIPTION IS NOT NULL "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$PROCEDURE_NAME) || ' ' || %1 "
                       "FROM RDB$PROCEDURES WHERE RDB$DESCRIPTION IS NOT NULL "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$PROCEDURE_NAME) || '.' || "
                       "TRIM(RDB$PARAMETER_NAME) || ' ' || %1 FROM RDB$PROCEDURE_PARAMETERS "
                       "WHERE RDB$DESCRIPTION IS NOT NULL "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$FUNCTION_NAME) || ' ' || %1 "
                       "FROM RDB$FUNCTIONS WHERE RDB$DESCRIPTION IS NOT NULL "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$TRIGGER_NAME) || ' ' || %1 "
                       "FROM RDB$TRIGGERS WHERE RDB$DESCRIPTION IS NOT NULL "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$FIELD_NAME) || ' ' || %1 "
                       "FROM RDB$FIELDS WHERE RDB$DESCRIPTION IS NOT NULL "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$INDEX_NAME) || ' ' || %1 "
                       "FROM RDB$INDICES WHERE RDB$DESCRIPTION IS NOT NULL "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$COLLATION_NAME) || ' ' || %1 "
                       "FROM RDB$COLLATIONS WHERE RDB$DESCRIPTION IS NOT NULL "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$GENERATOR_NAME) || ' ' || %1 "
                       "FROM RDB$GENERATORS WHERE RDB$DESCRIPTION IS NOT NULL "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$EXCEPTION_NAME) || ' ' || %1 "
                       "FROM RDB$EXCEPTIONS WHERE RDB$DESCRIPTION IS NOT NULL "
                       "UNION ALL SELECT 'COMMENT ' || TRIM(RDB$ROLE_NAME) || ' ' || %1 "
                       "FROM RDB$ROLES WHERE RDB$DESCRIPTION IS NOT NULL")
            .arg(text("RDB$DESCRIPTION")),
    };
}

// What Firebird 4 added to the catalogue: identity kinds and steps, SQL
// SECURITY, roles' system privileges, the publication.
QStringList firebird4Queries()
{
    const QString security = QStringLiteral("COALESCE(CAST(RDB$SQL_SECURITY AS VARCHAR(5)), '-')");
    return {
        QStringLiteral("SELECT 'IDENTITY ' || TRIM(R.RDB$RELATION_NAME) || '.' || "
                       "TRIM(R.RDB$FIELD_NAME) || ' ' || R.RDB$IDENTITY_TYPE || ' ' || "
                       "G.RDB$INITIAL_VALUE || ' ' || G.RDB$GENERATOR_INCREMENT "
                       "FROM RDB$RELATION_FIELDS R JOIN RDB$GENERATORS G "
                       "ON G.RDB$GENERATOR_NAME = R.RDB$GENERATOR_NAME "
                       "WHERE R.RDB$IDENTITY_TYPE IS NOT NULL"),
        QStringLiteral("SELECT 'SECURITY DATABASE ' || %1 FROM RDB$DATABASE "
                       "UNION ALL SELECT 'SECURITY ' || TRIM(RDB$RELATION_NAME) || ' ' || %1 "
                       "FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
                       "UNION ALL SELECT 'SECURITY ' || TRIM(RDB$PROCEDURE_NAME) || ' ' || %1 "
                       "FROM RDB$PROCEDURES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
                       "UNION ALL SELECT 'SECURITY ' || COALESCE(TRIM(RDB$PACKAGE_NAME) || '.', "
                       "'') || TRIM(RDB$FUNCTION_NAME) || ' ' || %1 "
                       "FROM RDB$FUNCTIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
                       "UNION ALL SELECT 'SECURITY PACKAGE ' || TRIM(RDB$PACKAGE_NAME) || ' ' || "
                       "%1 FROM RDB$PACKAGES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 "
                       "UNION ALL SELECT 'SECURITY ' || %2 || ' ' || %1 FROM RDB$TRIGGERS "
                       "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0")
            .arg(security, given("RDB$TRIGGER_NAME")),
        QStringLiteral("SELECT 'PRIVILEGES ' || TRIM(RDB$ROLE_NAME) || ' ' || "
                       "COALESCE(HEX_ENCODE(RDB$SYSTEM_PRIVILEGES), '') FROM RDB$ROLES "
                       "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"),
        QStringLiteral("SELECT 'PUBLICATION ' || TRIM(RDB$PUBLICATION_NAME) || ' ' || "
                       "COALESCE(RDB$ACTIVE_FLAG, 0) || COALESCE(RDB$AUTO_ENABLE, 0) "
                       "FROM RDB$PUBLICATIONS UNION ALL SELECT 'PUBLISHED ' || "
                       "TRIM(RDB$PUBLICATION_NAME) || ' ' || TRIM(RDB$TABLE_NAME) "
                       "FROM RDB$PUBLICATION_TABLES"),
    };
}

} // namespace

CatalogFingerprint::CatalogFingerprint(const QSqlDatabase &database)
{
    Catalog catalog(database);
    catalog.beginReading();
    QStringList all = queries();
    if (CatalogFeatures::of(database).hasSqlSecurity())
        all << firebird4Queries();
    for (const QString &query : std::as_const(all)) {
        CatalogRow row = catalog.run(QStringLiteral("SELECT L FROM (%1) AS X (L)").arg(query));
        while (row.next())
            m_lines << row.stored("L");
    }
    CatalogRow blr = catalog.run(QLatin1String(kBlr));
    while (blr.next())
        m_lines << blr.stored("O") + QLatin1Char(' ')
                       + QString::fromLatin1(blr.value("B").toByteArray().toHex());
    m_lines.sort();
}
