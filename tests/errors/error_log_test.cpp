// One entry of ERRORES.TXT under different regional settings, and where the log lies.
#include "errors/error_log.h"

#include <gtest/gtest.h>

namespace {

struct EntryCase {
  const char* what;
  const char* short_date;
  char date_separator;
  const char* long_time;
  char time_separator;
  int hour, minute, second;
  const char* user;
  const char* message;
  std::string entry;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
  *os << c.what;
}

class ErrorLogEntryTest : public testing::TestWithParam<EntryCase> {};

TEST_P(ErrorLogEntryTest, WritesDateTimeUserAndMessageByTheRegionalSettings) {
  const EntryCase& c = GetParam();
  FormatSettings fs;
  fs.ShortDateFormat = c.short_date;
  fs.DateSeparator = c.date_separator;
  fs.LongTimeFormat = c.long_time;
  fs.TimeSeparator = c.time_separator;
  fs.TimeAMString = "a. m.";
  fs.TimePMString = "p. m.";
  const TDateTime now = EncodeDate(2023, 3, 30) + EncodeTime(c.hour, c.minute, c.second, 0);
  EXPECT_EQ(ErrorLogEntry(now, fs, c.user, c.message), c.entry);
}

INSTANTIATE_TEST_SUITE_P(
    Clocks, ErrorLogEntryTest,
    testing::Values(
        EntryCase{"day/month/year, 24-hour clock", "dd/MM/yyyy", '/', "HH:mm:ss", ':', 14, 5, 9,
                  "ana", "Field 'AJCI_ID' must have a value",
                  "30/03/2023,14:05:09,ana,Field 'AJCI_ID' must have a value\r\n"},
        EntryCase{"hour without a leading zero", "d/M/yyyy", '-', "H:mm:ss", '.', 7, 5, 9, "ana",
                  "x", "30-3-2023,7.05.09,ana,x\r\n"},
        EntryCase{"hour with a leading zero", "yyyy/MM/dd", '.', "HH:mm:ss", ':', 7, 5, 9, "ana",
                  "x", "2023.03.30,07:05:09,ana,x\r\n"},
        EntryCase{"12-hour clock, designator after", "M/d/yy", '/', "h:mm:ss tt", ':', 14, 5, 9,
                  "ana", "x", "3/30/23,2:05:09 p. m.,ana,x\r\n"},
        EntryCase{"12-hour clock, designator before", "dd/MM/yyyy", '/', "tt hh:mm:ss", ':', 9, 5,
                  9, "ana", "x", "30/03/2023,a. m. 09:05:09,ana,x\r\n"},
        EntryCase{"12-hour clock at midnight and noon", "dd/MM/yyyy", '/', "h:mm:ss AM/PM", ':', 0,
                  0, 1, "ana", "x", "30/03/2023,12:00:01 AM,ana,x\r\n"},
        EntryCase{"comma in the user name, nothing quoted", "dd/MM/yyyy", '/', "HH:mm:ss", ':', 14,
                  5, 9, "ana, luis", "a,b", "30/03/2023,14:05:09,ana, luis,a,b\r\n"},
        EntryCase{"two-line message spans two lines", "dd/MM/yyyy", '/', "HH:mm:ss", ':', 14, 5, 9,
                  "ana", "dbExpress Error: x\r\nSQL Server Error: y",
                  "30/03/2023,14:05:09,ana,dbExpress Error: x\r\nSQL Server Error: y\r\n"},
        EntryCase{"empty user and message", "dd/MM/yyyy", '/', "HH:mm:ss", ':', 14, 5, 9, "", "",
                  "30/03/2023,14:05:09,,\r\n"}));

TEST(ErrorLogPath, LiesInTheInstallationDirectoryOrAtTheRoot) {
  EXPECT_EQ(ErrorLogPath("/srv/suite"), "/srv/suite/ERRORES.TXT");
  EXPECT_EQ(ErrorLogPath(""), "/ERRORES.TXT");
}

}  // namespace
