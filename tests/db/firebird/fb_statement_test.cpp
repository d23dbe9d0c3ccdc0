// Statements through the driver: parameters of every type, column descriptions, fetch codes,
// affected rows and the server's texts for rejected statements.
#include <gtest/gtest.h>

#include <cstring>

#include "db/firebird/fb_values.h"
#include "tests/db/firebird/driver_harness.h"
#include "tests/db/firebird/temp_database.h"
#include "tests/db/firebird/test_schema.h"

namespace {

class FirebirdStatement : public ::testing::Test {
 protected:
  void SetUp() override {
    conn_ = Connect(db_.Path());
    ASSERT_EQ(conn_.result, kSqlSuccess) << ErrorText(*conn_.connection);
  }
  ISQLConnection& Conn() { return *conn_.connection; }

  TempDatabase db_{kTestSchema};
  Connected conn_;
};

template <typename T>
std::vector<char> Bytes(const T& value) {
  std::vector<char> bytes(sizeof value);
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}

std::vector<char> Text(const std::string& s) {
  return {s.begin(), s.end()};
}

// Reads a column with the getter of the type the driver reports, as comparable text.
std::string ReadBack(ISQLCursor& cursor, std::uint16_t column) {
  SqlType type;
  SqlSubType subType;
  EXPECT_EQ(cursor.getColumnType(column, type, subType), kSqlSuccess);
  bool isNull = false;
  std::string out;
  SQLResult r = kSqlSuccess;
  switch (type) {
    case SqlType::Int16: {
      std::int16_t v = 0;
      r = cursor.getShort(column, v, isNull);
      out = std::to_string(v);
      break;
    }
    case SqlType::Int32: {
      std::int32_t v = 0;
      r = cursor.getLong(column, v, isNull);
      out = std::to_string(v);
      break;
    }
    case SqlType::Int64: {
      std::int64_t v = 0;
      r = cursor.getInt64(column, v, isNull);
      out = std::to_string(v);
      break;
    }
    case SqlType::Float: {
      double v = 0;
      r = cursor.getDouble(column, v, isNull);
      out = BcdToStr(DoubleToBcd(v), '.');
      break;
    }
    case SqlType::Bcd:
    case SqlType::FmtBcd: {
      TBcd v;
      r = cursor.getBcd(column, v, isNull);
      out = BcdToStr(v, '.') + "/" + std::to_string(BcdPrecision(v)) + "," +
            std::to_string(BcdScale(v));
      break;
    }
    case SqlType::Date: {
      std::int32_t v = 0;
      r = cursor.getDate(column, v, isNull);
      out = "day " + std::to_string(v);
      break;
    }
    case SqlType::Time: {
      std::int32_t v = 0;
      r = cursor.getTime(column, v, isNull);
      out = "ms " + std::to_string(v);
      break;
    }
    case SqlType::Timestamp: {
      SQLTimeStamp v;
      r = cursor.getTimeStamp(column, v, isNull);
      char buf[64];
      std::snprintf(buf, sizeof buf, "%04d-%02u-%02u %02u:%02u:%02u.%03u", v.Year, v.Month, v.Day,
                    v.Hour, v.Minute, v.Second, v.Fraction);
      out = buf;
      break;
    }
    case SqlType::Blob: {
      std::uint32_t size = 0;
      r = cursor.getBlobSize(column, size, isNull);
      std::vector<std::uint8_t> v;
      if (r == kSqlSuccess && !isNull) r = cursor.getBlob(column, v, isNull);
      out = std::string(v.begin(), v.end());
      EXPECT_EQ(size, v.size());
      break;
    }
    case SqlType::Bytes:
    case SqlType::VarBytes: {
      std::vector<std::uint8_t> v;
      r = cursor.getBytes(column, v, isNull);
      out = std::string(v.begin(), v.end());
      break;
    }
    case SqlType::Boolean: {
      std::int64_t v = 0;
      r = cursor.getInt64(column, v, isNull);
      out = v ? "true" : "false";
      break;
    }
    default:
      r = cursor.getString(column, out, isNull);
      break;
  }
  EXPECT_EQ(r, kSqlSuccess) << ErrorText(cursor);
  return isNull ? "<null>" : out;
}

TEST_F(FirebirdStatement, EveryParameterTypeRoundTrips) {
  const std::int32_t day = DayNumberFromCivil(2023, 3, 30);
  SQLTimeStamp stamp;
  stamp.Year = 2023, stamp.Month = 3, stamp.Day = 30, stamp.Hour = 14, stamp.Minute = 5,
  stamp.Second = 9, stamp.Fraction = 250;
  struct Case {
    const char* column;
    SqlType type;
    std::vector<char> value;
    std::string expected;
    bool null = false;
  };
  const Case cases[] = {
      {"C_SMALL", SqlType::Int16, Bytes<std::int16_t>(-32768), "-32768"},
      {"C_INT", SqlType::Int32, Bytes<std::int32_t>(2147483647), "2147483647"},
      {"C_BIG", SqlType::Int64, Bytes<std::int64_t>(-9223372036854775807LL),
       "-9223372036854775807"},
      {"C_DBL", SqlType::Float, Bytes(0.1), "0.1"},
      {"C_NUM", SqlType::FmtBcd, Bytes(StrToBcd("12345678901.2345", '.')), "12345678901.2345/15,4"},
      {"C_NUM", SqlType::Bcd, Bytes(StrToBcd("0.8", '.')), "0.8/15,4"},
      {"C_NUM", SqlType::Bcd, Bytes(StrToBcd("-0.0001", '.')), "-0.0001/15,4"},
      // Decimals beyond the column's scale are rounded by the server, not truncated through a
      // double.
      {"C_DEC", SqlType::Bcd, Bytes(StrToBcd("1234567.125", '.')), "1234567.13/9,2"},
      {"C_NUM18", SqlType::Bcd, Bytes(StrToBcd("99999999999999.9999", '.')),
       "99999999999999.9999/18,4"},
      {"C_NUM", SqlType::Text, Text("19.5"), "19.5/15,4"},
      {"C_INT", SqlType::Text, Text("42"), "42"},
      {"C_DATE", SqlType::Date, Bytes(day), "day " + std::to_string(day)},
      {"C_DATE", SqlType::Date, Bytes(DayNumberFromCivil(1, 1, 1)), "day 1"},
      {"C_TIME", SqlType::Time, Bytes<std::int32_t>(50'709'250), "ms 50709250"},
      {"C_TS", SqlType::Timestamp, Bytes(stamp), "2023-03-30 14:05:09.250"},
      {"C_CHAR", SqlType::Text, Text("abc"), "abc       "},
      {"C_VAR", SqlType::Text, Text("Año con ñ"), "Año con ñ"},
      {"C_VAR", SqlType::Text, Text(""), ""},
      {"C_OCT", SqlType::VarBytes, Text(std::string("\0\x01\xff", 3)),
       std::string("\0\x01\xff", 3)},
      {"C_MEMO", SqlType::Text, Text(std::string(70000, 'm')), std::string(70000, 'm')},
      {"C_BIN", SqlType::Blob, Text(std::string("\0bin\0", 5)), std::string("\0bin\0", 5)},
      {"C_BOOL", SqlType::Boolean, Bytes<std::int16_t>(1), "true"},
      {"C_INT", SqlType::Int32, {}, "<null>", true},
      {"C_MEMO", SqlType::Blob, {}, "<null>", true},
  };
  std::int32_t id = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.column) + " <- " + c.expected.substr(0, 40));
    ++id;
    std::unique_ptr<ISQLCommand> insert;
    ASSERT_EQ(Conn().getSQLCommand(insert), kSqlSuccess);
    const std::string sql = std::string("insert into TIPOS (ID, ") + c.column + ") values (?, ?)";
    ASSERT_EQ(insert->prepare(sql, 2), kSqlSuccess) << ErrorText(*insert);
    ASSERT_EQ(insert->setParameter(1, ParamDirection::Input, SqlType::Int32, SqlSubType::None, 4, 0,
                                   0, &id, false),
              kSqlSuccess);
    ASSERT_EQ(insert->setParameter(2, ParamDirection::Input, c.type, SqlSubType::None,
                                   static_cast<std::int32_t>(c.value.size()), 0, 0, c.value.data(),
                                   c.null),
              kSqlSuccess);
    std::unique_ptr<ISQLCursor> none;
    ASSERT_EQ(insert->execute(none), kSqlSuccess) << ErrorText(*insert);
    EXPECT_EQ(none, nullptr);

    std::unique_ptr<ISQLCommand> select;
    ASSERT_EQ(Conn().getSQLCommand(select), kSqlSuccess);
    ASSERT_EQ(select->prepare(std::string("select ") + c.column + " from TIPOS where ID = ?", 1),
              kSqlSuccess);
    ASSERT_EQ(select->setParameter(1, ParamDirection::Input, SqlType::Int32, SqlSubType::None, 4, 0,
                                   0, &id, false),
              kSqlSuccess);
    std::unique_ptr<ISQLCursor> cursor;
    ASSERT_EQ(select->execute(cursor), kSqlSuccess) << ErrorText(*select);
    ASSERT_NE(cursor, nullptr);
    ASSERT_EQ(cursor->next(), kSqlSuccess);
    EXPECT_EQ(ReadBack(*cursor, 1), c.expected);
    EXPECT_EQ(cursor->next(), kSqlNoMoreRows);
  }
}

