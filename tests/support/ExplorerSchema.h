#pragma once

#include <QStringList>

// A database holding objects of every kind the explorer lists, and some it
// must leave out: a column's own domain, the function and procedure of a
// package, an identity column's generator. In dialect 3 some names need
// their double quotes.
namespace ExplorerSchema {

QStringList statements(int dialect);

// What the explorer lists, kind by kind in its order, names sorted as the
// server sorts them: "Domains: D_MONEY|D_NAME".
QStringList listing(int dialect);

} // namespace ExplorerSchema
