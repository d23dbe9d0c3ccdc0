// Conversions between the client library's native values and the driver interface's: dates,
// times, timestamps, scaled integers (NUMERIC/DECIMAL) and packed decimals, fixed-length text,
// quoted object names.
// Pure functions; decimals never pass through floating point.
#pragma once

#include <ibase.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "base/bcd.h"
#include "db/driver/sql_driver.h"

// Day numbers count from 1 January of year 1 (day 1), proleptic Gregorian calendar.
std::int32_t DayNumberFromCivil(int year, int month, int day);
void CivilFromDayNumber(std::int32_t dayNumber, int& year, int& month, int& day);

std::int32_t IscDateToDayNumber(ISC_DATE date);
ISC_DATE DayNumberToIscDate(std::int32_t dayNumber);

// The client counts time in units of 1/10,000 s; the interface in milliseconds (truncated).
std::int32_t IscTimeToMilliseconds(ISC_TIME time);
// False for a value outside the day (0..86,399,999).
bool MillisecondsToIscTime(std::int32_t milliseconds, ISC_TIME& time);

SQLTimeStamp IscTimestampToSql(const ISC_TIMESTAMP& stamp);
// False when a part is out of range (month 13, day 31 in April, hour 24, ...).
bool SqlToIscTimestamp(const SQLTimeStamp& stamp, ISC_TIMESTAMP& out);

// `value` scaled by 10^scale (the column holds value / 10^scale) as a packed decimal with the
// given precision and scale; a value with more digits than the precision (the storage of a column
// may hold more than it declares) gets the precision of its digits. REQUIRES: 0 <= scale <= 18,
// scale <= precision <= 32.
TBcd ScaledToBcd(std::int64_t value, int scale, int precision);
// The packed decimal as an integer scaled by 10^scale, rounding extra decimals halves away from
// zero. False when it does not fit 64 bits.
bool BcdToScaled(const TBcd& bcd, int scale, std::int64_t& out);

// The value of a fixed-length text column from its buffer; `charset` is the id of the character
// set the client receives it in (the low byte of the column's sqlsubtype). The client pads the
// declared characters with blanks to the buffer's size, which counts every character at its
// widest: a CHAR(3) in UTF8 arrives as 12 bytes, and its value is the first 3 characters, however
// many bytes they take. Characters are counted in UTF8 and UNICODE_FSS; in a single-byte set the
// buffer is the value, and so it is in the East Asian multi-byte sets, which are not counted.
std::string_view FixedTextValue(std::string_view buffer, int charset);

// An object name as a statement must write it: in dialect 3 between double quotes, embedded quotes
// doubled, a name given without quotes upper-cased first (as the server would read it unquoted);
// each part of a dotted name on its own; a name already quoted stays as it is. Dialect 1 has no
// quoted names: the name stays as given.
std::string QuoteObjectName(std::string_view name, int dialect);
