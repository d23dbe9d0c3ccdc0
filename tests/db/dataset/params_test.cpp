#include "db/dataset/params.h"

#include <gtest/gtest.h>

#include "base/exceptions.h"

namespace {

TEST(ParseSQL, ColonNamesOutsideQuotesBecomeMarkers) {
  struct Case {
    const char* text;
    const char* parsed;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"select * from t where a = :a and b = :B",
       "select * from t where a = ? and b = ?",
       {"a", "B"}},
      {"x=:a", "x=?", {"a"}},
      {"f(:p1,:p_2)", "f(?,?)", {"p1", "p_2"}},
      {"a = :p or b = :p", "a = ? or b = ?", {"p", "p"}},
      {"select ':x' from t where c = :c", "select ':x' from t where c = ?", {"c"}},
      {"select 'it''s :no' from t where d=:d", "select 'it''s :no' from t where d=?", {"d"}},
      {"select \"col:x\" from t", "select \"col:x\" from t", {}},
      {"select \"a\"\"b:c\" from t", "select \"a\"\"b:c\" from t", {}},
      {"where h = '10:30'", "where h = '10:30'", {}},
      {"select a::int from t", "select a::int from t", {}},
      {"a : b", "a : b", {}},
      {"ends with :", "ends with :", {}},
      {"x = :n$", "x = ?$", {"n"}},
      {"'unterminated :x", "'unterminated :x", {}},
      {"", "", {}},
  };
  for (const Case& c : cases) {
    const TParsedSQL parsed = ParseSQL(c.text);
    EXPECT_EQ(parsed.Text, c.parsed) << c.text;
    EXPECT_EQ(parsed.Names, c.names) << c.text;
  }
}

TEST(Params, CreatedOncePerNameIgnoringCase) {
  TParams params;
  params.Add("old");
  const std::string text = params.ParseSQL("a = :Fecha or b = :FECHA or c = :porc", true);
  EXPECT_EQ(text, "a = ? or b = ? or c = ?");
  ASSERT_EQ(params.Count(), 2);
  EXPECT_EQ(params.Items(0).Name(), "Fecha");
  EXPECT_EQ(params.Items(1).Name(), "porc");
  EXPECT_EQ(&params.ParamByName("fecha"), &params.Items(0));
  try {
    params.ParamByName("old");
    ADD_FAILURE();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Parameter 'old' not found");
  }
  EXPECT_THROW(params.Items(2), EListError);
}

TEST(Params, ValuesSetTheirTypeAndConvert) {
  TParam p("x");
  EXPECT_TRUE(p.IsNull());
  EXPECT_EQ(p.AsString(), "");
  p.SetAsCurrency(Currency::FromRaw(8000));
  EXPECT_EQ(p.DataType(), TFieldType::ftCurrency);
  EXPECT_EQ(p.AsString(), "0.8");
  EXPECT_EQ(BcdToStr(p.AsBCD(), '.'), "0.8");
  p.SetAsFMTBCD(StrToBcd("12345678901.2345", '.'));
  EXPECT_EQ(p.DataType(), TFieldType::ftFMTBcd);
  EXPECT_EQ(p.AsCurrency().Raw(), 123456789012345);
  p.SetAsDate(EncodeDate(2023, 3, 30));
  EXPECT_EQ(p.DataType(), TFieldType::ftDate);
  EXPECT_EQ(p.AsString(), "30/03/2023");
  EXPECT_EQ(p.AsDateTime(), EncodeDate(2023, 3, 30));
  p.SetAsInteger(-4);
  EXPECT_EQ(p.AsFloat(), -4.0);
  EXPECT_THROW(p.AsDateTime(), EConvertError);
  p.Clear();
  EXPECT_TRUE(p.IsNull());
  EXPECT_EQ(p.DataType(), TFieldType::ftInteger);
}

}  // namespace
