#include "db/dataset/date_fields.h"

#include "base/exceptions.h"
#include "db/dataset/field_values.h"

namespace {

// Just before 1 January of year 1 (whose times of day lie below -693593, the fraction counting
// forward from midnight) and the end of 31 December 9999.
constexpr TDateTime kMinDateTime = -693594.0;
constexpr TDateTime kMaxDateTime = 2958466.0;

}  // namespace

TDateTime TDateTimeField::AsDateTime() const {
  switch (DataType()) {
    case TFieldType::ftDate: {
      std::int32_t day = 0;
      return ReadNative(day) ? DayNumberToDate(day) : 0;
    }
    case TFieldType::ftTime: {
      std::int32_t msecs = 0;
      return ReadNative(msecs) ? MSecsToTime(msecs) : 0;
    }
    default: {
      double msecs = 0;
      return ReadNative(msecs) ? MSecsToDateTime(msecs) : 0;
    }
  }
}

void TDateTimeField::SetAsDateTime(TDateTime value) {
  // A day number outside the calendar would be stored and then read back as nonsense.
  if (!(value > kMinDateTime && value < kMaxDateTime)) {
    throw EConvertError("Invalid argument to date encode");
  }
  switch (DataType()) {
    case TFieldType::ftDate:
      WriteNative(DateToDayNumber(value));
      break;
    case TFieldType::ftTime:
      WriteNative(TimeToMSecs(value));
      break;
    default:
      WriteNative(DateTimeToMSecs(value));
      break;
  }
}

std::string TDateTimeField::AsString() const {
  if (IsNull()) return {};
  const TDateTime value = AsDateTime();
  switch (DataType()) {
    case TFieldType::ftDate:
      return DateToStr(value, Settings());
    case TFieldType::ftTime:
      return TimeToStr(value, Settings());
    default:
      return DateTimeToStr(value, Settings());
  }
}

void TDateTimeField::SetAsString(std::string_view text) {
  if (field_values::IsBlankText(text)) return Clear();
  switch (DataType()) {
    case TFieldType::ftDate:
      return SetAsDateTime(StrToDate(text, Settings()));
    case TFieldType::ftTime:
      return SetAsDateTime(StrToTime(text, Settings()));
    default:
      return SetAsDateTime(StrToDateTime(text, Settings()));
  }
}

double TDateTimeField::AsFloat() const {
  return AsDateTime();
}

void TDateTimeField::SetAsFloat(double value) {
  SetAsDateTime(value);
}
