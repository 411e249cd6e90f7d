#include "schema/SqlTypeText.h"

#include "ibdb/SqlLiteral.h"
#include "schema/FieldTypeCode.h"

#include <QStringList>

namespace {

using namespace FieldTypeCode;

// Exact numerics: NUMERIC or DECIMAL from the sub-type, with the stored
// precision, or the storage's full width where none is stored.
QString exactNumeric(const SchemaType &type, const QString &integerName, int fullPrecision)
{
    if (type.scale >= 0 && type.subType == 0)
        return integerName;
    const QString name = type.subType == 2 ? QStringLiteral("DECIMAL") : QStringLiteral("NUMERIC");
    const int precision = type.precision > 0 ? type.precision : fullPrecision;
    return QStringLiteral("%1(%2,%3)").arg(name).arg(precision).arg(-qint64(qMin(type.scale, 0)));
}

QString blobSubType(int subType)
{
    switch (subType) {
    case 0: return QStringLiteral("BINARY");
    case 1: return QStringLiteral("TEXT");
    default: return QString::number(subType);
    }
}

QString characterType(const SchemaType &type)
{
    const char *name = type.type == Char ? "CHAR" : type.type == VarChar ? "VARCHAR" : "CSTRING";
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(type.charLength);
}

QString blobType(const SchemaType &type)
{
    QString text = QStringLiteral("BLOB SUB_TYPE ") + blobSubType(type.subType);
    if (type.segmentLength > 0)
        text += QStringLiteral(" SEGMENT SIZE %1").arg(type.segmentLength);
    return text;
}

QString baseText(const SchemaType &type, int dialect)
{
    switch (type.type) {
    case SmallInt: return exactNumeric(type, QStringLiteral("SMALLINT"), 4);
    case Integer: return exactNumeric(type, QStringLiteral("INTEGER"), 9);
    case Int64: return exactNumeric(type, QStringLiteral("BIGINT"), 18);
    case Double:
        // Dialect 1 keeps NUMERIC and DECIMAL wider than 9 digits as doubles.
        return type.scale < 0 || type.subType != 0 ? exactNumeric(type, {}, 15)
                                                   : QStringLiteral("DOUBLE PRECISION");
    case Float: return QStringLiteral("FLOAT");
    case DFloat: return QStringLiteral("DOUBLE PRECISION");
    case Quad: return QStringLiteral("QUAD");
    case SqlDate: return QStringLiteral("DATE");
    case Time: return QStringLiteral("TIME");
    // Dialect 1's DATE is what dialect 3 calls TIMESTAMP.
    case Timestamp: return dialect == 1 ? QStringLiteral("DATE") : QStringLiteral("TIMESTAMP");
    case Boolean: return QStringLiteral("BOOLEAN");
    case DecFloat16: return QStringLiteral("DECFLOAT(16)");
    case DecFloat34: return QStringLiteral("DECFLOAT(34)");
    case Int128: return exactNumeric(type, QStringLiteral("INT128"), 38);
    case TimeTz: return QStringLiteral("TIME WITH TIME ZONE");
    case TimestampTz: return QStringLiteral("TIMESTAMP WITH TIME ZONE");
    case Char:
    case VarChar:
    case CString: return characterType(type);
    case Blob: return blobType(type);
    default: return {};
    }
}

bool hasCharacterSet(const SchemaType &type)
{
    return type.type == Char || type.type == VarChar || type.type == CString
           || (type.type == Blob && type.subType == 1);
}

QString dimensionsText(const QList<SchemaType::Bounds> &dimensions)
{
    QStringList bounds;
    for (const SchemaType::Bounds &b : dimensions)
        bounds << QStringLiteral("%1:%2").arg(b.lower).arg(b.upper);
    return QStringLiteral(" [") + bounds.join(QLatin1Char(',')) + QLatin1Char(']');
}

} // namespace

bool SqlTypeKnown(int typeCode)
{
    return !baseText(SchemaType{.type = typeCode}, 3).isEmpty();
}

QString SqlTypeText(const SchemaType &type, int dialect)
{
    QString text = baseText(type, dialect);
    if (!type.dimensions.isEmpty())
        text += dimensionsText(type.dimensions);
    if (hasCharacterSet(type) && !type.characterSet.isEmpty())
        text += QStringLiteral(" CHARACTER SET ") + SqlLiteral::name(type.characterSet, dialect);
    return text;
}
