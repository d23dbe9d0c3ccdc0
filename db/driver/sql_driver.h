// The driver interface: the boundary between the connection layer and a database driver library.
//
// A driver library exports one C entry point (see SQLDriverEntry) that hands out an ISQLDriver.
// From it come, in a tree, ISQLConnection -> ISQLMetaData / ISQLCommand -> ISQLCursor. Every object
// is owned by whoever asked for it (std::unique_ptr); release children before their parent
// (cursor before command, command and metadata before their connection, connection before the
// driver). The driver library must stay loaded while any of its objects lives.
//
// Every operation returns an SQLResult: 0 on success, another code on failure. After a failure the
// object that failed keeps the message of its last error (getErrorMessageLen/getErrorMessage); a
// failure the server reported keeps the server's text, its lines joined by "\n";
// a failed operation never leaves a partly written output the caller must release.
//
// Objects are not thread-safe; one thread uses one tree at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/bcd.h"

using SQLResult = std::uint16_t;

// Result codes.
inline constexpr SQLResult kSqlSuccess = 0;
inline constexpr SQLResult kSqlWarning = 1;
inline constexpr SQLResult kSqlNoMemory = 2;
inline constexpr SQLResult kSqlInvalidFieldType = 3;
inline constexpr SQLResult kSqlInvalidHandle = 4;
inline constexpr SQLResult kSqlNotSupported = 5;  // begin/commit/rollback: the caller ignores it
inline constexpr SQLResult kSqlInvalidTime = 6;
inline constexpr SQLResult kSqlInvalidTranslation = 7;
inline constexpr SQLResult kSqlOutOfRange = 8;  // parameter or column number out of range
inline constexpr SQLResult kSqlInvalidParameter = 9;
inline constexpr SQLResult kSqlEof = 10;  // next(): no more rows (so is kSqlNoMoreRows)
inline constexpr SQLResult kSqlParameterNotSet = 11;
inline constexpr SQLResult kSqlInvalidUserPassword = 12;
inline constexpr SQLResult kSqlInvalidPrecision = 13;
inline constexpr SQLResult kSqlInvalidLength = 14;
inline constexpr SQLResult kSqlInvalidIsolation = 15;
inline constexpr SQLResult kSqlInvalidTransactionId = 16;
inline constexpr SQLResult kSqlDuplicateTransactionId = 17;
inline constexpr SQLResult kSqlTransactionActive = 19;
inline constexpr SQLResult kSqlMultipleTransactionsNotEnabled = 20;
inline constexpr SQLResult kSqlConnectFailed = 21;  // with the server's text
inline constexpr SQLResult kSqlDriverInitFailed = 22;
inline constexpr SQLResult kSqlNoMoreRows = 100;  // next(): no more rows
// A statement the server rejected (prepare, execute, fetch, transaction calls); the message is the
// server's text. Above 100, so the layer composes no description part for it.
inline constexpr SQLResult kSqlServerError = 0x101;

// Logical types of columns and parameters. The numbers of the scalar types equal the engine's type
// codes, so a value's native bytes need no translation between the two.
enum class SqlType : std::uint16_t {
  Unknown = 0,
  Text = 1,        // chars; as a parameter `length` chars, no terminator needed
  Date = 2,        // int32: day number counted from 1 January of year 1, that day being 1
  Blob = 3,        // bytes; subtype Memo for text blobs
  Boolean = 4,     // int16 0/1
  Int16 = 5,       // int16
  Int32 = 6,       // int32
  Float = 7,       // double
  Bcd = 8,         // TBcd
  Bytes = 9,       // fixed-length bytes
  Time = 10,       // int32: milliseconds of the day
  Timestamp = 11,  // SQLTimeStamp
  UInt16 = 12,     // uint16
  VarBytes = 15,   // variable-length bytes
  Int64 = 18,      // int64
  FmtBcd = 25,     // TBcd, wider than the plain decimal
};

// Subtypes refining a logical type.
enum class SqlSubType : std::uint16_t {
  None = 0,
  Binary = 21,     // Blob: binary contents
  Memo = 22,       // Blob: text contents
  FixedChar = 31,  // Text: fixed length, padded with blanks
};

enum class ParamDirection : std::uint16_t { Input = 1, Output = 2, InputOutput = 3 };

// A date and time of day as the timestamp getter and parameter carry it.
struct SQLTimeStamp {
  std::int16_t Year = 0;
  std::uint16_t Month = 0;     // 1..12
  std::uint16_t Day = 0;       // 1..31
  std::uint16_t Hour = 0;      // 0..23
  std::uint16_t Minute = 0;    // 0..59
  std::uint16_t Second = 0;    // 0..59
  std::uint32_t Fraction = 0;  // milliseconds, 0..999
};

