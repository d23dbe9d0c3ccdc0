#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "base/exceptions.h"
#include "db/dataset/fields.h"
#include "tests/db/dataset/memory_dataset.h"

namespace {

TFieldDef Def(const char* name, TFieldType type, int size = 0, int precision = 0) {
  TFieldDef def;
  def.Name = name;
  def.DataType = type;
  def.Size = size;
  def.Precision = precision;
  return def;
}

FormatSettings Settings(char decimalSep, const char* shortDate = "dd/MM/yyyy", char dateSep = '/') {
  FormatSettings fs;
  fs.DecimalSeparator = decimalSep;
  fs.ShortDateFormat = shortDate;
  fs.DateSeparator = dateSep;
  return fs;
}

// A one-field dataset holding one null row, open and editing.
struct OneField {
  explicit OneField(TFieldDef def, FormatSettings fs = FormatSettings::Default()) : data({def}) {
    data.rows.push_back({std::nullopt});
    data.Settings = fs;
    data.Open();
    data.Edit();
  }
  TField& field() { return data.Fields(0); }
  TMemoryDataSet data;
};

TEST(Field, TextWrittenAndShownUnderRegionalSettings) {
  struct Case {
    TFieldDef def;
    FormatSettings fs;
    const char* input;
    const char* shown;
  };
  const FormatSettings dot = Settings('.');
  const FormatSettings comma = Settings(',');
  const Case cases[] = {
      {Def("F", TFieldType::ftFMTBcd, 4, 15), dot, "0.8", "0.8"},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), comma, "0,8", "0,8"},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), dot, "16", "16"},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), dot, "0.8000", "0.8"},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), comma, "19,0000", "19"},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), dot, "-0.05", "-0.05"},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), dot, "0.12345", "0.1235"},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), dot, "99999999999.9999", "99999999999.9999"},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), dot, "", ""},
      {Def("F", TFieldType::ftBCD, 2, 10), comma, " 12,5 ", "12,5"},
      {Def("F", TFieldType::ftInteger), dot, " -7 ", "-7"},
      {Def("F", TFieldType::ftInteger), dot, "2147483647", "2147483647"},
      {Def("F", TFieldType::ftSmallint), dot, "-32768", "-32768"},
      {Def("F", TFieldType::ftWord), dot, "65535", "65535"},
      {Def("F", TFieldType::ftLargeint), dot, "-9223372036854775808", "-9223372036854775808"},
      {Def("F", TFieldType::ftInteger), dot, "", ""},
      {Def("F", TFieldType::ftFloat), dot, "0.8", "0.8"},
      {Def("F", TFieldType::ftFloat), comma, "1,5", "1,5"},
      {Def("F", TFieldType::ftCurrency), comma, "16", "16"},
      {Def("F", TFieldType::ftBoolean), dot, "true", "True"},
      {Def("F", TFieldType::ftBoolean), dot, "FALSE", "False"},
      {Def("F", TFieldType::ftDate), dot, "30/03/2023", "30/03/2023"},
      {Def("F", TFieldType::ftDate), Settings('.', "d/MM/yy"), "5/03/23", "5/03/23"},
      {Def("F", TFieldType::ftDate), Settings('.', "M/d/yyyy"), "3/30/2023", "3/30/2023"},
      {Def("F", TFieldType::ftDate), Settings(',', "yyyy-MM-dd", '-'), "2023-03-30", "2023-03-30"},
      {Def("F", TFieldType::ftDate), Settings(',', "dd.MM.yyyy", '.'), "01.01.0001", "01.01.0001"},
      {Def("F", TFieldType::ftDate), dot, "", ""},
      {Def("F", TFieldType::ftTime), dot, "14:05:09", "14:05:09"},
      {Def("F", TFieldType::ftDateTime), dot, "30/03/2023 14:05:09", "30/03/2023 14:05:09"},
      {Def("F", TFieldType::ftDateTime), dot, "30/03/2023", "30/03/2023"},
      {Def("F", TFieldType::ftString, 5), dot, "abcdefg", "abcde"},
      {Def("F", TFieldType::ftString, 5), dot, "", ""},
      {Def("F", TFieldType::ftMemo), dot, "long text", "long text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(FieldTypeName(c.def.DataType)) + " " + c.input);
    OneField one(c.def, c.fs);
    one.field().SetAsString(c.input);
    EXPECT_EQ(one.field().AsString(), c.shown);
    EXPECT_EQ(one.field().DisplayText(), c.shown);
    one.data.Post();
    EXPECT_EQ(one.field().AsString(), c.shown) << "after post";
  }
}

