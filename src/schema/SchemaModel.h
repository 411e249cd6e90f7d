#pragma once

#include "schema/SchemaCollation.h"
#include "schema/SchemaConstraint.h"
#include "schema/SchemaDomain.h"
#include "schema/SchemaException.h"
#include "schema/SchemaGenerator.h"
#include "schema/SchemaGrant.h"
#include "schema/SchemaIndex.h"
#include "schema/SchemaPackage.h"
#include "schema/SchemaRole.h"
#include "schema/SchemaRoutine.h"
#include "schema/SchemaTable.h"
#include "schema/SchemaTrigger.h"
#include "schema/SqlSecurity.h"

#include <QList>
#include <QMultiHash>
#include <QString>

// The whole catalogue of one database, every kind in name order.
struct SchemaModel
{
    int dialect = 3;
    QString defaultCharacterSet = QStringLiteral("NONE");
    // Character sets whose default collation is not the one named after them.
    QList<QPair<QString, QString>> defaultCollations = {};
    QString description = {};
    // Who read it. A replay by the same user grants as that user unasked, so
    // only a privilege someone else granted says GRANTED BY.
    QString user = {};
    // The default of the objects that set none.
    SqlSecurity sqlSecurity = SqlSecurity::NotSet;
    // Firebird 4's publication: replication on, and whether tables made
    // later join it (which tables it carries, each table says).
    struct Publication
    {
        bool active = false;
        bool includesNewTables = false;
    } publication = {};

    QList<SchemaCollation> collations;
    QList<SchemaGenerator> generators;
    QList<SchemaException> exceptions;
    QList<SchemaRole> roles;
    QList<SchemaDomain> domains; // the user's own only
    QList<SchemaTable> tables;   // tables and views alike
    QList<SchemaConstraint> constraints;
    QList<SchemaIndex> indices;
    QList<SchemaRoutine> routines;
    QList<SchemaPackage> packages;
    QList<SchemaTrigger> triggers;
    QList<SchemaGrant> grants;
    // View name -> the views it selects from.
    QMultiHash<QString, QString> viewDependencies;
};