// The transaction descriptor: 16 bytes, four 32-bit fields in this order.
struct TTransactionDesc {
  std::int32_t TransactionID = 1;
  std::int32_t GlobalID = 0;
  std::int32_t IsolationLevel = 0;  // 0 read committed, 1 repeatable read, 2 dirty read
  std::int32_t CustomIsolation = 0;
};
static_assert(sizeof(TTransactionDesc) == 16, "the transaction descriptor is 16 bytes");

// Option numbers. An option value is one number, a truth value (1/0) or a NUL-terminated text; set
// numbers with setOption and texts with setTextOption. Reading an option fills a caller's buffer:
// a number as an int32 (4 bytes), a text NUL-terminated; `length` receives the bytes written
// (without the terminator). Options a driver does not know are accepted and ignored when set, and
// answer kSqlNotSupported when read.
namespace ConnectionOption {
inline constexpr std::int32_t AutoCommit = 0;
inline constexpr std::int32_t BlockingMode = 1;
inline constexpr std::int32_t BlobSize = 2;  // largest blob size in KB; -1 no limit
inline constexpr std::int32_t RoleName = 3;  // text
inline constexpr std::int32_t WaitOnLocks = 4;
inline constexpr std::int32_t CommitRetain = 5;
inline constexpr std::int32_t TransIsolation = 6;  // 0 read committed, 1 repeatable, 2 dirty
inline constexpr std::int32_t HostName = 10;       // text
inline constexpr std::int32_t MaxStatements = 14;  // read: open statements allowed, 0 no limit
inline constexpr std::int32_t ServerCharSet = 15;  // text
inline constexpr std::int32_t SqlDialect = 16;
inline constexpr std::int32_t OSAuthentication = 20;
inline constexpr std::int32_t MultipleTransaction = 22;
inline constexpr std::int32_t ServerPort = 23;        // text
inline constexpr std::int32_t TrimChar = 25;          // 1: fixed-length text read without padding
inline constexpr std::int32_t QualifiedName = 26;     // set: a plain object name (text)
inline constexpr std::int32_t QuotedObjectName = 30;  // read: that name quoted for the dialect
inline constexpr std::int32_t CustomString = 31;      // text
inline constexpr std::int32_t ConnectionTimeout = 32;
}  // namespace ConnectionOption

namespace MetaDataOption {
inline constexpr std::int32_t SchemaName = 1;             // text
inline constexpr std::int32_t SupportsTransaction = 5;    // read: 1/0
inline constexpr std::int32_t ObjectQuoteChar = 11;       // read: text, e.g. "\""
inline constexpr std::int32_t SupportsTransactions = 15;  // read: several at once, 1/0
}  // namespace MetaDataOption

namespace CommandOption {
inline constexpr std::int32_t RowsetSize = 0;  // rows fetched at a time
}  // namespace CommandOption

// What every driver object offers: options and the text of its last error.
class ISQLObject {
 public:
  virtual ~ISQLObject() = default;

  virtual SQLResult setOption(std::int32_t option, std::int32_t value) = 0;
  // REQUIRES: `value` is NUL-terminated; it is copied.
  virtual SQLResult setTextOption(std::int32_t option, const char* value) = 0;
  // Fills `buffer` (of `bufferSize` bytes) with the option's value and `length` with the bytes
  // written. A text longer than the buffer answers kSqlInvalidLength and writes nothing.
  virtual SQLResult getOption(std::int32_t option, void* buffer, std::int32_t bufferSize,
                              std::int32_t& length) = 0;

  // Length of the last error message, without terminator; 0 when there is none.
  virtual SQLResult getErrorMessageLen(std::int32_t& length) = 0;
  // Copies the last error message and a terminator, at most `bufferSize` bytes in all.
  virtual SQLResult getErrorMessage(char* buffer, std::int32_t bufferSize) = 0;
};

class ISQLCursor;
class ISQLCommand;
class ISQLMetaData;
class ISQLConnection;

// The rows of an executed select. Columns count from 1. Column descriptions are readable at once;
// values after next() answered 0. Each getter sets `isNull` and leaves the value untouched for a
// null; asking a column for a type it cannot convert to answers kSqlInvalidFieldType.
class ISQLCursor : public ISQLObject {
 public:
  virtual SQLResult getColumnCount(std::uint16_t& count) = 0;
  virtual SQLResult getColumnName(std::uint16_t column, std::string& name) = 0;
  virtual SQLResult getColumnType(std::uint16_t column, SqlType& type, SqlSubType& subType) = 0;
  // Text: the longest value in bytes; Bytes: the size; numbers: the size of the native value.
  virtual SQLResult getColumnLength(std::uint16_t column, std::uint32_t& length) = 0;
  // Decimal: digits and decimals (NUMERIC(15,4) gives 15 and 4); text: the length.
  virtual SQLResult getColumnPrecision(std::uint16_t column, std::int16_t& precision) = 0;
  virtual SQLResult getColumnScale(std::uint16_t column, std::int16_t& scale) = 0;
  virtual SQLResult isNullable(std::uint16_t column, bool& nullable) = 0;
  virtual SQLResult isReadOnly(std::uint16_t column, bool& readOnly) = 0;

