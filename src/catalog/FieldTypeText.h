#pragma once

#include <QString>

// The type text the catalogue windows show for a domain or a procedure
// parameter, from the type columns of RDB$FIELDS (a NULL column reads as 0).
// The text is the tool's own display form: DOUBLE stays "DOUBLE" and the
// blob sub-type keyword stays "SUBTYPE".
QString FieldTypeText(int type, int scale, int charLength, int subType, int segmentLength);
