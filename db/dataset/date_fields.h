// The date and time fields.
//
// TDateField keeps the calendar date only (a time of day written to it is dropped), TTimeField
// the time of day only, TDateTimeField (and timestamps) both. Text uses the dataset's short date
// format and long time format; reading fails with "'%s' is not a valid date", "'%s' is not a
// valid time" or "'%s' is not a valid date and time".
#pragma once

#include "db/dataset/field.h"

class TDateTimeField : public TField {
 public:
  explicit TDateTimeField(TComponent* owner = nullptr)
      : TDateTimeField(owner, TFieldType::ftDateTime) {}

  std::string AsString() const override;
  void SetAsString(std::string_view text) override;
  TDateTime AsDateTime() const override;
  void SetAsDateTime(TDateTime value) override;
  double AsFloat() const override;
  void SetAsFloat(double value) override;

 public:
  // REQUIRES: `type` is ftDate, ftTime, ftDateTime or ftTimeStamp.
  TDateTimeField(TComponent* owner, TFieldType type) : TField(owner, type) {}
};

class TDateField : public TDateTimeField {
 public:
  explicit TDateField(TComponent* owner = nullptr) : TDateTimeField(owner, TFieldType::ftDate) {}
};

class TTimeField : public TDateTimeField {
 public:
  explicit TTimeField(TComponent* owner = nullptr) : TDateTimeField(owner, TFieldType::ftTime) {}
};
