#include "db/sql/sql_error.h"

#include <array>
#include <vector>

#include "base/exceptions.h"

namespace {

// Index = code; code 18 has no text of its own.
constexpr std::array<std::string_view, 26> kDescriptions = {
    "",
    "[0x0001]: Warning",
    "[0x0002]: Insufficient Memory for Operation",
    "[0x0003]: Invalid Field Type",
    "[0x0004]: Invalid Handle",
    "[0x0005]: Operation Not Supported",
    "[0x0006]: Invalid Time",
    "[0x0007]: Invalid Data Translation",
    "[0x0008]: Parameter/Column out of Range",
    "[0x0009]: Invalid Parameter",
    "[0x000A]: Result set at EOF",
    "dbExpress Error [0x000B]: Parameter Not Set",
    "[0x000C] Invalid Username/Password",
    "[0x000D]: Invalid Precision",
    "[0x000E]: Invalid Length",
    "[0x000F]: Invalid Transaction Isolation Level",
    "[0x0010]: Invalid Transaction ID",
    "[0x0011]: Duplicate Transaction ID",
    "",
    "[0x0013]: Local Transaction already active",
    "[0x0014]: Multiple Transactions not Enabled",
    "[0x0015]: Connection failed",
    "[0x0016]: Driver initialization failed",
    "[0x0017]: Optimistic Locking failed",
    "[0x0018]: Invalid REF",
    "[0x0019]: No table found",
};

}  // namespace

std::string_view DriverCodeDescription(SQLResult code) {
  if (code < kDescriptions.size()) return kDescriptions[code];
  // Decimal 64 and 65, whatever their hexadecimal look suggests.
  if (code == 64) return "[0x0064]: No more data";
  if (code == 65) return "[0x0065]: SQL Error";
  return {};
}

std::string ComposeDriverMessage(SQLResult code, std::string_view serverText,
                                 std::string_view previous) {
  std::string message;
  if (code >= 1 && code <= 100) {
    std::string_view description = DriverCodeDescription(code);
    if (!description.empty()) message = "dbExpress Error: " + std::string(description);
  }
  if (!serverText.empty()) {
    if (!message.empty()) message += "\r\n";
    message += "SQL Server Error: ";
    message += serverText;
  }
  if (message.empty()) message = previous;
  if (message.empty()) message = Format("dbExpress Error: Unknown Error Code '%s'", int{code});
  return message;
}

std::string DriverErrorText(ISQLObject* object) {
  if (object == nullptr) return {};
  std::int32_t length = 0;
  if (object->getErrorMessageLen(length) != kSqlSuccess || length <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  if (object->getErrorMessage(buffer.data(), length + 1) != kSqlSuccess) return {};
  buffer.back() = '\0';
  return std::string(buffer.data());
}

void RaiseDriverError(SQLResult code, ISQLObject* failed, LastDriverError& last) {
  last.message = ComposeDriverMessage(code, DriverErrorText(failed), last.message);
  throw EDatabaseError(last.message);
}
