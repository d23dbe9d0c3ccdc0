// Turning a driver failure into a database error.
//
// A non-zero result code of the driver becomes one message: a description part for the codes the
// layer knows (1 to 100), then the text the failed driver object kept ("SQL Server Error: ..."),
// falling back on the previous message of the same connection or dataset, and at last on a text
// naming the code. The message is remembered as the last one and raised as EDatabaseError without
// a component prefix.
#pragma once

#include <string>
#include <string_view>

#include "db/driver/sql_driver.h"

// The description of `code` (e.g. "[0x0015]: Connection failed"); empty for a code without one,
// which includes every code above 100.
std::string_view DriverCodeDescription(SQLResult code);

// The message for a failure with `code`, where `serverText` is what the failed object reported
// (may be empty) and `previous` the last message of the same connection or dataset (may be empty).
std::string ComposeDriverMessage(SQLResult code, std::string_view serverText,
                                 std::string_view previous);

// The last error message `object` kept: its length first, then the text into a buffer one byte
// longer. Empty when `object` is null, reports none, or cannot answer.
std::string DriverErrorText(ISQLObject* object);

// Where a connection or dataset keeps the last database error message it raised.
struct LastDriverError {
  std::string message;
};

// Raises the composed message for `code` reported by `failed` (null: no server part), after
// remembering it in `last`.
[[noreturn]] void RaiseDriverError(SQLResult code, ISQLObject* failed, LastDriverError& last);

// Does nothing for 0; raises as RaiseDriverError otherwise.
inline void CheckDriver(SQLResult code, ISQLObject* failed, LastDriverError& last) {
  if (code != kSqlSuccess) RaiseDriverError(code, failed, last);
}
