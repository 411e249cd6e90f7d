#pragma once

#include "schema/SchemaGrant.h"

#include <QString>

// The GRANT statement (without its terminator) that gives the privilege again,
// GRANTED BY its grantor unless that is `replayUser`, who grants it anyway.
QString GrantText(const SchemaGrant &grant, int dialect, const QString &replayUser);
