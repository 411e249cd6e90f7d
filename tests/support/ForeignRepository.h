#pragma once

#include <QString>
#include <QStringList>

// Files named DVSRC.DB that are no repository: what another program or a
// damaged disk may leave where the repository is looked for.
namespace ForeignRepository {

// "random bytes", "empty file", "another schema", "table without its text".
QStringList kinds();
// Writes one of them at path (the folder must exist).
void make(const QString &path, const QString &kind);

} // namespace ForeignRepository
