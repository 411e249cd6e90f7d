#pragma once

#include "schema/SchemaGrant.h"

#include <QString>

// The GRANT statement (without its terminator) that gives the privilege again.
QString GrantText(const SchemaGrant &grant, int dialect);
