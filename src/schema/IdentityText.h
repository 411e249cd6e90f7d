#pragma once

#include "schema/SchemaColumn.h"

#include <QString>

namespace IdentityText {

// "GENERATED ALWAYS AS IDENTITY (START WITH 10 INCREMENT BY 2)" for an
// identity column: its kind, its start and a step other than 1. A start of 0
// (Firebird 3's default) is said only when startAlways, for a statement that
// must not rely on the default of whichever server reads it. Empty for a
// column that is no identity.
QString clause(const SchemaColumn &column, bool startAlways);

} // namespace IdentityText