TEST_F(FirebirdStatement, InvalidParameterValuesAreRefusedBeforeTheServerSeesThem) {
  SQLTimeStamp badStamp;
  badStamp.Year = 2023, badStamp.Month = 2, badStamp.Day = 29;
  struct Case {
    const char* column;
    SqlType type;
    std::vector<char> value;
  };
  TBcd badBcd;
  badBcd.Precision = 40;
  const Case cases[] = {
      {"C_TIME", SqlType::Time, Bytes<std::int32_t>(86'400'000)},
      {"C_TIME", SqlType::Time, Bytes<std::int32_t>(-1)},
      {"C_DATE", SqlType::Date, Bytes<std::int32_t>(0)},
      {"C_TS", SqlType::Timestamp, Bytes(badStamp)},
      {"C_NUM", SqlType::Bcd, Bytes(badBcd)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.column);
    std::unique_ptr<ISQLCommand> insert;
    ASSERT_EQ(Conn().getSQLCommand(insert), kSqlSuccess);
    ASSERT_EQ(
        insert->prepare(std::string("insert into TIPOS (ID, ") + c.column + ") values (99, ?)", 1),
        kSqlSuccess);
    ASSERT_EQ(insert->setParameter(1, ParamDirection::Input, c.type, SqlSubType::None,
                                   static_cast<std::int32_t>(c.value.size()), 0, 0, c.value.data(),
                                   false),
              kSqlSuccess);
    std::unique_ptr<ISQLCursor> cursor;
    EXPECT_EQ(insert->execute(cursor), kSqlInvalidParameter);
    EXPECT_FALSE(ErrorText(*insert).empty());
  }
  EXPECT_TRUE(Rows(Conn(), "select ID from TIPOS").empty());
}

