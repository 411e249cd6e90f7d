#pragma once

#include "schema/RelationIndices.h"
#include "schema/SchemaModel.h"

#include <QList>
#include <QString>
#include <QStringList>

// The texts the structure window shows of one relation, from the schema
// layer's model of it (SchemaReader::readRelation): plain data in, rows of
// cells out, so they need no widget.
namespace RelationRows {

using Rows = QList<QStringList>;

// Type, NOT NULL, default, collation, COMPUTED BY or identity of a column,
// by column name; what a column takes from its domain counts as its own.
QStringList columnTitles();
QHash<QString, QStringList> columnDetails(const SchemaModel &model, int dialect);

// Name, kind, columns, referenced table and columns, rules or CHECK text.
QStringList constraintTitles();
Rows constraints(const SchemaModel &model);

// Name, columns or expression, unique, order, state, selectivity.
QStringList indexTitles();
Rows indices(const QList<RelationIndices::Index> &indices);

// Name, when it fires, position, active.
QStringList triggerTitles();
Rows triggers(const SchemaModel &model);

// Grantee, its kind, privilege, column, grant option.
QStringList privilegeTitles();
Rows privileges(const SchemaModel &model);

// The tables and views a view selects from.
QStringList baseRelationTitles();
Rows baseRelations(const SchemaModel &model);

// The relation's own statements: CREATE TABLE or CREATE VIEW with its
// constraints, indices, triggers, grants and comments, without what belongs
// to the database (its character set, collations, the domains it uses).
QString script(SchemaModel model);

} // namespace RelationRows
