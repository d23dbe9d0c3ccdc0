// SQLStatement: one statement run through a driver command, and the values bound to it.
//
// Prepares with the rows-at-a-time option, binds parameters, executes and hands out the cursor
// (a select) or the rows affected (any other statement). Every failure is raised as a composed
// database error remembered in the caller's LastDriverError. Owns its command; closes and releases
// it when destroyed (unprepare).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/driver/sql_driver.h"
#include "db/sql/sql_error.h"

// A parameter value as the driver takes it: the native bytes of `type` (see SqlType).
struct SQLParamValue {
  SqlType type = SqlType::Unknown;
  SqlSubType subType = SqlSubType::None;
  std::int32_t precision = 0;
  std::int32_t scale = 0;
  std::vector<std::uint8_t> bytes;  // text: the characters, no terminator
  bool isNull = true;
};

inline constexpr std::int32_t kDefaultRowsetSize = 20;

class SQLStatement {
 public:
  // Takes over `command`. `rowsetSize` is set as command option 0 before preparing.
  SQLStatement(std::unique_ptr<ISQLCommand> command, LastDriverError& last);
  ~SQLStatement();
  SQLStatement(const SQLStatement&) = delete;
  SQLStatement& operator=(const SQLStatement&) = delete;

  // Sets the rows-at-a-time option, then prepares `sql` ("?" for each of `paramCount` values).
  void Prepare(std::string_view sql, std::uint16_t paramCount, std::int32_t rowsetSize);
  // Binds `params` in order (positions from 1, input) and executes. Returns the cursor of a
  // select, or null.
  std::unique_ptr<ISQLCursor> Execute(std::span<const SQLParamValue> params);
  // Rows changed by the last Execute.
  std::uint32_t RowsAffected();

  ISQLCommand& Command() { return *command_; }

 private:
  std::unique_ptr<ISQLCommand> command_;
  LastDriverError& last_;
};