TEST_F(FirebirdStatement, ExecutingWithAParameterUnsetIsRefused) {
  std::unique_ptr<ISQLCommand> command;
  ASSERT_EQ(Conn().getSQLCommand(command), kSqlSuccess);
  ASSERT_EQ(command->prepare("insert into TIPOS (ID, C_INT) values (?, ?)", 2), kSqlSuccess);
  const std::int32_t id = 5;
  ASSERT_EQ(command->setParameter(1, ParamDirection::Input, SqlType::Int32, SqlSubType::None, 4, 0,
                                  0, &id, false),
            kSqlSuccess);
  EXPECT_EQ(command->setParameter(3, ParamDirection::Input, SqlType::Int32, SqlSubType::None, 4, 0,
                                  0, &id, false),
            kSqlOutOfRange);
  std::unique_ptr<ISQLCursor> cursor;
  EXPECT_EQ(command->execute(cursor), kSqlParameterNotSet);
}

TEST_F(FirebirdStatement, DescribesTheAdjustmentColumns) {
  std::unique_ptr<ISQLCommand> command;
  ASSERT_EQ(Conn().getSQLCommand(command), kSqlSuccess);
  ASSERT_EQ(command->prepare(" select * from \"AJUSTE_CIERRE\"", 0), kSqlSuccess);
  std::unique_ptr<ISQLCursor> cursor;
  ASSERT_EQ(command->execute(cursor), kSqlSuccess);
  struct Column {
    std::string name;
    SqlType type;
    std::int16_t precision;
    std::int16_t scale;
    bool nullable;
  };
  const Column expected[] = {
      {"AJCI_ID", SqlType::Int32, 10, 0, false},  {"AJCI_FECINI", SqlType::Date, 0, 0, true},
      {"AJCI_FECFIN", SqlType::Date, 0, 0, true}, {"AJCI_PORC", SqlType::Bcd, 15, 4, true},
      {"AJCI_FACTOR", SqlType::Bcd, 15, 4, true},
  };
  std::uint16_t count = 0;
  ASSERT_EQ(cursor->getColumnCount(count), kSqlSuccess);
  ASSERT_EQ(count, std::size(expected));
  for (std::uint16_t i = 1; i <= count; ++i) {
    const Column& e = expected[i - 1];
    SCOPED_TRACE(e.name);
    std::string name;
    SqlType type;
    SqlSubType subType;
    std::int16_t precision = -1, scale = -1;
    bool nullable = !e.nullable, readOnly = true;
    EXPECT_EQ(cursor->getColumnName(i, name), kSqlSuccess);
    EXPECT_EQ(cursor->getColumnType(i, type, subType), kSqlSuccess);
    EXPECT_EQ(cursor->getColumnPrecision(i, precision), kSqlSuccess);
    EXPECT_EQ(cursor->getColumnScale(i, scale), kSqlSuccess);
    EXPECT_EQ(cursor->isNullable(i, nullable), kSqlSuccess);
    EXPECT_EQ(cursor->isReadOnly(i, readOnly), kSqlSuccess);
    EXPECT_EQ(name, e.name);
    EXPECT_EQ(type, e.type);
    EXPECT_EQ(precision, e.precision);
    EXPECT_EQ(scale, e.scale);
    EXPECT_EQ(nullable, e.nullable);
    EXPECT_FALSE(readOnly);
  }
  std::string name;
  EXPECT_EQ(cursor->getColumnName(0, name), kSqlOutOfRange);
  EXPECT_EQ(cursor->getColumnName(6, name), kSqlOutOfRange);
}

