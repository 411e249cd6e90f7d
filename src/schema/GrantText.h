#pragma once

#include "schema/SchemaGrant.h"

#include <QSet>
#include <QString>

// The GRANT statement (without its terminator) that gives the privilege again,
// GRANTED BY its grantor unless that is `replayUser`, who grants it anyway.
// A user who shares a name with one of `roles` is named TO USER: the server
// takes a bare name for the role.
QString GrantText(const SchemaGrant &grant, int dialect, const QString &replayUser,
                  const QSet<QString> &roles);