TEST(Field, EmptyTextIsNullExceptForText) {
  const std::pair<TFieldType, const char*> cases[] = {
      {TFieldType::ftInteger, "1"},       {TFieldType::ftFMTBcd, "1.5"},
      {TFieldType::ftDate, "01/02/2003"}, {TFieldType::ftFloat, "2.5"},
      {TFieldType::ftBoolean, "True"},
  };
  for (const auto& [type, text] : cases) {
    OneField one(Def("F", type, 0, 15));
    one.field().SetAsString(text);
    EXPECT_FALSE(one.field().IsNull()) << FieldTypeName(type);
    one.field().SetAsString("  ");
    EXPECT_TRUE(one.field().IsNull()) << FieldTypeName(type);
  }
  OneField text(Def("F", TFieldType::ftString, 10));
  text.field().SetAsString("");
  EXPECT_FALSE(text.field().IsNull());
}

TEST(Field, InvalidTextFailsWithItsMessage) {
  enum Kind { Convert, Database };
  struct Case {
    TFieldDef def;
    FormatSettings fs;
    const char* input;
    Kind kind;
    const char* message;
  };
  const FormatSettings dot = Settings('.');
  const FormatSettings comma = Settings(',');
  const Case cases[] = {
      {Def("F", TFieldType::ftFMTBcd, 4, 15), dot, "abc", Convert, "abc is not a valid BCD value"},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), comma, "0.8", Convert,
       "0.8 is not a valid BCD value"},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), dot, "1e3", Convert, "1e3 is not a valid BCD value"},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), dot, "123456789012", Database,
       "123456789012 is not a valid value for field 'F'. The allowed range is "
       "-99999999999.9999 to 99999999999.9999"},
      {Def("F", TFieldType::ftDate), dot, "31/02/2023", Convert,
       "'31/02/2023' is not a valid date"},
      {Def("F", TFieldType::ftDate), dot, "hoy", Convert, "'hoy' is not a valid date"},
      {Def("F", TFieldType::ftTime), dot, "25:00", Convert, "'25:00' is not a valid time"},
      {Def("F", TFieldType::ftInteger), dot, "12a", Convert, "'12a' is not a valid integer value"},
      {Def("F", TFieldType::ftInteger), dot, "0.5", Convert, "'0.5' is not a valid integer value"},
      {Def("F", TFieldType::ftInteger), dot, "2147483648", Database,
       "2147483648 is not a valid value for field 'F'. The allowed range is -2147483648 to "
       "2147483647"},
      {Def("F", TFieldType::ftSmallint), dot, "40000", Database,
       "40000 is not a valid value for field 'F'. The allowed range is -32768 to 32767"},
      {Def("F", TFieldType::ftWord), dot, "-1", Database,
       "-1 is not a valid value for field 'F'. The allowed range is 0 to 65535"},
      {Def("F", TFieldType::ftFloat), dot, "1,5", Convert,
       "'1,5' is not a valid floating point value"},
      {Def("F", TFieldType::ftFloat), comma, "1.5", Convert,
       "'1.5' is not a valid floating point value"},
      {Def("F", TFieldType::ftBoolean), dot, "maybe", Convert,
       "'maybe' is not a valid boolean value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    OneField one(c.def, c.fs);
    const std::string before = one.field().AsString();
    try {
      one.field().SetAsString(c.input);
      ADD_FAILURE() << "no failure";
    } catch (const EConvertError& e) {
      EXPECT_EQ(c.kind, Convert);
      EXPECT_EQ(e.Message(), c.message);
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(c.kind, Database);
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(one.field().AsString(), before) << "value kept";
  }
}

