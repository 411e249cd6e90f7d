#include "ibdb/IbValueWriter.h"

#include "ibdb/IbError.h"
#include "ibdb/IbTimeStamp.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstring>
#include <limits>

namespace {

bool isInteger(int typeId)
{
    switch (typeId) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong:
    case QMetaType::ULongLong: case QMetaType::Short: case QMetaType::UShort:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::Char:
    case QMetaType::SChar: case QMetaType::UChar: case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

} // namespace

void IbValueWriter::write(int i, const XSQLVAR &declared, const QVariant &value)
{
    XSQLVAR &var = m_sqlda.var(i);
    var.sqltype = declared.sqltype | 1;
    var.sqlsubtype = declared.sqlsubtype;
    var.sqlscale = declared.sqlscale;
    var.sqllen = declared.sqllen;
    if (value.isNull()) {
        m_sqlda.setNull(i);
        return;
    }
    const int type = declared.sqltype & ~1;
    const int typeId = value.metaType().id();
    if (type == SQL_BLOB) {
        const QByteArray bytes = typeId == QMetaType::QByteArray ? value.toByteArray()
                                                                 : textOf(value);
        writeScalar(i, SQL_BLOB, m_blobs.write(bytes));
    } else if (type == SQL_BOOLEAN && typeId == QMetaType::Bool) {
        writeScalar<FB_BOOLEAN>(i, SQL_BOOLEAN, value.toBool() ? FB_TRUE : FB_FALSE);
    } else if (writeTemporal(i, type, value) || writeNumber(i, value)) {
        return;
    } else {
        const bool textual = type == SQL_TEXT || type == SQL_VARYING;
        const QByteArray bytes = typeId == QMetaType::QByteArray ? value.toByteArray()
                                                                 : textOf(value);
        writeText(i, bytes, textual ? declared.sqlsubtype : 0);
    }
}

bool IbValueWriter::writeTemporal(int i, int type, const QVariant &value)
{
    const int typeId = value.metaType().id();
    const bool isDateTime = typeId == QMetaType::QDateTime;
    if (type == SQL_TIMESTAMP && isDateTime)
        writeScalar(i, SQL_TIMESTAMP, IbTimeStamp::toTimeStamp(value.toDateTime()));
    else if (type == SQL_TIMESTAMP && typeId == QMetaType::QDate)
        writeScalar(i, SQL_TIMESTAMP, IbTimeStamp::toTimeStamp(value.toDate().startOfDay()));
    else if (type == SQL_TYPE_DATE && (isDateTime || typeId == QMetaType::QDate))
        writeScalar(i, SQL_TYPE_DATE, IbTimeStamp::toDate(value.toDate()));
    else if (type == SQL_TYPE_TIME && (isDateTime || typeId == QMetaType::QTime))
        writeScalar(i, SQL_TYPE_TIME, IbTimeStamp::toTime(value.toTime()));
    else
        return false;
    return true;
}

bool IbValueWriter::writeNumber(int i, const QVariant &value)
{
    // Only into numeric parameters: the server scales and range-checks them.
    const int type = m_sqlda.var(i).sqltype & ~1;
    const bool numeric = type == SQL_SHORT || type == SQL_LONG || type == SQL_INT64
                         || type == SQL_FLOAT || type == SQL_DOUBLE || type == SQL_D_FLOAT;
    const int typeId = value.metaType().id();
    if (!numeric)
        return false;
    if (isInteger(typeId) && typeId != QMetaType::ULongLong && typeId != QMetaType::ULong) {
        writeScalar<ISC_INT64>(i, SQL_INT64, value.toLongLong());
    } else if (isInteger(typeId) || typeId == QMetaType::Double
               || typeId == QMetaType::Float) {
        writeScalar<double>(i, SQL_DOUBLE, value.toDouble());
    } else {
        return false;
    }
    return true;
}

template <typename T>
void IbValueWriter::writeScalar(int i, int type, const T &value)
{
    XSQLVAR &var = m_sqlda.var(i);
    var.sqltype = static_cast<ISC_SHORT>(type | 1);
    var.sqllen = sizeof(T);
    if (type != SQL_BLOB)
        var.sqlsubtype = 0;
    if (type == SQL_INT64 || type == SQL_DOUBLE)
        var.sqlscale = 0;
    std::memcpy(m_sqlda.allocateInput(i, sizeof(T)), &value, sizeof(T));
}

void IbValueWriter::writeText(int i, const QByteArray &bytes, int charset)
{
    if (bytes.size() > std::numeric_limits<ISC_SHORT>::max()) {
        throw IbError::refusal(
            QCoreApplication::translate("IbValueWriter",
                                        "Parameter %1 is longer than 32767 bytes").arg(i + 1),
            QSqlError::StatementError);
    }
    XSQLVAR &var = m_sqlda.var(i);
    var.sqltype = SQL_TEXT | 1;
    var.sqlsubtype = static_cast<ISC_SHORT>(charset);
    var.sqlscale = 0;
    var.sqllen = static_cast<ISC_SHORT>(bytes.size());
    std::memcpy(m_sqlda.allocateInput(i, bytes.size()), bytes.constData(), bytes.size());
}

QByteArray IbValueWriter::textOf(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss.zzz")).toUtf8();
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toUtf8();
    case QMetaType::QByteArray:
        return value.toByteArray();
    default:
        return value.toString().toUtf8();
    }
}