  // 0: a row is ready; kSqlNoMoreRows (100): no more rows; anything else: a failure.
  virtual SQLResult next() = 0;

  // Fixed-length text comes with its trailing blanks (without them under the TrimChar option).
  virtual SQLResult getString(std::uint16_t column, std::string& value, bool& isNull) = 0;
  virtual SQLResult getShort(std::uint16_t column, std::int16_t& value, bool& isNull) = 0;
  virtual SQLResult getLong(std::uint16_t column, std::int32_t& value, bool& isNull) = 0;
  virtual SQLResult getInt64(std::uint16_t column, std::int64_t& value, bool& isNull) = 0;
  virtual SQLResult getDouble(std::uint16_t column, double& value, bool& isNull) = 0;
  // Exact: precision and scale of the column.
  virtual SQLResult getBcd(std::uint16_t column, TBcd& value, bool& isNull) = 0;
  // Day number counted from 1 January of year 1, that day being 1.
  virtual SQLResult getDate(std::uint16_t column, std::int32_t& value, bool& isNull) = 0;
  // Milliseconds of the day.
  virtual SQLResult getTime(std::uint16_t column, std::int32_t& value, bool& isNull) = 0;
  virtual SQLResult getTimeStamp(std::uint16_t column, SQLTimeStamp& value, bool& isNull) = 0;
  virtual SQLResult getBytes(std::uint16_t column, std::vector<std::uint8_t>& value,
                             bool& isNull) = 0;
  virtual SQLResult getBlobSize(std::uint16_t column, std::uint32_t& size, bool& isNull) = 0;
  virtual SQLResult getBlob(std::uint16_t column, std::vector<std::uint8_t>& value,
                            bool& isNull) = 0;
};

// One statement: prepare once, bind, execute (again and again).
class ISQLCommand : public ISQLObject {
 public:
  // Parameters stand in `sql` as "?"; `paramCount` of them are bound before execute.
  virtual SQLResult prepare(std::string_view sql, std::uint16_t paramCount) = 0;
  // `position` counts from 1. `value` points at the native bytes of `type` (see SqlType), `length`
  // bytes for text and bytes; ignored when `isNull`. The value is copied.
  virtual SQLResult setParameter(std::uint16_t position, ParamDirection direction, SqlType type,
                                 SqlSubType subType, std::int32_t length, std::int32_t precision,
                                 std::int32_t scale, const void* value, bool isNull) = 0;
  // A select sets `cursor` to its rows; any other statement leaves it empty. Outside an explicit
  // transaction the statement runs in its own, committed when it completes (a select: when the
  // cursor reaches the end or is released).
  virtual SQLResult execute(std::unique_ptr<ISQLCursor>& cursor) = 0;
  // Rows inserted, updated or deleted by the last execute.
  virtual SQLResult getRowsAffected(std::uint32_t& rows) = 0;
  // Frees the statement; the command may be prepared again.
  virtual SQLResult close() = 0;
};

class ISQLMetaData : public ISQLObject {};

class ISQLConnection : public ISQLObject {
 public:
  // `location`: a file path (opened in-process) or "host:path" / "host/port:path" (a server).
  virtual SQLResult connect(std::string_view location, std::string_view user,
                            std::string_view password) = 0;
  virtual SQLResult disconnect() = 0;
  virtual SQLResult getSQLCommand(std::unique_ptr<ISQLCommand>& command) = 0;
  virtual SQLResult getSQLMetaData(std::unique_ptr<ISQLMetaData>& metaData) = 0;
  virtual SQLResult beginTransaction(const TTransactionDesc& desc) = 0;
  virtual SQLResult commit(const TTransactionDesc& desc) = 0;
  virtual SQLResult rollback(const TTransactionDesc& desc) = 0;
};

class ISQLDriver : public ISQLObject {
 public:
  virtual SQLResult getSQLConnection(std::unique_ptr<ISQLConnection>& connection) = 0;
};

// The entry point a driver library exports under a C name (for the Firebird driver
// "getSQLDriverINTERBASE"). `vendorLib` names the client library the driver loads itself;
// `resourceFile` may be empty. On success `*driver` receives a new object the caller owns (wrap it
// in a std::unique_ptr<ISQLDriver> at once); on failure it is left null.
using SQLDriverEntry = SQLResult (*)(const char* vendorLib, const char* resourceFile,
                                     ISQLDriver** driver);

// Marks what a driver library exports (its entry point): the library's other symbols stay its own.
#if defined(_WIN32)
#define SQL_DRIVER_EXPORT __declspec(dllexport)
#else
#define SQL_DRIVER_EXPORT __attribute__((visibility("default")))
#endif
