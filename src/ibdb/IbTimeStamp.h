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

} // namespace IbTimeStamp
