#pragma once

#include "schema/SchemaType.h"

#include <QString>

// The type text the catalogue windows show for a domain or a procedure
// parameter, from the type columns of RDB$FIELDS (a NULL column reads as 0).
// The text is the tool's own display form: DOUBLE stays "DOUBLE" and the
// blob sub-type keyword stays "SUBTYPE".
QString FieldTypeText(int type, int scale, int charLength, int subType, int segmentLength);

// The type text for a database of the given dialect. On dialect 1 it is the
// display form above, but for the types it has no name for (Firebird 4's);
// on dialect 3 it is the type as dialect-3 DDL declares it, so a rebuilt
// statement declares the same type again.
// The collation and array bounds are not part of the text.
QString FieldTypeText(const SchemaType &type, int dialect);

// A binary string (BINARY, VARBINARY) is text of the character set OCTETS:
// a window that names no other character set of a type still names that
// one, so the type never passes for text. Empty for every other set.
QString BinaryCharacterSet(const QString &characterSet);
// OCTETS as RDB$CHARACTER_SET_ID numbers it.
inline constexpr int OctetsCharacterSetId = 1;
