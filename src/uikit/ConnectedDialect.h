#pragma once

#include "controls/SqlHighlighter.h"

// What the editors need to know of the connected database's dialect.
namespace ConnectedDialect {

// How the connected database reads a double quote: a string in dialect 1,
// a delimited name in dialect 3. Without a connection, dialect 1.
SqlHighlighter::DoubleQuotes doubleQuotes();

} // namespace ConnectedDialect
