#pragma once

#include <QDateTime>
#include <QString>

// Conversions of raw Jet field bytes whose text form from the reader
// library is lossy (dates far from today, doubles, currency).
namespace JetValue {

// A Jet date/time: days since 1899-12-30 as a double, the fractional part
// the time of day (for days before 1899-12-30 the day is negative and the
// time still counts forward). Rounded to the second. Invalid when the
// value is not a finite date within years 100..9999. The clock time is
// held in a UTC date-time so that no time zone moves it.
QDateTime toDateTime(double days);

// Currency is a signed 64-bit count of ten-thousandths.
QString currencyText(qint64 tenThousandths); // exact decimal, e.g. "-12.3400" -> "-12.34"
double currencyDouble(qint64 tenThousandths); // the double nearest to the exact value

// Little-endian field bytes.
qint64 int64At(const unsigned char *p);
double doubleAt(const unsigned char *p);

} // namespace JetValue