TEST_F(FirebirdStatement, ReadsDecimalsExactlyAndRefusesThemAsIntegers) {
  std::unique_ptr<ISQLCommand> command;
  ASSERT_EQ(Conn().getSQLCommand(command), kSqlSuccess);
  ASSERT_EQ(command->prepare("select AJCI_FACTOR, AJCI_ID * 2, AJCI_FECINI from AJUSTE_CIERRE "
                             "order by AJCI_ID",
                             0),
            kSqlSuccess);
  std::unique_ptr<ISQLCursor> cursor;
  ASSERT_EQ(command->execute(cursor), kSqlSuccess);
  ASSERT_EQ(cursor->next(), kSqlSuccess);
  TBcd factor;
  bool isNull = true;
  ASSERT_EQ(cursor->getBcd(1, factor, isNull), kSqlSuccess);
  EXPECT_FALSE(isNull);
  EXPECT_EQ(BcdToStr(factor, '.'), "0.8");
  EXPECT_EQ(BcdPrecision(factor), 15);
  EXPECT_EQ(BcdScale(factor), 4);
  std::int32_t asInteger = 0;
  EXPECT_EQ(cursor->getLong(1, asInteger, isNull), kSqlInvalidFieldType);
  bool readOnly = false;
  EXPECT_EQ(cursor->isReadOnly(2, readOnly), kSqlSuccess);
  EXPECT_TRUE(readOnly);
  std::int32_t day = 0;
  ASSERT_EQ(cursor->getDate(3, day, isNull), kSqlSuccess);
  EXPECT_EQ(day, DayNumberFromCivil(2023, 3, 1));
}

