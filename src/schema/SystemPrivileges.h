#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The system privileges of a role, RDB$ROLES.RDB$SYSTEM_PRIVILEGES: one bit
// each, numbered from the lowest bit of the first byte, bit 0 unused.
namespace SystemPrivileges {

// The names in bit order, as SET SYSTEM PRIVILEGES TO takes them. Throws
// GeneralError naming the role and the bit for one this program does not know.
QStringList decode(const QByteArray &bits, const QString &role);

// Every name this program knows, in bit order.
QStringList known();

} // namespace SystemPrivileges
