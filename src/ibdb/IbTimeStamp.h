#pragma once

#include <ibase.h>

#include <QDateTime>

// The client library's date and time words: days since 17 November 1858 and
// ten-thousandths of a second since midnight.
namespace IbTimeStamp {

QDate date(ISC_DATE days);
QTime time(ISC_TIME fractions);
QDateTime dateTime(const ISC_TIMESTAMP &stamp);

ISC_DATE toDate(const QDate &date);
ISC_TIME toTime(const QTime &time);
ISC_TIMESTAMP toTimeStamp(const QDateTime &dateTime);

// Every timestamp read becomes a local date-time, and with TZ unset the C
// library checks the zone file on disk again for each one (a million rows,
// seconds of stat calls). Naming that same file in TZ keeps the zone loaded
// once; the values do not change. Call before other threads start.
void loadSystemZoneOnce();

} // namespace IbTimeStamp
