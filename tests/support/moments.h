// Points in time across the whole calendar a database holds, for tests that write and read dates
// and times through a layer: the first millisecond of year 1, the day date values count from, the
// present, the eve and the first day of day number 3,000,000 (8214-09-21), and the last
// millisecond of 9999.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "base/date_time.h"

struct Moment {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;

  bool operator==(const Moment&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Moment& moment);

// In ascending order; the present is taken from the clock at the call.
std::vector<Moment> CalendarMoments();

// "yyyy-mm-dd hh:mm:ss.mmm", as a timestamp literal of SQL.
std::string TimestampLiteral(const Moment& moment);

// The moment as a date value, and the moment of a date value to the millisecond.
TDateTime DateTimeOf(const Moment& moment);
Moment MomentOf(TDateTime value);
