#include "ibdb/IbValueReader.h"

#include "ibdb/IbBlobPreview.h"
#include "ibdb/IbTimeStamp.h"
#include "ibdb/IbType.h"

#include <QDate>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

template <typename T>
T load(const char *data)
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

// At least `width` digits of a value that is not negative, zeros first.
char *writeDigits(char *out, int value, int width)
{
    char digits[12];
    int count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (; width > count; --width)
        *out++ = '0';
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

} // namespace

QVariant IbValueReader::read(const XSQLVAR &var) const
{
    if (m_exact && readsAsText(var))
        return exactText(var);
    if ((var.sqltype & 1) && var.sqlind && *var.sqlind < 0)
        return QVariant(IbType::fromSqlType(var.sqltype, var.sqlsubtype, var.sqlscale));
    const char *data = var.sqldata;
    switch (var.sqltype & ~1) {
    case SQL_TEXT:
        return text(var, data, var.sqllen);
    case SQL_VARYING:
        return text(var, data + sizeof(ISC_USHORT), load<ISC_USHORT>(data));
    case SQL_SHORT:
        return scaled(load<ISC_SHORT>(data), var.sqlscale, QMetaType::Int);
    case SQL_LONG:
        return scaled(load<ISC_LONG>(data), var.sqlscale, QMetaType::Int);
    case SQL_INT64:
        return scaled(load<ISC_INT64>(data), var.sqlscale, QMetaType::LongLong);
    case SQL_FLOAT:
        // Kept a float where exact: its shortest text is not a double's.
        return m_exact ? QVariant(load<float>(data)) : QVariant(double(load<float>(data)));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return load<double>(data);
    case SQL_TIMESTAMP:
        return IbTimeStamp::dateTime(load<ISC_TIMESTAMP>(data));
    case SQL_TYPE_DATE:
        return IbTimeStamp::date(load<ISC_DATE>(data));
    case SQL_TYPE_TIME:
        return IbTimeStamp::time(load<ISC_TIME>(data));
    case SQL_BOOLEAN:
        return load<FB_BOOLEAN>(data) != FB_FALSE;
    case SQL_BLOB:
        return blob(var);
    default:
        // Arrays have no value the layer can show; they read as binary NULL.
        return QVariant(QMetaType(QMetaType::QByteArray));
    }
}

bool IbValueReader::readsAsText(const XSQLVAR &var)
{
    switch (var.sqltype & ~1) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return var.sqlscale < 0;
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return true;
    default:
        return false;
    }
}

QVariant IbValueReader::exactText(const XSQLVAR &var) const
{
    if ((var.sqltype & 1) && var.sqlind && *var.sqlind < 0)
        return QVariant(QMetaType(QMetaType::QString));
    const char *data = var.sqldata;
    switch (var.sqltype & ~1) {
    case SQL_SHORT:
        return decimalText(load<ISC_SHORT>(data), var.sqlscale);
    case SQL_LONG:
        return decimalText(load<ISC_LONG>(data), var.sqlscale);
    case SQL_INT64:
        return decimalText(load<ISC_INT64>(data), var.sqlscale);
    case SQL_TYPE_DATE:
        return dateText(load<ISC_DATE>(data));
    case SQL_TYPE_TIME:
        return timeText(load<ISC_TIME>(data));
    default: {
        const auto stamp = load<ISC_TIMESTAMP>(data);
        return dateText(stamp.timestamp_date) + QLatin1Char(' ')
               + timeText(stamp.timestamp_time);
    }
    }
}

QString IbValueReader::decimalText(qint64 value, int scale)
{
    // The magnitude as unsigned digits: the smallest 64-bit value has no
    // positive counterpart.
    const quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    QString digits = QString::number(magnitude);
    const int places = -scale;
    if (places > 0) {
        if (digits.size() <= places)
            digits.prepend(QString(places - digits.size() + 1, QLatin1Char('0')));
        digits.insert(digits.size() - places, QLatin1Char('.'));
    }
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

// Written digit by digit: a grid or an export turns a million of these, and
// a format string would be read again for each one.
QString IbValueReader::dateText(ISC_DATE date)
{
    const QDate day = IbTimeStamp::date(date);
    char text[24];
    char *out = text;
    if (day.year() < 0)
        *out++ = '-';
    out = writeDigits(out, std::abs(day.year()), 4);
    *out++ = '-';
    out = writeDigits(out, day.month(), 2);
    *out++ = '-';
    out = writeDigits(out, day.day(), 2);
    return QString::fromLatin1(text, out - text);
}

QString IbValueReader::timeText(ISC_TIME time)
{
    // ISC_TIME counts ten-thousandths of a second.
    const int fraction = int(time % 10000);
    const int seconds = int(time / 10000);
    char text[40];
    char *out = writeDigits(text, seconds / 3600, 2);
    *out++ = ':';
    out = writeDigits(out, seconds / 60 % 60, 2);
    *out++ = ':';
    out = writeDigits(out, seconds % 60, 2);
    if (fraction != 0) {
        *out++ = '.';
        out = writeDigits(out, fraction, 4);
    }
    return QString::fromLatin1(text, out - text);
}

QVariant IbValueReader::text(const XSQLVAR &var, const char *data, qsizetype length)
{
    if ((var.sqlsubtype & 0xff) == IbType::octetsCharset)
        return QByteArray(data, length);
    // Found on the buffer, not chopped off a copy blank by blank: catalogue
    // names come padded to 31 characters of four bytes each.
    if ((var.sqltype & ~1) == SQL_TEXT) {
        while (length > 0 && data[length - 1] == ' ')
            --length;
    }
    return QString::fromUtf8(data, length);
}

QVariant IbValueReader::scaled(qint64 value, int scale, QMetaType::Type integerType)
{
    if (scale < 0)
        return double(value) / std::pow(10.0, -scale);
    if (integerType == QMetaType::Int)
        return int(value);
    return value;
}

QVariant IbValueReader::blob(const XSQLVAR &var) const
{
    return blobValue(var, m_blobs.read(load<ISC_QUAD>(var.sqldata)));
}

QVariant IbValueReader::blobValue(const XSQLVAR &var, const QByteArray &content)
{
    return IbBlobPreview::value(var.sqlsubtype == 1, content);
}
