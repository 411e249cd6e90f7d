#pragma once

#include <Qt>

// What a grid's delegate (GridValueDelegate) asks of its model beyond Qt's
// own roles. The delegate knows no database: a model of database rows
// answers these from what its driver knows of the column.
namespace GridRoles {

// The value itself where the edit role gives a stand-in for it (a long
// blob's preview, say); the editor starts from it. A model that knows no
// such role is asked for its edit role instead.
inline constexpr int WholeValue = Qt::UserRole + 0x51;

// The column's scale, as an int: digits after the point of a NUMERIC or
// DECIMAL column, whose typed digits must reach the server as text rather
// than pass through a double. Nothing, or 0, for every other column.
inline constexpr int Scale = Qt::UserRole + 0x52;

} // namespace GridRoles
