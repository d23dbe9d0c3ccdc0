#include "tests/db/firebird/driver_harness.h"

#include <cstdint>

SQLDriverEntry DriverEntry() {
  static const auto library = DynamicLibrary::Load(kDriverLibraryAlias);
  EXPECT_NE(library, nullptr);
  return library ? reinterpret_cast<SQLDriverEntry>(library->Symbol("getSQLDriverINTERBASE"))
                 : nullptr;
}

ISQLDriver& Driver() {
  static const auto driver = [] {
    const SQLDriverEntry entry = DriverEntry();
    EXPECT_NE(entry, nullptr);
    ISQLDriver* raw = nullptr;
    EXPECT_EQ(entry(std::string(kClientLibraryAlias).c_str(), "", &raw), kSqlSuccess);
    return std::unique_ptr<ISQLDriver>(raw);
  }();
  return *driver;
}

std::string ErrorText(ISQLObject& object) {
  std::int32_t length = 0;
  object.getErrorMessageLen(length);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  object.getErrorMessage(text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

Connected Connect(const std::string& location, const std::string& user, const std::string& password,
                  const std::string& charSet) {
  Connected c;
  EXPECT_EQ(Driver().getSQLConnection(c.connection), kSqlSuccess);
  c.connection->setOption(ConnectionOption::SqlDialect, 3);
  if (!charSet.empty())
    c.connection->setTextOption(ConnectionOption::ServerCharSet, charSet.c_str());
  c.result = c.connection->connect(location, user, password);
  return c;
}

void Exec(ISQLConnection& connection, const std::string& sql) {
  std::unique_ptr<ISQLCommand> command;
  ASSERT_EQ(connection.getSQLCommand(command), kSqlSuccess);
  ASSERT_EQ(command->prepare(sql, 0), kSqlSuccess) << ErrorText(*command);
  std::unique_ptr<ISQLCursor> cursor;
  ASSERT_EQ(command->execute(cursor), kSqlSuccess) << ErrorText(*command);
}

std::vector<std::vector<std::string>> Rows(ISQLConnection& connection, const std::string& sql) {
  std::vector<std::vector<std::string>> rows;
  std::unique_ptr<ISQLCommand> command;
  EXPECT_EQ(connection.getSQLCommand(command), kSqlSuccess);
  if (!command) return rows;
  EXPECT_EQ(command->prepare(sql, 0), kSqlSuccess) << ErrorText(*command);
  std::unique_ptr<ISQLCursor> cursor;
  EXPECT_EQ(command->execute(cursor), kSqlSuccess) << ErrorText(*command);
  if (!cursor) return rows;
  std::uint16_t columns = 0;
  cursor->getColumnCount(columns);
  SQLResult fetched;
  while ((fetched = cursor->next()) == kSqlSuccess) {
    auto& row = rows.emplace_back();
    for (std::uint16_t c = 1; c <= columns; ++c) {
      SqlType type;
      SqlSubType subType;
      cursor->getColumnType(c, type, subType);
      bool isNull = false;
      std::string text;
      SQLResult r = kSqlSuccess;
      if (type == SqlType::Bcd || type == SqlType::FmtBcd) {
        TBcd bcd;
        r = cursor->getBcd(c, bcd, isNull);
        text = BcdToStr(bcd, '.');
      } else if (type == SqlType::Int16 || type == SqlType::Int32 || type == SqlType::Int64) {
        std::int64_t v = 0;
        r = cursor->getInt64(c, v, isNull);
        text = std::to_string(v);
      } else if (type == SqlType::Date) {
        std::int32_t day = 0;
        r = cursor->getDate(c, day, isNull);
        text = "day " + std::to_string(day);
      } else {
        r = cursor->getString(c, text, isNull);
      }
      EXPECT_EQ(r, kSqlSuccess) << ErrorText(*cursor);
      row.push_back(isNull ? "<null>" : text);
    }
  }
  EXPECT_EQ(fetched, kSqlNoMoreRows) << ErrorText(*cursor);
  return rows;
}
