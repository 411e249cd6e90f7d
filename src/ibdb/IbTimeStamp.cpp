#include "ibdb/IbTimeStamp.h"

namespace IbTimeStamp {

namespace {

const QDate dayZero(1858, 11, 17);
constexpr int fractionsPerMs = 10;

} // namespace

QDate date(ISC_DATE days)
{
    return dayZero.addDays(days);
}

QTime time(ISC_TIME fractions)
{
    return QTime::fromMSecsSinceStartOfDay(int(fractions / fractionsPerMs));
}

QDateTime dateTime(const ISC_TIMESTAMP &stamp)
{
    return QDateTime(date(stamp.timestamp_date), time(stamp.timestamp_time));
}

ISC_DATE toDate(const QDate &date)
{
    return ISC_DATE(dayZero.daysTo(date));
}

ISC_TIME toTime(const QTime &time)
{
    return ISC_TIME(time.msecsSinceStartOfDay()) * fractionsPerMs;
}

ISC_TIMESTAMP toTimeStamp(const QDateTime &dateTime)
{
    return ISC_TIMESTAMP{toDate(dateTime.date()), toTime(dateTime.time())};
}

void loadSystemZoneOnce()
{
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", QByteArrayLiteral(":/etc/localtime"));
}

} // namespace IbTimeStamp
