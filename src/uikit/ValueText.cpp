#include "uikit/ValueText.h"

#include "core/AppError.h"
#include "ibdb/IbBlobPreview.h"
#include "ibdb/SqlLiteral.h"

#include <QDateTime>
#include <QLocale>

#include <charconv>
#include <cmath>

namespace {

const IbBlobPreview *preview(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<IbBlobPreview>()
               ? static_cast<const IbBlobPreview *>(value.constData())
               : nullptr;
}

template <typename Number>
QString shortest(Number number)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, number, std::chars_format::general).ptr;
    return QString::fromLatin1(text, end - text);
}

bool isFloating(const QVariant &value)
{
    const int type = value.metaType().id();
    return type == QMetaType::Double || type == QMetaType::Float;
}

bool isInteger(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isFinite(const QVariant &value)
{
    return !isFloating(value) || std::isfinite(value.toDouble());
}

// A decimal's text the way a double prints it: without trailing zeros of
// the fraction, nor a point left alone.
QString trimmedDecimal(QString text)
{
    if (!text.contains(QLatin1Char('.')))
        return text;
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

// True when the decimal text survives a trip through a double unchanged.
bool doubleKeeps(const QString &decimal)
{
    bool ok = false;
    const double number = decimal.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    return QString::number(number, 'f', QLocale::FloatingPointShortest) == trimmedDecimal(decimal);
}

// A value given as text where the column holds a number: a scaled number
// read exactly, or a number bound to text by the server.
bool isDecimalText(const QVariant &value, QMetaType::Type declared)
{
    return value.metaType().id() == QMetaType::QString
           && (declared == QMetaType::Double || declared == QMetaType::LongLong
               || declared == QMetaType::Int);
}

} // namespace

namespace ValueText {

QVariant whole(const QVariant &value)
{
    const IbBlobPreview *blob = preview(value);
    if (!blob)
        return value;
    std::optional<QVariant> content = blob->whole();
    if (!content) {
        throw DatabaseError(QStringLiteral("A long value is no longer at hand: the query has read "
                                           "its last row; refresh the rows to read it"));
    }
    return *content;
}

bool isNull(const QVariant &value)
{
    return !value.isValid() || value.isNull();
}

QString plain(const QVariant &value)
{
    if (isNull(value))
        return {};
    switch (value.metaType().id()) {
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toHex()).toUpper();
    case QMetaType::Double:
        return shortest(value.toDouble());
    case QMetaType::Float:
        return shortest(value.toFloat());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    default:
        return value.toString();
    }
}

QString jsonString(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString json(const QVariant &value, QMetaType::Type declared)
{
    if (isNull(value))
        return QStringLiteral("null");
    if (value.metaType().id() == QMetaType::Bool)
        return plain(value);
    if (isFloating(value) && isFinite(value))
        return plain(value);
    if (isInteger(value))
        return doubleKeeps(plain(value)) ? plain(value) : jsonString(plain(value));
    if (isDecimalText(value, declared) && doubleKeeps(value.toString()))
        return trimmedDecimal(value.toString());
    return jsonString(plain(value));
}

QString sql(const QVariant &value, QMetaType::Type declared, int dialect)
{
    if (isNull(value))
        return QStringLiteral("NULL");
    switch (value.metaType().id()) {
    case QMetaType::QByteArray:
        return QStringLiteral("x'") + plain(value) + QLatin1Char('\'');
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    default:
        break;
    }
    if ((isFloating(value) && isFinite(value)) || isInteger(value))
        return plain(value);
    if (isDecimalText(value, declared))
        return value.toString();
    return SqlLiteral::string(plain(value), dialect);
}

} // namespace ValueText
