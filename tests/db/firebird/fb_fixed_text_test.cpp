// CHAR columns through the driver: single-byte and UTF8 databases read in every connection
// character set, each value its declared characters however many bytes they take.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/db/firebird/driver_harness.h"
#include "tests/support/fixed_text.h"
#include "tests/support/test_database.h"

namespace {

struct Reading {
  const char* connectionCharSet;  // empty: none, the text arrives in the column's own set
  bool latin1;                    // the text arrives in ISO8859_1 rather than in UTF8
};

struct Database {
  const char* charSet;
  std::vector<Reading> readings;
};

class FirebirdFixedText : public testing::TestWithParam<Database> {};

TEST_P(FirebirdFixedText, ReadsTheDeclaredCharacters) {
  const Database& param = GetParam();
  const bool utf8Database = std::string(param.charSet) == "UTF8";
  TestDatabase db(TestDatabase::Contents::kSchema, param.charSet);
  db.Execute(fixed_text::Script(utf8Database));
  for (const Reading& reading : param.readings) {
    SCOPED_TRACE(std::string("read in ") + reading.connectionCharSet);
    for (const bool trimChar : {false, true}) {
      SCOPED_TRACE(trimChar ? "trimmed" : "padded");
      auto c = Connect(db.Path(), "SYSDBA", "masterkey", reading.connectionCharSet);
      ASSERT_EQ(c.result, kSqlSuccess) << ErrorText(*c.connection);
      c.connection->setOption(ConnectionOption::TrimChar, trimChar);
      std::unique_ptr<ISQLCommand> command;
      ASSERT_EQ(c.connection->getSQLCommand(command), kSqlSuccess);
      // Text outside ISO8859_1 cannot be sent in it.
      const std::string filter = reading.latin1 ? " where LATIN1 = 1" : "";
      ASSERT_EQ(command->prepare("select C1, C3, C10 from TEXTOS" + filter + " order by ID", 0),
                kSqlSuccess)
          << ErrorText(*command);
      std::unique_ptr<ISQLCursor> cursor;
      ASSERT_EQ(command->execute(cursor), kSqlSuccess) << ErrorText(*command);

      // Room in bytes for the widest characters of the set the text arrives in.
      const std::uint32_t widest = reading.latin1 ? 1 : 4;
      for (std::uint16_t column = 1; column <= 3; ++column) {
        std::uint32_t length = 0;
        ASSERT_EQ(cursor->getColumnLength(column, length), kSqlSuccess);
        EXPECT_GE(length, widest * fixed_text::kLengths[column - 1]) << "column " << column;
      }
      for (const fixed_text::Row& row : fixed_text::Rows()) {
        if (reading.latin1 && !row.latin1) continue;
        if (!utf8Database && !row.latin1) continue;
        ASSERT_EQ(cursor->next(), kSqlSuccess) << ErrorText(*cursor);
        for (std::uint16_t column = 1; column <= 3; ++column) {
          SCOPED_TRACE(row.values[column - 1]);
          std::string expected = fixed_text::Expected(
              row.values[column - 1], fixed_text::kLengths[column - 1], reading.latin1);
          if (trimChar) expected.erase(expected.find_last_not_of(' ') + 1);
          std::string text;
          bool isNull = true;
          ASSERT_EQ(cursor->getString(column, text, isNull), kSqlSuccess) << ErrorText(*cursor);
          EXPECT_FALSE(isNull);
          EXPECT_EQ(text, expected);
          if (trimChar) continue;
          std::vector<std::uint8_t> bytes;
          ASSERT_EQ(cursor->getBytes(column, bytes, isNull), kSqlSuccess) << ErrorText(*cursor);
          EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
        }
      }
      EXPECT_EQ(cursor->next(), kSqlNoMoreRows);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    CharacterSets, FirebirdFixedText,
    testing::Values(Database{"ISO8859_1", {{"", true}, {"ISO8859_1", true}, {"UTF8", false}}},
                    Database{"UTF8", {{"", false}, {"UTF8", false}, {"ISO8859_1", true}}}),
    [](const testing::TestParamInfo<Database>& info) {
      return std::string(info.param.charSet).substr(0, 3) == "ISO" ? "Iso8859_1Database"
                                                                   : "Utf8Database";
    });

}  // namespace
