#include "catalog/FieldTypeText.h"

#include "ibdb/SqlLiteral.h"

namespace {

enum TypeCode {
    SmallInt = 7,
    Integer = 8,
    Quad = 9,
    Float = 10,
    DFloat = 11,
    Time = 13,
    Char = 14,
    Int64 = 16,
    Boolean = 23,
    Double = 27,
    Date = 35,
    VarChar = 37,
    CString = 40,
    Blob = 261,
};

enum Dialect3Code {
    SqlDate = 12,
};

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
    case Date: return QStringLiteral("DATE");
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

namespace {

// Exact numerics: NUMERIC or DECIMAL from the sub-type, with the stored
// precision, or the storage's full width where none is stored.
QString exactNumeric(const FieldType &field, const QString &integerName, int fullPrecision)
{
    if (field.scale >= 0 && field.subType == 0)
        return integerName;
    const QString name = field.subType == 2 ? QStringLiteral("DECIMAL") : QStringLiteral("NUMERIC");
    const int precision = field.precision > 0 ? field.precision : fullPrecision;
    return QStringLiteral("%1(%2,%3)").arg(name).arg(precision).arg(-qint64(qMin(field.scale, 0)));
}

QString blobSubType(int subType)
{
    switch (subType) {
    case 0: return QStringLiteral("BINARY");
    case 1: return QStringLiteral("TEXT");
    default: return QString::number(subType);
    }
}

QString dialect3Text(const FieldType &field)
{
    QString text;
    bool hasCharacterSet = false;
    switch (field.type) {
    case SmallInt: return exactNumeric(field, QStringLiteral("SMALLINT"), 4);
    case Integer: return exactNumeric(field, QStringLiteral("INTEGER"), 9);
    case Int64: return exactNumeric(field, QStringLiteral("BIGINT"), 18);
    case Double:
        // A dialect-1 NUMERIC kept as a double cannot be declared in dialect 3.
        return field.scale < 0 ? exactNumeric(field, {}, 15) : QStringLiteral("DOUBLE PRECISION");
    case Float: return QStringLiteral("FLOAT");
    case SqlDate: return QStringLiteral("DATE");
    case Time: return QStringLiteral("TIME");
    case Date: return QStringLiteral("TIMESTAMP");
    case Boolean: return QStringLiteral("BOOLEAN");
    case Char:
    case VarChar:
    case CString:
        text = QStringLiteral("%1(%2)")
                   .arg(field.type == Char      ? QStringLiteral("CHAR")
                        : field.type == VarChar ? QStringLiteral("VARCHAR")
                                                : QStringLiteral("CSTRING"))
                   .arg(field.charLength);
        hasCharacterSet = true;
        break;
    case Blob:
        text = QStringLiteral("BLOB SUB_TYPE ") + blobSubType(field.subType);
        if (field.segmentLength > 0)
            text += QStringLiteral(" SEGMENT SIZE %1").arg(field.segmentLength);
        hasCharacterSet = field.subType == 1;
        break;
    default:
        return baseName(field.type);
    }
    if (hasCharacterSet && !field.characterSet.isEmpty())
        text += QStringLiteral(" CHARACTER SET ") + SqlLiteral::name(field.characterSet, 3);
    return text;
}

} // namespace

QString FieldTypeText(const FieldType &field, int dialect)
{
    if (dialect == 3)
        return dialect3Text(field);
    return FieldTypeText(field.type, field.scale, field.charLength, field.subType,
                         field.segmentLength);
}
