#pragma once

#include "schema/SchemaType.h"

#include <QString>

// The type text the catalogue windows show for a domain or a procedure
// parameter, from the type columns of RDB$FIELDS (a NULL column reads as 0).
// The text is the tool's own display form: DOUBLE stays "DOUBLE" and the
// blob sub-type keyword stays "SUBTYPE".
QString FieldTypeText(int type, int scale, int charLength, int subType, int segmentLength);

// The type columns of RDB$FIELDS that the text is made of.
struct FieldType
{
    int type = 0;
    int scale = 0;
    int charLength = 0;
    int subType = 0;
    int segmentLength = 0;
    int precision = 0;
    QString characterSet = {}; // empty: the database's default
};

// The type text for a database of the given dialect. On dialect 1 it is the
// display form above, but for the types it has no name for (Firebird 4's);
// on dialect 3 it is the type as dialect-3 DDL declares it, so a rebuilt
// statement declares the same type again.
QString FieldTypeText(const FieldType &field, int dialect);

// A binary string (BINARY, VARBINARY) is text of the character set OCTETS:
// a window that names no other character set of a type still names that
// one, so the type never passes for text. Empty for every other set.
QString BinaryCharacterSet(const QString &characterSet);
// OCTETS as RDB$CHARACTER_SET_ID numbers it.
inline constexpr int OctetsCharacterSetId = 1;

// The same type for the schema layer, whose statement text (SqlTypeText)
// declares it in either dialect.
SchemaType schemaType(const FieldType &field);
