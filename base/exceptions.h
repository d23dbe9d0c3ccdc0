// Failure classes of the system and the message helpers that build their texts.
//
// Every failure is an exception object carrying a message text, read with Message() (what()
// returns the same text). The database layers raise EDatabaseError and its descendants; a message
// raised on behalf of a named component carries that component's Name, ": ", then the text
// (DatabaseError below). EAbort is the silent abort: handlers that show failures skip it.
//
// Format() fills the "%s"/"%d" message templates of the system. The template is always a constant
// of the program; user text only ever travels as an argument, never as the template.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

class TComponent;

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// The silent abort: ends an operation without any message being shown.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
  explicit EAbort(std::string message) : Exception(std::move(message)) {}
};

// A text or value that cannot be converted (dates, numbers, decimals, format templates).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// An arithmetic result outside the range of its type (fixed-point values, packed decimals).
class EOverflow : public Exception {
 public:
  using Exception::Exception;
};

// An index outside a list ("List index out of bounds (%d)").
class EListError : public Exception {
 public:
  using Exception::Exception;
};

// Failures of the database layers.
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
};

// The dataset engine refused an operation; ErrorCode() is the engine's status code.
class EDBClient : public EDatabaseError {
 public:
  EDBClient(std::string message, int errorCode)
      : EDatabaseError(std::move(message)), error_code_(errorCode) {}
  int ErrorCode() const noexcept { return error_code_; }

 private:
  int error_code_;
};

// A row of a save failed. Its text is the text of the failure it wraps; Original() holds that
// failure (may be empty). Context names what was being done, ErrorCode and PreviousError are the
// engine's codes for this row and the one before.
class EUpdateError : public EDatabaseError {
 public:
  EUpdateError(std::string message, std::string context, int errorCode, int previousError,
               std::exception_ptr original = nullptr)
      : EDatabaseError(std::move(message)),
        context_(std::move(context)),
        error_code_(errorCode),
        previous_error_(previousError),
        original_(std::move(original)) {}
  const std::string& Context() const noexcept { return context_; }
  int ErrorCode() const noexcept { return error_code_; }
  int PreviousError() const noexcept { return previous_error_; }
  const std::exception_ptr& Original() const noexcept { return original_; }

 private:
  std::string context_;
  int error_code_;
  int previous_error_;
  std::exception_ptr original_;
};

// A row failure as the cached dataset reports it while reconciling a save.
class EReconcileError : public EUpdateError {
 public:
  using EUpdateError::EUpdateError;
};

// A failure inside a provider handed back to the cached dataset. Deliberately not an
// EDatabaseError.
class EOleException : public Exception {
 public:
  EOleException(std::string message, int errorCode = 0, std::string source = {})
      : Exception(std::move(message)), error_code_(errorCode), source_(std::move(source)) {}
  int ErrorCode() const noexcept { return error_code_; }
  const std::string& Source() const noexcept { return source_; }

 private:
  int error_code_;
  std::string source_;
};

// The dataset engine failed while writing a packet or delta.
class EDSWriter : public Exception {
 public:
  EDSWriter(std::string message, int errorCode)
      : Exception(std::move(message)), error_code_(errorCode) {}
  int ErrorCode() const noexcept { return error_code_; }

 private:
  int error_code_;
};

// Raises EAbort.
[[noreturn]] void Abort();

// The message a database layer raises on behalf of `component`: Name + ": " + text when the
// component is given and has a non-empty Name, otherwise the text alone.
std::string ComponentMessage(std::string_view text, const TComponent* component);

// Raises EDatabaseError with ComponentMessage(text, component).
[[noreturn]] void DatabaseError(const std::string& text, const TComponent* component = nullptr);

// One argument of Format: an integer, a floating number or a text.
class FormatArg {
 public:
  template <typename T>
  requires std::is_integral_v<T> &&
      (!std::is_same_v<T, bool>)&&(!std::is_same_v<T, char>)FormatArg(T value)
      : value_(static_cast<std::int64_t>(value)) {}
  FormatArg(bool value) : value_(std::int64_t{value ? 1 : 0}) {}
  FormatArg(double value) : value_(value) {}
  FormatArg(char value) : value_(std::string(1, value)) {}
  FormatArg(const char* value) : value_(std::string(value ? value : "")) {}
  FormatArg(std::string_view value) : value_(std::string(value)) {}
  FormatArg(const std::string& value) : value_(value) {}

  const std::variant<std::int64_t, double, std::string>& Value() const { return value_; }

 private:
  std::variant<std::int64_t, double, std::string> value_;
};

// Fills a message template. Directives: "%s" (text; numbers are written in plain decimal),
// "%d" and "%u" (integers), "%x" (integer in hexadecimal), "%f" and "%.Nf" (floating number with
// N decimals, default 2, '.' as separator), "%%" (a percent sign). An optional "-" and a width
// (e.g. "%-10s", "%5d") pad with blanks.
// Throws EConvertError "Format '%s' invalid or incompatible with argument" when the template
// asks for more arguments than given, names an unknown directive or gives "%d" a text.
std::string FormatV(std::string_view fmt, const std::vector<FormatArg>& args);

template <typename... Args>
std::string Format(std::string_view fmt, const Args&... args) {
  return FormatV(fmt, std::vector<FormatArg>{FormatArg(args)...});
}

// Raises EDatabaseError with ComponentMessage(Format(fmt, args...), component).
template <typename... Args>
[[noreturn]] void DatabaseErrorFmt(std::string_view fmt, const TComponent* component,
                                   const Args&... args) {
  DatabaseError(Format(fmt, args...), component);
}
