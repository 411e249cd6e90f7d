#include "catalog/FieldTypeText.h"

#include "schema/FieldTypeCode.h"
#include "schema/SqlTypeText.h"

namespace {

using namespace FieldTypeCode;

QString baseName(int type)
{
    switch (type) {
    case SmallInt: return QStringLiteral("SMALLINT");
    case Integer: return QStringLiteral("INTEGER");
    case Quad: return QStringLiteral("QUAD");
    case Float: return QStringLiteral("FLOAT");
    case DFloat: return QStringLiteral("D_FLOAT");
    case Char: return QStringLiteral("CHAR");
    case Double: return QStringLiteral("DOUBLE");
    case Timestamp: return QStringLiteral("DATE");
    case VarChar: return QStringLiteral("VARCHAR");
    case Blob: return QStringLiteral("BLOB");
    case Boolean: return QStringLiteral("BOOLEAN");
    default: return {};
    }
}

// Any other code with a negative scale still shows as NUMERIC, with 0 digits.
int precision(int type)
{
    switch (type) {
    case SmallInt: return 4;
    case Integer: return 9;
    case Double: return 15;
    default: return 0;
    }
}

QString subTypeSuffix(int subType)
{
    switch (subType) {
    case 0: return QStringLiteral(" SUBTYPE 0");
    case 1: return QStringLiteral(" SUBTYPE TEXT");
    case 2: return QStringLiteral(" SUBTYPE BLR");
    case 3:
    case 4:
    case 5:
    case 6: return QStringLiteral(" SUBTYPE %1").arg(subType);
    default: return {};
    }
}

} // namespace

QString FieldTypeText(int type, int scale, int charLength, int subType, int segmentLength)
{
    QString text = baseName(type);
    if (scale < 0)
        text = QStringLiteral("NUMERIC(%1,%2)").arg(precision(type)).arg(-qint64(scale));
    if (type == Char || type == VarChar)
        text += QStringLiteral("(%1)").arg(charLength);
    if (type == Blob) {
        text += subTypeSuffix(subType);
        if (segmentLength > 0)
            text += QStringLiteral(" SEGMENT SIZE %1").arg(segmentLength);
    }
    return text;
}

QString BinaryCharacterSet(const QString &characterSet)
{
    return characterSet == QLatin1String("OCTETS") ? characterSet : QString();
}

QString FieldTypeText(const SchemaType &type, int dialect)
{
    // The display form has no word of its own for Firebird 4's types.
    if (dialect == 3 || (baseName(type.type).isEmpty() && SqlTypeKnown(type.type))) {
        SchemaType declared = type;
        declared.dimensions.clear();
        return SqlTypeText(declared, dialect);
    }
    return FieldTypeText(type.type, type.scale, type.charLength, type.subType,
                         type.segmentLength);
}
