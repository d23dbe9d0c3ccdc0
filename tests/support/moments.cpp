#include "tests/support/moments.h"

#include <cstdio>

std::ostream& operator<<(std::ostream& out, const Moment& moment) {
  return out << TimestampLiteral(moment);
}

std::vector<Moment> CalendarMoments() {
  return {
      {1, 1, 1, 0, 0, 0, 0},          {1899, 12, 30, 0, 0, 0, 0}, MomentOf(Now()),
      {8214, 9, 20, 23, 59, 59, 999}, {8214, 9, 21, 0, 0, 0, 0},  {9999, 12, 31, 23, 59, 59, 999},
  };
}

std::string TimestampLiteral(const Moment& m) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", m.year, m.month, m.day,
                m.hour, m.minute, m.second, m.msec);
  return text;
}

TDateTime DateTimeOf(const Moment& m) {
  const TDateTime date = EncodeDate(m.year, m.month, m.day);
  const TDateTime time = EncodeTime(m.hour, m.minute, m.second, m.msec);
  // Before 30 December 1899 the time of day still counts forward, away from zero.
  return date < 0 ? date - time : date + time;
}

Moment MomentOf(TDateTime value) {
  Moment m;
  DecodeDate(value, m.year, m.month, m.day);
  DecodeTime(value, m.hour, m.minute, m.second, m.msec);
  return m;
}
