// Decimal, name and text conversions of the Firebird driver on arbitrary input: a decimal that
// fits a scaled integer comes back as the same value rounded to the scale; quoted names stay
// quoted; a fixed-length text value is a start of its buffer; day numbers convert both ways.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "db/firebird/fb_values.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const int scale = data[0] % 19;
  const int dialect = data[0] & 0x80 ? 1 : 3;
  std::int32_t day = 0;
  std::memcpy(&day, data + 1, sizeof day);
  const std::string text(reinterpret_cast<const char*>(data + 5), size - 5);

  TBcd bcd;
  if (TryStrToBcd(text, '.', bcd)) {
    std::int64_t scaled = 0;
    if (BcdToScaled(bcd, scale, scaled)) {
      TBcd rounded;
      if (!TryNormalizeBcd(bcd, rounded, kMaxBcdDigits, scale)) std::abort();
      if (BcdCompare(ScaledToBcd(scaled, scale, kMaxBcdDigits), rounded) != 0) std::abort();
    }
  }

  const std::string quoted = QuoteObjectName(text, dialect);
  if (dialect == 3 && (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')) {
    std::abort();
  }

  const int charset = data[0] % 6;  // NONE, OCTETS, ASCII, UNICODE_FSS, UTF8, SJIS_0208
  const std::string_view value = FixedTextValue(text, charset);
  if (value.data() != text.data() || value.size() > text.size()) std::abort();

  day = 1 + static_cast<std::int32_t>(static_cast<std::uint32_t>(day) % 3'652'059);
  int y = 0, m = 0, d = 0;
  CivilFromDayNumber(day, y, m, d);
  if (DayNumberFromCivil(y, m, d) != day) std::abort();
  if (IscDateToDayNumber(DayNumberToIscDate(day)) != day) std::abort();
  return 0;
}
