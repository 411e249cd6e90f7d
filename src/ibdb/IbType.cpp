#include "ibdb/IbType.h"

#include <ibase.h>

namespace IbType {

QMetaType fromSqlType(int sqlType, int subType, int scale)
{
    switch (sqlType & ~1) {
    case SQL_TEXT:
    case SQL_VARYING:
        return QMetaType((subType & 0xff) == octetsCharset ? QMetaType::QByteArray
                                                           : QMetaType::QString);
    case SQL_SHORT:
    case SQL_LONG:
        return QMetaType(scale < 0 ? QMetaType::Double : QMetaType::Int);
    case SQL_INT64:
        return QMetaType(scale < 0 ? QMetaType::Double : QMetaType::LongLong);
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return QMetaType(QMetaType::Double);
    case SQL_TIMESTAMP:
        return QMetaType(QMetaType::QDateTime);
    case SQL_TYPE_DATE:
        return QMetaType(QMetaType::QDate);
    case SQL_TYPE_TIME:
        return QMetaType(QMetaType::QTime);
    case SQL_BLOB:
        return QMetaType(subType == 1 ? QMetaType::QString : QMetaType::QByteArray);
    case SQL_BOOLEAN:
        return QMetaType(QMetaType::Bool);
    default:
        return QMetaType(QMetaType::QByteArray);
    }
}

QMetaType fromFieldType(int fieldType, int subType, int scale)
{
    // RDB$FIELD_TYPE codes and the XSQLVAR type each one is described as.
    static const struct { int field; int sql; } codes[] = {
        {7, SQL_SHORT}, {8, SQL_LONG}, {16, SQL_INT64}, {10, SQL_FLOAT},
        {27, SQL_DOUBLE}, {11, SQL_D_FLOAT}, {12, SQL_TYPE_DATE}, {13, SQL_TYPE_TIME},
        {35, SQL_TIMESTAMP}, {14, SQL_TEXT}, {37, SQL_VARYING}, {40, SQL_TEXT},
        {261, SQL_BLOB}, {23, SQL_BOOLEAN}, {9, SQL_QUAD},
    };
    for (const auto &code : codes) {
        if (code.field == fieldType)
            return fromSqlType(code.sql, subType, scale);
    }
    if (boundAsText(fieldType))
        return QMetaType(QMetaType::QString);
    return QMetaType(QMetaType::QByteArray);
}

bool boundAsNumberText(int fieldType)
{
    return fieldType == 24 || fieldType == 25 || fieldType == 26;
}

bool boundAsText(int fieldType)
{
    return boundAsNumberText(fieldType) || fieldType == 28 || fieldType == 29;
}

} // namespace IbType
