// The vocabulary shared by fields, field definitions and parameters: the data types, the kinds of
// field, the provider flags, the dataset states and error actions, and the native byte form in
// which a record holds each type.
#pragma once

#include <cstdint>

enum class TFieldType : std::uint8_t {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftFixedChar,
  ftWideString,
  ftLargeint,
  ftTimeStamp,
  ftFMTBcd,
};

// The type's name as messages show it: "String", "Integer", "Date", "BCD", "FMTBcd", ...
const char* FieldTypeName(TFieldType type);

enum class TFieldKind : std::uint8_t { fkData, fkCalculated, fkLookup, fkInternalCalc };

// Provider flags of a field: a set of bits.
using TProviderFlags = std::uint8_t;
inline constexpr TProviderFlags pfInUpdate = 1;
inline constexpr TProviderFlags pfInWhere = 2;
inline constexpr TProviderFlags pfInKey = 4;
inline constexpr TProviderFlags pfHidden = 8;

enum class TDataSetState : std::uint8_t { dsInactive, dsBrowse, dsEdit, dsInsert };
enum class TDataAction : std::uint8_t { daFail, daAbort, daRetry };

// The native bytes of a value of each type in a record (little-endian, the dataset engine's
// encoding, so records can be handed between the layers without conversion):
//   ftString, ftFixedChar, ftWideString, ftMemo   the characters; a terminating zero, when
//                                                 present, ends them
//   ftSmallint, ftBoolean (0/1)                   int16
//   ftInteger, ftAutoInc                          int32
//   ftWord                                        uint16
//   ftLargeint                                    int64
//   ftFloat, ftCurrency                           double
//   ftBCD, ftFMTBcd                               the 18-byte TBcd
//   ftDate                                        int32 day number, 1 January of year 1 is day 1
//   ftTime                                        int32 milliseconds of the day
//   ftDateTime, ftTimeStamp                       double: day number * 86,400,000 + milliseconds
//   ftBytes, ftVarBytes, ftBlob                   the bytes as they stand
// Byte size of a fixed-size type's native value; 0 for the variable-length ones.
std::uint32_t NativeFixedSize(TFieldType type);
