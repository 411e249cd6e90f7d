#pragma once

#include <QMetaType>

// Which Qt type the layer delivers for a column: the same answer for a
// described select-list item and for a column read from RDB$FIELDS.
namespace IbType {

// From an XSQLVAR's sqltype (NULL flag ignored), sqlsubtype and sqlscale.
QMetaType fromSqlType(int sqlType, int subType, int scale);

// From RDB$FIELDS: RDB$FIELD_TYPE, RDB$FIELD_SUB_TYPE, RDB$FIELD_SCALE.
QMetaType fromFieldType(int fieldType, int subType, int scale);

// Firebird 4's types, which the session binds to their exact text (see
// IbDriver): DECFLOAT(16), DECFLOAT(34), INT128 with NUMERIC and DECIMAL
// of 19 to 38 digits, TIME and TIMESTAMP WITH TIME ZONE, by RDB$FIELD_TYPE.
bool boundAsText(int fieldType);
// Of those, the numbers: a text the server converts may lose digits.
bool boundAsNumberText(int fieldType);

// The character set id that marks binary text columns (CHARACTER SET OCTETS).
constexpr int octetsCharset = 1;

} // namespace IbType
