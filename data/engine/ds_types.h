// Vocabulary of the dataset engine: status codes, engine type codes, row attribute bits, blank
// indicators, column descriptions and named attributes. Plain values, no behaviour beyond texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace engine {

// Every engine operation answers a 16-bit status; 0 is success.
using DSStatus = std::uint16_t;

inline constexpr DSStatus kDSOk = 0;
inline constexpr DSStatus kDSBof = 0x2201;             // moved before the first row
inline constexpr DSStatus kDSEof = 0x2202;             // moved past the last row
inline constexpr DSStatus kDSNotFound = 0x2203;        // find: no row satisfies the expression
inline constexpr DSStatus kDSNoCurrentRow = 0x2204;    // cursor is at Bof/Eof or its row is gone
inline constexpr DSStatus kDSBadPacket = 0x2210;       // damaged, hostile or foreign packet
inline constexpr DSStatus kDSLayoutMismatch = 0x2211;  // appended packet has other columns
inline constexpr DSStatus kDSBadFieldNo = 0x2212;      // field number outside 1..column count
inline constexpr DSStatus kDSBadValue = 0x2213;        // value size or content unfit for the column
inline constexpr DSStatus kDSBadBookmark = 0x2214;  // bookmark or row number names no visible row
inline constexpr DSStatus kDSNotVisible = 0x2215;   // row hidden by a filter or deleted
inline constexpr DSStatus kDSBadColumns = 0x2216;   // column descriptions unusable
inline constexpr DSStatus kDSWriterState = 0x2217;  // writer calls out of order
inline constexpr DSStatus kDSBadResults = 0x2218;   // results packet does not fit the change log
inline constexpr DSStatus kDSBadAction = 0x2219;    // reconcile action outside 1..6
inline constexpr DSStatus kDSBadFilter = 0x221A;    // unknown filter handle or unusable filter
inline constexpr DSStatus kDSTooLarge = 0x221B;     // packet would exceed the format's limits

// Fixed engine text of a status; never null.
const char* DSStatusText(DSStatus status);

// Engine type codes. The native bytes of a value (little-endian):
//   kText      the characters and a terminating zero (column size = maximum characters)
//   kDate      int32 day number, 1 January of year 1 being day 1
//   kLogical   int16 0 or 1
//   kSmallInt  int16;  kInteger int32;  kWord uint16;  kLargeInt int64
//   kFloat     double (floating and money)
//   kBcd       18-byte packed decimal (see RowLayout for how a row keeps it)
//   kTime      int32 milliseconds of the day
//   kDateTime  double: day number as for kDate times 86,400,000 plus milliseconds of the day
//   kBytes     fixed-size binary, column size bytes
//   kBlob, kMemo  variable-length binary / text, any length (column size 0)
enum class DSType : std::uint8_t {
  kText = 1,
  kDate = 2,
  kLogical = 4,
  kSmallInt = 5,
  kInteger = 6,
  kFloat = 7,
  kBcd = 8,
  kTime = 10,
  kDateTime = 11,
  kWord = 12,
  kLargeInt = 18,
  kBytes = 20,
  kBlob = 21,
  kMemo = 22,
};

// True for the codes above.
bool IsKnownType(std::uint8_t code);
// Byte size of a fixed-size type's native value; 0 for kText, kBytes, kBlob, kMemo.
std::uint32_t FixedTypeSize(DSType type);

// Row attribute bits; none set = unchanged row.
inline constexpr std::uint8_t kRowUnchanged = 0;
inline constexpr std::uint8_t kRowDeleted = 2;
inline constexpr std::uint8_t kRowInserted = 4;
inline constexpr std::uint8_t kRowModified = 8;

// Blank indicator of a field value.
enum class DSBlank : std::uint8_t {
  kValue = 0,
  kNull = 1,
  kUnchanged = 2,  // only in the modified row of a delta: the field kept its original value
};

// Column attribute bits.
inline constexpr std::uint8_t kColReadOnly = 1;
inline constexpr std::uint8_t kColRequired = 2;
inline constexpr std::uint8_t kColHidden = 4;  // hidden columns are read-only as well

// A named item of a column ("PROVFLAGS", "ORIGIN", "SERVER_CALC", "WIDTH", "DECIMALS", "SUBTYPE")
// or of a dataset ("LCID", "READONLY", "DISABLE_EDITS", "DISABLE_INSERTS", "DISABLE_DELETES",
// "NO_RESET_CALL"). Names compare without regard to letter case.
struct DSAttr {
  using Value = std::variant<bool, std::int64_t, std::string>;
  std::string name;
  Value value;

  bool operator==(const DSAttr&) const = default;
};

// Finds an attribute by name (ignoring case); null when absent.
const DSAttr* FindAttr(const std::vector<DSAttr>& attrs, std::string_view name);

// One column of a packet or dataset.
struct DSColumn {
  std::string name;
  DSType type = DSType::kInteger;
  std::uint32_t size = 0;  // kText: maximum characters; kBytes: bytes; fixed types: native size
  std::uint8_t attrs = 0;  // kColReadOnly | kColRequired | kColHidden
  std::vector<DSAttr> items;

  bool operator==(const DSColumn&) const = default;
};

// A field value as read from a row. `data` points into engine memory and stays valid until the
// dataset is next changed (edit, append, merge, reconcile) or destroyed; a decimal kept shorter
// in its row is widened into the view itself, so then `data` lives as long as the view (copies
// point into their own bytes).
struct DSValueView {
  DSBlank blank = DSBlank::kNull;
  DSType type = DSType::kInteger;
  const std::uint8_t* data = nullptr;  // null unless blank == kValue
  std::uint32_t size = 0;              // kText: characters plus the terminating zero
  std::uint8_t own[18] = {};           // a widened decimal

  DSValueView() = default;
  DSValueView(const DSValueView& other) { *this = other; }
  DSValueView& operator=(const DSValueView& other);

  bool IsNull() const { return blank == DSBlank::kNull; }
  std::string_view AsText() const;  // kText/kMemo without the terminating zero; else raw bytes
};

// Row ids are stable for the life of the dataset; a bookmark is a row id.
using DSBookmark = std::uint32_t;

}  // namespace engine
