// Feeds arbitrary text to the readers of dates, times, numbers, fixed-point values and packed
// decimals. Whatever is accepted must write back to a text that reads as the same value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/bcd.h"
#include "base/currency.h"
#include "base/exceptions.h"
#include "base/format_settings.h"
#include "base/text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

FormatSettings SettingsFor(std::uint8_t selector) {
  static const char* const kDateFormats[] = {"dd/MM/yyyy", "d/MM/yy", "M/d/yyyy", "yyyy-MM-dd"};
  FormatSettings fs;
  fs.ShortDateFormat = kDateFormats[selector % 4];
  fs.DateSeparator = (selector & 4) ? '-' : '/';
  fs.DecimalSeparator = (selector & 8) ? ',' : '.';
  fs.LongTimeFormat = (selector & 16) ? "h:mm:ss tt" : "HH:mm:ss";
  return fs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const FormatSettings fs = SettingsFor(data[0]);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  TDateTime date = 0;
  if (TryStrToDate(text, date, fs, 2026)) {
    // A two-digit year only identifies a date within the century window.
    int year = 0, month = 0, day = 0;
    DecodeDate(date, year, month, day);
    const bool writes_century = fs.ShortDateFormat.find("yyyy") != std::string::npos;
    TDateTime back = 0;
    if (writes_century || (year >= 1976 && year <= 2075))
      Check(TryStrToDate(DateToStr(date, fs), back, fs, 2026) && back == date);
  }
  TDateTime time = 0;
  if (TryStrToTime(text, time, fs)) {
    TDateTime back = 0;
    Check(TryStrToTime(TimeToStr(time, fs), back, fs));
    Check(TimeToMSecs(back) / 1000 == TimeToMSecs(time) / 1000);
  }
  TDateTime stamp = 0;
  (void)TryStrToDateTime(text, stamp, fs);

  Currency c;
  if (Currency::TryParse(text, fs.DecimalSeparator, c)) {
    Currency back;
    Check(Currency::TryParse(c.ToString(fs.DecimalSeparator), fs.DecimalSeparator, back) &&
          back == c);
  }
  TBcd bcd;
  if (TryStrToBcd(text, fs.DecimalSeparator, bcd)) {
    Check(IsValidBcd(bcd));
    TBcd back;
    Check(TryStrToBcd(BcdToStr(bcd, fs.DecimalSeparator), fs.DecimalSeparator, back));
    Check(BcdCompare(back, bcd) == 0);
    TBcd normal;
    if (TryNormalizeBcd(bcd, normal, 15, 4)) Check(IsValidBcd(normal));
  }
  double d = 0;
  if (TryStrToFloat(text, d, fs)) {
    double back = 0;
    Check(TryStrToFloat(FloatToStr(d, fs), back, fs));
  }
  std::int64_t i = 0;
  if (TryStrToInt64(text, i)) Check(StrToInt64(IntToStr(i)) == i);
  try {
    (void)Format(text, text, 1);
  } catch (const EConvertError&) {
  }
  return 0;
}