TEST_F(FirebirdStatement, FetchAnswersRowsThenNoMoreRowsAndStaysThere) {
  struct Case {
    const char* sql;
    int rows;
  };
  const Case cases[] = {
      {"select AJCI_ID from AJUSTE_CIERRE", 2},
      {"select AJCI_ID from AJUSTE_CIERRE where AJCI_ID = 1", 1},
      {"select AJCI_ID from AJUSTE_CIERRE where 1 = 0", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    std::unique_ptr<ISQLCommand> command;
    ASSERT_EQ(Conn().getSQLCommand(command), kSqlSuccess);
    ASSERT_EQ(command->prepare(c.sql, 0), kSqlSuccess);
    std::unique_ptr<ISQLCursor> cursor;
    ASSERT_EQ(command->execute(cursor), kSqlSuccess);
    for (int i = 0; i < c.rows; ++i) EXPECT_EQ(cursor->next(), kSqlSuccess);
    EXPECT_EQ(cursor->next(), kSqlNoMoreRows);
    EXPECT_EQ(cursor->next(), kSqlNoMoreRows);
    std::int32_t v = 0;
    bool isNull = false;
    EXPECT_EQ(cursor->getLong(1, v, isNull), kSqlEof);
  }
}

TEST_F(FirebirdStatement, ReportsTheRowsEachStatementAffected) {
  struct Case {
    const char* sql;
    std::uint32_t rows;
  };
  const Case cases[] = {
      {"insert into AJUSTE_CIERRE (AJCI_ID) values (3)", 1},
      {"insert into MARCAS select AJCI_ID from AJUSTE_CIERRE", 3},
      {"update AJUSTE_CIERRE set AJCI_FACTOR = 0.9 where AJCI_ID > 1", 2},
      {"update AJUSTE_CIERRE set AJCI_FACTOR = 0.9 where AJCI_ID = 99", 0},
      {"delete from MARCAS where N < 3", 2},
      {"delete from AJUSTE_CIERRE", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    std::unique_ptr<ISQLCommand> command;
    ASSERT_EQ(Conn().getSQLCommand(command), kSqlSuccess);
    ASSERT_EQ(command->prepare(c.sql, 0), kSqlSuccess) << ErrorText(*command);
    std::unique_ptr<ISQLCursor> cursor;
    ASSERT_EQ(command->execute(cursor), kSqlSuccess) << ErrorText(*command);
    std::uint32_t rows = 99;
    EXPECT_EQ(command->getRowsAffected(rows), kSqlSuccess);
    EXPECT_EQ(rows, c.rows);
  }
}

TEST_F(FirebirdStatement, OneStatementTakesDecimalsOfEveryScaleInTurn) {
  // Each execution binds as its value needs; an earlier one never shapes a later one.
  const char* values[] = {"0.8", "19", "0.8125", "0.12345", "-3.5", "922337203685.4775", "0"};
  std::unique_ptr<ISQLCommand> command;
  ASSERT_EQ(Conn().getSQLCommand(command), kSqlSuccess);
  ASSERT_EQ(command->prepare("insert into AJUSTE_CIERRE (AJCI_ID, AJCI_FACTOR) values (?, ?)", 2),
            kSqlSuccess);
  std::int32_t id = 100;
  for (const char* value : values) {
    SCOPED_TRACE(value);
    const TBcd bcd = StrToBcd(value, '.');
    ++id;
    ASSERT_EQ(command->setParameter(1, ParamDirection::Input, SqlType::Int32, SqlSubType::None, 4,
                                    0, 0, &id, false),
              kSqlSuccess);
    ASSERT_EQ(command->setParameter(2, ParamDirection::Input, SqlType::FmtBcd, SqlSubType::None,
                                    sizeof bcd, BcdPrecision(bcd), BcdScale(bcd), &bcd, false),
              kSqlSuccess);
    std::unique_ptr<ISQLCursor> cursor;
    ASSERT_EQ(command->execute(cursor), kSqlSuccess) << ErrorText(*command);
  }
  const auto rows =
      Rows(Conn(), "select AJCI_FACTOR from AJUSTE_CIERRE where AJCI_ID > 100 order by AJCI_ID");
  std::vector<std::string> stored;
  for (const auto& row : rows) stored.push_back(row[0]);
  // NUMERIC(15,4): the server rounds the value with five decimals.
  EXPECT_EQ(stored, (std::vector<std::string>{"0.8", "19", "0.8125", "0.1235", "-3.5",
                                              "922337203685.4775", "0"}));
}

TEST_F(FirebirdStatement, RejectedStatementsAnswerAServerCodeWithTheServersText) {
  struct Case {
    const char* sql;
    bool failsAtPrepare;
    std::string textStart;
  };
  const Case cases[] = {
      {"insert into AJUSTE_CIERRE (AJCI_ID) values (1)", false,
       "violation of PRIMARY or UNIQUE KEY constraint \""},
      {"insert into AJUSTE_CIERRE (AJCI_FACTOR) values (1)", false,
       "validation error for column \"AJUSTE_CIERRE\".\"AJCI_ID\", value \"*** null ***\""},
      {"select * from NO_SUCH_TABLE", true, "Dynamic SQL Error"},
      {"selec 1", true, "Dynamic SQL Error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    std::unique_ptr<ISQLCommand> command;
    ASSERT_EQ(Conn().getSQLCommand(command), kSqlSuccess);
    SQLResult result = command->prepare(c.sql, 0);
    if (!c.failsAtPrepare) {
      ASSERT_EQ(result, kSqlSuccess) << ErrorText(*command);
      std::unique_ptr<ISQLCursor> cursor;
      result = command->execute(cursor);
    }
    EXPECT_EQ(result, kSqlServerError);
    EXPECT_GT(result, 100);
    const std::string text = ErrorText(*command);
    EXPECT_EQ(text.substr(0, c.textStart.size()), c.textStart) << text;
  }
  const std::string duplicate = [&] {
    std::unique_ptr<ISQLCommand> command;
    Conn().getSQLCommand(command);
    command->prepare("insert into AJUSTE_CIERRE (AJCI_ID) values (2)", 0);
    std::unique_ptr<ISQLCursor> cursor;
    command->execute(cursor);
    return ErrorText(*command);
  }();
  EXPECT_NE(duplicate.find("on table \"AJUSTE_CIERRE\""), std::string::npos) << duplicate;
  // The failed inserts left nothing behind.
  EXPECT_EQ(Rows(Conn(), "select count(*) from AJUSTE_CIERRE"),
            (std::vector<std::vector<std::string>>{{"2"}}));
}

}  // namespace
