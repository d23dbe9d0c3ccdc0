// The text of the posting call: dates as the regional settings write them, each text quoted
// with its inner quotes doubled, whatever the dates and the prefix hold.
#include "posting/posting_statement.h"

#include <gtest/gtest.h>

namespace {

FormatSettings Dates(const char* shortDateFormat, char separator) {
  FormatSettings settings;
  settings.ShortDateFormat = shortDateFormat;
  settings.DateSeparator = separator;
  return settings;
}

struct StatementCase {
  const char* what;
  FormatSettings settings;
  TDateTime start, end;
  const char* prefix;
  const char* statement;
};

TEST(PostingStatement, WritesTheDatesAsTheSettingsDoAndQuotesEveryText) {
  const TDateTime march30 = EncodeDate(2023, 3, 30);
  const TDateTime april1 = EncodeDate(2023, 4, 1);
  const StatementCase cases[] = {
      {"day-month-year", Dates("dd/MM/yyyy", '/'), march30, march30, "FE01",
       "select * from contado_quelmo_pref('30/03/2023', '30/03/2023', 'FE01')"},
      {"short years", Dates("d/MM/yy", '/'), EncodeDate(2026, 12, 1), EncodeDate(2026, 12, 11),
       "CAJ1", "select * from contado_quelmo_pref('1/12/26', '11/12/26', 'CAJ1')"},
      {"month first", Dates("M/d/yyyy", '/'), march30, april1, "CAJ1",
       "select * from contado_quelmo_pref('3/30/2023', '4/1/2023', 'CAJ1')"},
      {"dashes", Dates("dd-MM-yyyy", '-'), march30, april1, "DOM",
       "select * from contado_quelmo_pref('30-03-2023', '01-04-2023', 'DOM')"},
      {"quote in the prefix", Dates("dd/MM/yyyy", '/'), march30, march30, "O'B",
       "select * from contado_quelmo_pref('30/03/2023', '30/03/2023', 'O''B')"},
      {"empty prefix", Dates("dd/MM/yyyy", '/'), march30, march30, "",
       "select * from contado_quelmo_pref('30/03/2023', '30/03/2023', '')"},
      {"prefix as typed, blanks kept", Dates("dd/MM/yyyy", '/'), march30, march30, " CAJ1 ",
       "select * from contado_quelmo_pref('30/03/2023', '30/03/2023', ' CAJ1 ')"},
      {"start after end, sent unchanged", Dates("dd/MM/yyyy", '/'), april1, march30, "CAJ1",
       "select * from contado_quelmo_pref('01/04/2023', '30/03/2023', 'CAJ1')"},
      {"ends of the calendar", Dates("dd/MM/yyyy", '/'), EncodeDate(1, 1, 1),
       EncodeDate(9999, 12, 31), "''",
       "select * from contado_quelmo_pref('01/01/0001', '31/12/9999', '''''')"},
  };
  for (const StatementCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PostingStatement(c.start, c.end, c.prefix, c.settings), c.statement);
  }
}

}  // namespace
