#pragma once

#include "schema/SchemaType.h"

#include <QString>

// A stored type as a statement of the given dialect declares it, so that the
// server stores the same type again: DOUBLE PRECISION, BLOB SUB_TYPE, NUMERIC
// or DECIMAL with the stored precision, array bounds, and the character set
// where it is not the database's default. The collation is the caller's.
// BINARY(n) and VARBINARY(n) are CHAR and VARCHAR of CHARACTER SET OCTETS,
// written so, which every server reads. Empty for a type code it does not
// know (see SqlTypeKnown).
QString SqlTypeText(const SchemaType &type, int dialect);

// Whether SqlTypeText knows the RDB$FIELD_TYPE code.
bool SqlTypeKnown(int typeCode);
