#pragma once

#include <QVariant>

class QModelIndex;
class QSqlQueryModel;

// The grid roles (controls/GridRoles.h) a model of database rows answers
// from what the driver tells of its columns; the models that feed grids
// hand these roles here.
namespace SqlGridRoles {

// True for the roles answered here.
bool answers(int role);

// The role's value for the cell: the layer gives a NUMERIC or DECIMAL
// column's scale as its field's precision.
QVariant data(const QSqlQueryModel &model, const QModelIndex &index, int role);

} // namespace SqlGridRoles