TEST(Field, NativeBytesAreTheEngineEncoding) {
  struct Case {
    TFieldDef def;
    const char* input;
    std::vector<std::uint8_t> expected;
  };
  auto bytesOf = [](const auto& value) {
    std::vector<std::uint8_t> out(sizeof(value));
    std::memcpy(out.data(), &value, sizeof(value));
    return out;
  };
  const TBcd factor = NormalizeBcd(StrToBcd("0.8", '.'), 15, 4);
  const Case cases[] = {
      {Def("F", TFieldType::ftString, 10), "abc", {'a', 'b', 'c', 0}},
      {Def("F", TFieldType::ftSmallint), "-2", bytesOf(std::int16_t{-2})},
      {Def("F", TFieldType::ftInteger), "70000", bytesOf(std::int32_t{70000})},
      {Def("F", TFieldType::ftLargeint), "-5", bytesOf(std::int64_t{-5})},
      {Def("F", TFieldType::ftBoolean), "True", bytesOf(std::int16_t{1})},
      {Def("F", TFieldType::ftFloat), "0.5", bytesOf(0.5)},
      {Def("F", TFieldType::ftFMTBcd, 4, 15), "0.8", bytesOf(factor)},
      {Def("F", TFieldType::ftDate), "01/01/0001", bytesOf(std::int32_t{1})},
      {Def("F", TFieldType::ftDate), "30/12/1899", bytesOf(std::int32_t{693594})},
      {Def("F", TFieldType::ftTime), "00:00:02", bytesOf(std::int32_t{2000})},
      {Def("F", TFieldType::ftDateTime), "01/01/0001 00:00:01", bytesOf(86400000.0 + 1000.0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    OneField one(c.def);
    one.field().SetAsString(c.input);
    one.data.Post();
    ASSERT_TRUE(one.data.rows[0][0].has_value());
    EXPECT_EQ(*one.data.rows[0][0], c.expected);
  }
}

TEST(Field, DecimalsKeepEveryDigitThroughFixedPoint) {
  OneField one(Def("F", TFieldType::ftFMTBcd, 4, 15));
  TField& f = one.field();
  f.SetAsCurrency(Currency::FromRaw(8000));
  EXPECT_EQ(f.AsString(), "0.8");
  f.SetAsString("12345678901.2345");
  EXPECT_EQ(f.AsCurrency().Raw(), 123456789012345);
  EXPECT_EQ(f.AsString(), "12345678901.2345");
  f.SetAsCurrency(Currency::FromRaw(-123456789012345));
  EXPECT_EQ(f.AsString(), "-12345678901.2345");
  f.SetAsInteger(16);
  EXPECT_EQ(f.AsString(), "16");
  EXPECT_EQ(BcdScale(f.AsBCD()), 4);
}

TEST(Field, DateFieldDropsTheTimeOfDay) {
  OneField one(Def("F", TFieldType::ftDate));
  one.field().SetAsDateTime(EncodeDate(2023, 3, 30) + EncodeTime(14, 5, 9, 0));
  EXPECT_EQ(one.field().AsDateTime(), EncodeDate(2023, 3, 30));
  EXPECT_THROW(one.field().SetAsDateTime(-700000.0), EConvertError);
}

TEST(Field, DateAndTimeFieldsHoldTheWholeCalendar) {
  struct Case {
    TFieldType type;
    TDateTime value;
  };
  const TDateTime lastDay = EncodeDate(9999, 12, 31);
  const TDateTime lastMoment = EncodeTime(23, 59, 59, 999);
  const Case cases[] = {
      {TFieldType::ftDateTime, EncodeDate(1, 1, 1)},
      {TFieldType::ftDateTime, EncodeDate(1899, 12, 30)},
      {TFieldType::ftDateTime, EncodeDate(2026, 12, 9) + EncodeTime(18, 30, 0, 5)},
      {TFieldType::ftDateTime, EncodeDate(8214, 9, 20) + lastMoment},
      {TFieldType::ftDateTime, EncodeDate(8214, 9, 21)},
      {TFieldType::ftDateTime, lastDay + lastMoment},
      {TFieldType::ftDate, EncodeDate(1, 1, 1)},
      {TFieldType::ftDate, lastDay},
      {TFieldType::ftTime, 0},
      {TFieldType::ftTime, lastMoment},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << FieldTypeName(c.type) << " " << c.value);
    OneField one(Def("F", c.type));
    one.field().SetAsDateTime(c.value);
    one.data.Post();
    EXPECT_EQ(one.field().AsDateTime(), c.value);
  }
}

TEST(Field, ADamagedTimestampFailsInsteadOfShowingAnotherDate) {
  // Day numbers 0 and 3,652,060 lie just outside the calendar.
  for (const double msecs : {0.0, 3652060.0 * 86400000}) {
    SCOPED_TRACE(msecs);
    TMemoryDataSet data({Def("F", TFieldType::ftDateTime)});
    std::vector<std::uint8_t> bytes(sizeof msecs);
    std::memcpy(bytes.data(), &msecs, sizeof msecs);
    data.rows.push_back({bytes});
    data.Open();
    EXPECT_THROW(data.Fields(0).AsDateTime(), EConvertError);
    EXPECT_THROW(data.Fields(0).AsString(), EConvertError);
  }
}

TEST(Field, NullReadsAsZeroAndEmpty) {
  OneField one(Def("F", TFieldType::ftFMTBcd, 4, 15));
  EXPECT_TRUE(one.field().IsNull());
  EXPECT_EQ(one.field().AsString(), "");
  EXPECT_EQ(one.field().AsCurrency().Raw(), 0);
  EXPECT_EQ(one.field().AsInteger(), 0);
}

TEST(Field, ConversionsATypeDoesNotOfferFail) {
  struct Case {
    TFieldType type;
    std::function<void(TField&)> use;
    const char* message;
  };
  const Case cases[] = {
      {TFieldType::ftDate, [](TField& f) { f.AsInteger(); },
       "Cannot access field 'F' as type Integer"},
      {TFieldType::ftString, [](TField& f) { f.AsDateTime(); },
       "Cannot access field 'F' as type DateTime"},
      {TFieldType::ftInteger, [](TField& f) { f.SetAsBoolean(true); },
       "Cannot access field 'F' as type Boolean"},
      {TFieldType::ftBlob, [](TField& f) { f.AsCurrency(); },
       "Cannot access field 'F' as type Currency"},
  };
  for (const Case& c : cases) {
    OneField one(Def("F", c.type, 10));
    try {
      c.use(one.field());
      ADD_FAILURE() << c.message;
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(Field, DisplayLabelFallsBackToFieldName) {
  TIntegerField field;
  field.SetFieldName("AJCI_ID");
  EXPECT_EQ(field.DisplayLabel(), "AJCI_ID");
  field.SetDisplayLabel("Porc");
  EXPECT_EQ(field.DisplayLabel(), "Porc");
  EXPECT_EQ(field.DisplayName(), "Porc");
  field.SetDisplayLabel("");
  EXPECT_EQ(field.DisplayLabel(), "AJCI_ID");
}

TEST(Field, WithoutDatasetIsNullAndRefusesWrites) {
  TFMTBCDField field;
  field.SetFieldName("AJCI_PORC");
  EXPECT_TRUE(field.IsNull());
  EXPECT_EQ(field.AsString(), "");
  try {
    field.SetAsString("1");
    ADD_FAILURE();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'AJCI_PORC' has no dataset");
  }
}

TEST(Field, CreatedFromDefinitionsByType) {
  struct Case {
    TFieldDef def;
    std::function<bool(TField*)> isClass;
  };
  const Case cases[] = {
      {Def("A", TFieldType::ftInteger),
       [](TField* f) { return !!dynamic_cast<TIntegerField*>(f); }},
      {Def("B", TFieldType::ftSmallint),
       [](TField* f) { return !!dynamic_cast<TSmallintField*>(f); }},
      {Def("C", TFieldType::ftDate), [](TField* f) { return !!dynamic_cast<TDateField*>(f); }},
      {Def("D", TFieldType::ftFMTBcd, 8, 32),
       [](TField* f) { return !!dynamic_cast<TFMTBCDField*>(f); }},
      {Def("E", TFieldType::ftString, 30),
       [](TField* f) { return !!dynamic_cast<TStringField*>(f); }},
      {Def("F", TFieldType::ftMemo), [](TField* f) { return !!dynamic_cast<TMemoField*>(f); }},
      {Def("G", TFieldType::ftTimeStamp),
       [](TField* f) { return !!dynamic_cast<TDateTimeField*>(f); }},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TField> field = CreateField(c.def);
    EXPECT_TRUE(c.isClass(field.get())) << c.def.Name;
    EXPECT_EQ(field->DataType(), c.def.DataType);
    EXPECT_EQ(field->FieldName(), c.def.Name);
    EXPECT_EQ(field->Size(), c.def.Size);
  }
  EXPECT_EQ(CreateField(Def("D", TFieldType::ftFMTBcd, 8, 32))->Precision(), 32);
  try {
    CreateField(Def("X", TFieldType::ftUnknown));
    ADD_FAILURE();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'X' is of an unknown type");
  }
}

TEST(Field, TypeNamesOfMessages) {
  EXPECT_STREQ(FieldTypeName(TFieldType::ftString), "String");
  EXPECT_STREQ(FieldTypeName(TFieldType::ftInteger), "Integer");
  EXPECT_STREQ(FieldTypeName(TFieldType::ftDate), "Date");
  EXPECT_STREQ(FieldTypeName(TFieldType::ftFMTBcd), "FMTBcd");
  EXPECT_STREQ(FieldTypeName(TFieldType::ftBCD), "BCD");
  EXPECT_STREQ(FieldTypeName(TFieldType::ftFloat), "Float");
}

}  // namespace
