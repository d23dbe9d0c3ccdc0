#include "data/expr/expr_parser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/bcd.h"
#include "base/exceptions.h"
#include "data/expr/expr_record.h"
#include "tests/data/expr/expr_test_util.h"

namespace {

using exprtest::AdjustmentFields;
using exprtest::Bytes;
using exprtest::NodeView;
using exprtest::ReadNode;

FormatSettings DayMonthYear(char decimalSeparator = '.') {
  FormatSettings fs;
  fs.ShortDateFormat = "dd/MM/yyyy";
  fs.DateSeparator = '/';
  fs.DecimalSeparator = decimalSeparator;
  return fs;
}

std::vector<std::uint8_t> Compile(const std::string& text, TFilterOptions options = 0,
                                  bool extended = false, char decimalSeparator = '.') {
  return TExprParser(AdjustmentFields(), text, options, extended, DayMonthYear(decimalSeparator))
      .FilterData();
}

TEST(ExprParserTest, DateFilterGivesTheSixtyFourByteRecord) {
  const std::vector<std::uint8_t> expected = Bytes()
                                                 .u16(2)
                                                 .u16(64)
                                                 .u16(65535)
                                                 .u16(10)
                                                 .u16(48)
                                                 .u32(2)
                                                 .u32(3)
                                                 .u16(12)
                                                 .u16(24)  // comparison "="
                                                 .u32(4)
                                                 .u32(13)
                                                 .u16(2)
                                                 .u16(0)  // field 2, name at 0
                                                 .u32(5)
                                                 .u32(14)
                                                 .u16(2)
                                                 .u16(4)
                                                 .u16(12)  // date constant, 4 bytes at 12
                                                 .text("AJCI_FECINI")
                                                 .i32(738609)  // 30 March 2023, counted from 1/1/1
                                                 .data();
  const auto record = Compile("AJCI_FECINI = '30/03/2023'", 0, true);
  EXPECT_EQ(record, expected);
  TExprParser parser(AdjustmentFields(), "AJCI_FECINI = '30/03/2023'", 0, true, DayMonthYear());
  EXPECT_EQ(parser.DataSize(), 64u);
}

TEST(ExprParserTest, LocateTextsCompileToDecimalConstants) {
  struct Case {
    const char* text;
    char separator;
    const char* value;  // the decimal the constant must hold
  };
  const std::vector<Case> cases = {
      {"[AJCI_PORC]=0,8", ',', "0.8"}, {"[AJCI_PORC]=16", ',', "16"},
      {"[AJCI_PORC]=16", '.', "16"},   {"[AJCI_PORC]=-2.25", '.', "-2.25"},
      {"[AJCI_BCD]=19", '.', "19"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto r = Compile(c.text, 0, false, c.separator);
    const std::string name(reinterpret_cast<const char*>(exprtest::Literal(r, 0)));
    const auto valueAt = static_cast<std::uint16_t>(name.size() + 1);
    ASSERT_EQ(r.size(), 10u + 38 + valueAt + 18);
    EXPECT_EQ(ReadNode(r, 0, 2), (NodeView{2, 3, {12, 24}}));
    EXPECT_EQ(ReadNode(r, 24, 3), (NodeView{5, 14, {8, 18, valueAt}}));
    TBcd constant;
    std::memcpy(&constant, exprtest::Literal(r, valueAt), sizeof constant);
    EXPECT_EQ(BcdToStr(constant, '.'), c.value);
  }
}

TEST(ExprParserTest, NullTestsBecomeUnaryNodes) {
  struct Case {
    const char* text;
    std::uint32_t op;
  };
  const std::vector<Case> cases = {
      {"[AJCI_PORC] IS NULL", exprrec::kIsNull},
      {"[AJCI_PORC] is not null", exprrec::kIsNotNull},
      {"[AJCI_PORC] = NULL", exprrec::kIsNull},
      {"NULL = [AJCI_PORC]", exprrec::kIsNull},
      {"[AJCI_PORC] <> NULL", exprrec::kIsNotNull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto r = Compile(c.text);
    const std::vector<std::uint8_t> expected = Bytes()
                                                   .u16(2)
                                                   .u16(42)
                                                   .u16(65535)
                                                   .u16(10)
                                                   .u16(32)
                                                   .u32(1)
                                                   .u32(c.op)
                                                   .u16(10)
                                                   .u32(4)
                                                   .u32(13)
                                                   .u16(3)
                                                   .u16(0)
                                                   .text("AJCI_PORC")
                                                   .data();
    EXPECT_EQ(r, expected);
  }
}

TEST(ExprParserTest, FieldOnTheRightIsMovedLeftWithTheOperatorMirrored) {
  struct Case {
    const char* text;
    std::uint32_t op;
  };
  const std::vector<Case> cases = {
      {"16 = AJCI_ID", exprrec::kEq},  {"16 <> AJCI_ID", exprrec::kNe},
      {"16 < AJCI_ID", exprrec::kGt},  {"16 > AJCI_ID", exprrec::kLt},
      {"16 <= AJCI_ID", exprrec::kGe}, {"16 >= AJCI_ID", exprrec::kLe},
      {"AJCI_ID < 16", exprrec::kLt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto r = Compile(c.text);
    EXPECT_EQ(ReadNode(r, 0, 2), (NodeView{2, c.op, {12, 24}}));
    EXPECT_EQ(ReadNode(r, 12, 2), (NodeView{4, 13, {1, 0}}));
    EXPECT_EQ(ReadNode(r, 24, 3), (NodeView{5, 14, {6, 4, 8}}));
  }
  // Two fields keep their places.
  const auto r = Compile("AJCI_CORTO < AJCI_ID");
  EXPECT_EQ(ReadNode(r, 12, 2), (NodeView{4, 13, {5, 0}}));
  EXPECT_EQ(ReadNode(r, 0, 2), (NodeView{2, exprrec::kLt, {12, 24}}));
}

TEST(ExprParserTest, ConstantsTakeTheTypeOfTheirField) {
  struct Case {
    const char* text;
    std::uint16_t code;
    std::vector<std::uint8_t> value;
  };
  auto le = [](auto v) {
    std::vector<std::uint8_t> b(sizeof v);
    std::memcpy(b.data(), &v, sizeof v);
    return b;
  };
  const std::vector<Case> cases = {
      {"AJCI_ID = 16", 6, le(std::int32_t{16})},
      {"AJCI_ID = -2147483648", 6, le(std::int32_t{-2147483647 - 1})},
      {"AJCI_CORTO = -32768", 5, le(std::int16_t{-32768})},
      {"AJCI_WORD = 65535", 12, le(std::uint16_t{65535})},
      {"AJCI_GRANDE = 9223372036854775807", 18, le(std::int64_t{9223372036854775807})},
      {"AJCI_IMPORTE = 2.5", 7, le(2.5)},
      {"AJCI_CALC = 1", 0, {}},  // not usable: see the error table
      {"AJCI_ACTIVO = True", 4, le(std::int16_t{1})},
      {"AJCI_ACTIVO = 'false'", 4, le(std::int16_t{0})},
      {"AJCI_NOMBRE = 16", 1, {'1', '6', 0}},
      {"AJCI_NOMBRE = 'O''Brien'", 1, {'O', '\'', 'B', 'r', 'i', 'e', 'n', 0}},
      {"AJCI_HORA = '10:30:00'", 10, le(std::int32_t{37800000})},
      {"AJCI_MOMENTO = '01/01/0001 00:00:01'", 11, le(86400000.0 + 1000.0)},
      {"AJCI_FECINI = '01/01/0001'", 2, le(std::int32_t{1})},
      {"1 = 1.5", 7, le(1.0)},  // no field: a floating number
      {"'a' = 'b'", 1, {'a', 0}},
  };
  for (const Case& c : cases) {
    if (c.code == 0) continue;
    SCOPED_TRACE(c.text);
    const auto r = Compile(c.text);
    const std::size_t constAt =
        ReadNode(r, 0, 2).operands[0] == 12 && ReadNode(r, 12, 0).cls == 4 ? 24 : 12;
    const NodeView n = ReadNode(r, constAt, 3);
    EXPECT_EQ(n.cls, 5u);
    EXPECT_EQ(n.operands[0], c.code);
    ASSERT_EQ(n.operands[1], c.value.size());
    const std::uint8_t* p = exprtest::Literal(r, n.operands[2]);
    EXPECT_EQ(std::vector<std::uint8_t>(p, p + c.value.size()), c.value);
  }
}

TEST(ExprParserTest, LongTextLiteralsAreCut) {
  // Read: the first 256 characters are kept, so a "*" in place 256 still marks a prefix.
  const std::string read =
      "AJCI_NOMBRE = '" + std::string(255, 'a') + "*" + std::string(44, 'b') + "'";
  auto r = Compile(read);
  EXPECT_EQ(ReadNode(r, 0, 2), (NodeView{3, 3, {0, 255}}));
  // Written: at most 255 characters and the terminating zero.
  const std::string written = "AJCI_NOMBRE = '" + std::string(300, 'x') + "'";
  r = Compile(written);
  const NodeView constant = ReadNode(r, 24, 3);
  EXPECT_EQ(constant.operands[1], 256u);
  const std::uint8_t* p = exprtest::Literal(r, constant.operands[2]);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p)), std::string(255, 'x'));
  EXPECT_EQ(r.size(), 10u + 38 + 12 + 256);
}

TEST(ExprParserTest, TextOptionsChooseTheStringComparisonNode) {
  struct Case {
    const char* text;
    TFilterOptions options;
    std::uint32_t cls;
    std::vector<std::uint16_t> flags;  // class 3: case-insensitive, partial length
    const char* constant;
  };
  const std::vector<Case> cases = {
      {"AJCI_NOMBRE = 'Ab'", 0, 2, {}, "Ab"},
      {"AJCI_NOMBRE = 'Ab'", foCaseInsensitive, 3, {1, 0}, "Ab"},
      {"AJCI_NOMBRE = 'Ab*'", 0, 3, {0, 2}, "Ab"},
      {"AJCI_NOMBRE = 'Ab*'", foCaseInsensitive, 3, {1, 2}, "Ab"},
      {"AJCI_NOMBRE = 'Ab*'", foNoPartialCompare, 2, {}, "Ab*"},
      {"'Ab*' = AJCI_NOMBRE", 0, 3, {0, 2}, "Ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto r = Compile(c.text, c.options);
    const NodeView root = ReadNode(r, 0, c.cls == 3 ? 4 : 2);
    EXPECT_EQ(root.cls, c.cls);
    const std::size_t constAt = c.cls == 3 ? root.operands[3] : root.operands[1];
    if (c.cls == 3) {
      EXPECT_EQ(root.operands[0], c.flags[0]);
      EXPECT_EQ(root.operands[1], c.flags[1]);
      EXPECT_EQ(ReadNode(r, root.operands[2], 0).cls, 4u);
    }
    const NodeView constant = ReadNode(r, constAt, 3);
    EXPECT_EQ(
        std::string(reinterpret_cast<const char*>(exprtest::Literal(r, constant.operands[2]))),
        c.constant);
  }
}

TEST(ExprParserTest, FieldNamesMatchIgnoringCaseAndAreWrittenAsTyped) {
  const auto r = Compile("ajci_Porc = 1 and [ajci_id]=2");
  EXPECT_EQ(ReadNode(r, 0, 2).op, exprrec::kAnd);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(exprtest::Literal(r, 0))), "ajci_Porc");
  const auto second = ReadNode(r, ReadNode(r, 0, 2).operands[1], 2).operands[0];
  const auto fieldOfSecond = ReadNode(r, second, 2);
  EXPECT_EQ(fieldOfSecond.operands[0], 1u);
  EXPECT_EQ(
      std::string(reinterpret_cast<const char*>(exprtest::Literal(r, fieldOfSecond.operands[1]))),
      "ajci_id");
}

TEST(ExprParserTest, GrammarFormsCompile) {
  struct Case {
    const char* text;
    bool extended;
    std::uint32_t rootClass;
    std::uint32_t rootOp;
  };
  const std::vector<Case> cases = {
      {"AJCI_ID = 1 or AJCI_ID = 2 and AJCI_CORTO = 3", false, 2, exprrec::kOr},
      {"(AJCI_ID = 1 or AJCI_ID = 2) and AJCI_CORTO = 3", false, 2, exprrec::kAnd},
      {"not AJCI_ID = 1", false, 1, exprrec::kNot},
      {"AJCI_NOMBRE like 'A%'", false, 2, exprrec::kLike},
      {"AJCI_ID in (1, 2, 3)", false, 7, exprrec::kIn},
      {"AJCI_ACTIVO", false, 4, exprrec::kFieldOp},
      {"True", false, 5, exprrec::kConstOp},
      {"AJCI_ID + 1 > AJCI_CORTO * 2", true, 2, exprrec::kGt},
      {"/* all */ AJCI_ID>=0", false, 2, exprrec::kGe},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto r = Compile(c.text, 0, c.extended);
    const NodeView root = ReadNode(r, 0, 0);
    EXPECT_EQ(root.cls, c.rootClass);
    EXPECT_EQ(root.op, c.rootOp);
  }
  const auto in = Compile("AJCI_ID in (1, 2, 3)");
  EXPECT_EQ(ReadNode(in, 0, 5), (NodeView{7, exprrec::kIn, {18, 3, 30, 44, 58}}));
}

TEST(ExprParserTest, FunctionCallsNameTheFunctionAndItsArguments) {
  const auto r = Compile("substring(AJCI_NOMBRE, 2) = 'x'", 0, true);
  // "=" at 0, the call at 12 (name, count, two arguments), the field at 28, 2 at 40, 'x' at 54.
  EXPECT_EQ(ReadNode(r, 0, 2), (NodeView{2, exprrec::kEq, {12, 54}}));
  const NodeView call = ReadNode(r, 12, 4);
  EXPECT_EQ(call, (NodeView{6, exprrec::kCall, {0, 2, 28, 40}}));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(exprtest::Literal(r, 0))), "SUBSTRING");
  EXPECT_EQ(ReadNode(r, 28, 2).cls, 4u);
  EXPECT_EQ(ReadNode(r, 40, 3).operands[0], exprrec::kFloat);
  // A constant compared with a function takes its result type.
  EXPECT_EQ(ReadNode(r, 54, 3).operands[0], exprrec::kText);
  const auto year = Compile("2023 = YEAR(AJCI_FECINI)", 0, true);
  EXPECT_EQ(ReadNode(year, 0, 2).operands[0], 12u);  // the call moved to the left
  const std::size_t constAt = ReadNode(year, 0, 2).operands[1];
  EXPECT_EQ(ReadNode(year, constAt, 3).operands[0], exprrec::kInteger);
}

TEST(ExprParserTest, ErrorsCarryTheirMessages) {
  struct Case {
    std::string text;
    bool extended;
    char separator;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"AJCI_ID = 1 # 2", false, '.', "Invalid filter expression character: '#'"},
      {"AJCI_NOMBRE = 'abc", false, '.', "Unterminated string constant"},
      {"[AJCI_ID = 1", false, '.', "Unterminated field name"},
      {"AJCI_ID = 1 and or AJCI_ID = 2", false, '.', "Invalid use of keyword"},
      {"AJCI_ID is 1", false, '.', "Invalid use of keyword"},
      {"AJCI_ID =", false, '.', "Expression expected but end of expression found"},
      {"AJCI_ID = )", false, '.', "Expression expected but ')' found"},
      {"AJCI_ID in 1", false, '.', "'(' expected but '1' found"},
      {"(AJCI_ID = 1", false, '.', "')' expected but end of expression found"},
      {"(AJCI_ID = 1 'x'", false, '.', "')' expected but 'x' found"},
      {"AJCI_ID in (1 2)", false, '.', "')' or ',' expected but '2' found"},
      {"AJCI_ID in ()", false, '.', "IN predicate list may not be empty"},
      {"NOPE = 1", false, '.', "Field 'NOPE' not found"},
      {"[NO PE] = 1", false, '.', "Field 'NO PE' not found"},
      {"AJCI_CALC = 1", false, '.', "Field 'AJCI_CALC' cannot be used in a filter expression"},
      {"AJCI_FOTO = 'x'", false, '.', "Type mismatch in expression"},
      {"AJCI_NOTAS = 'x'", false, '.', "Type mismatch in expression"},
      {"AJCI_ID = AJCI_NOMBRE", false, '.', "Type mismatch in expression"},
      {"AJCI_ID and AJCI_ACTIVO", false, '.', "Type mismatch in expression"},
      {"AJCI_ID like 'a%'", false, '.', "Type mismatch in expression"},
      {"AJCI_ID > NULL", false, '.', "NULL only allowed with '=' and '<>'"},
      {"NULL", false, '.', "NULL only allowed with '=' and '<>'"},
      {"AJCI_ID + 1 = 2", false, '.', "Arithmetic in filter expressions not supported"},
      {"AJCI_ID * 2 = 2", false, '.', "Arithmetic in filter expressions not supported"},
      {"AJCI_CORTO = 32768", false, '.', "Constant out of range"},
      {"AJCI_CORTO = -32769", false, '.', "Constant out of range"},
      {"AJCI_WORD = -1", false, '.', "Constant out of range"},
      {"AJCI_WORD = 65536", false, '.', "Constant out of range"},
      {"AJCI_ID = 2147483648", false, '.', "Constant out of range"},
      {"AJCI_GRANDE = 9223372036854775808", false, '.', "Constant out of range"},
      {"AJCI_GRANDE = 99999999999999999999999", false, '.', "Constant out of range"},
      {"AJCI_ID = 1.5", false, '.', "Constant is not correct type '1.5'"},
      {"AJCI_ID = 'abc'", false, '.', "Constant is not correct type 'abc'"},
      {"AJCI_ACTIVO = 'yes'", false, '.', "Constant is not correct type 'yes'"},
      {"AJCI_IMPORTE = 'x'", false, '.', "Constant is not correct type 'x'"},
      {"SUM(AJCI_ID) > 1", true, '.', "Aggregate expressions not allowed in filters"},
      {"count(AJCI_ID) > 1", true, '.', "Aggregate expressions not allowed in filters"},
      {"UPPER(AJCI_NOMBRE) = 'A'", false, '.', "Field 'UPPER' not found"},
      {"UPPER(AJCI_ID) = 'A'", true, '.', "Type mismatch in expression"},
      {"UPPER() = 'A'", true, '.', "Type mismatch in expression"},
      {"YEAR(AJCI_NOMBRE) = 1", true, '.', "Type mismatch in expression"},
      {"SUBSTRING(AJCI_NOMBRE, 'x') = 'A'", true, '.', "Type mismatch in expression"},
      {"SUBSTRING(AJCI_NOMBRE, 1, 2, 3) = 'A'", true, '.', "Type mismatch in expression"},
      {"UPPER(AJCI_NOMBRE 'x') = 'A'", true, '.', "')' or ',' expected but 'x' found"},
      {"YEAR(AJCI_FECINI) = 'x'", true, '.', "Constant is not correct type 'x'"},
      {"DATE(AJCI_MOMENTO) = 'x'", true, '.', "'x' is not a valid date"},
      {"AJCI_ID = 1 2", false, '.', "Filter expression incorrectly terminated"},
      {"AJCI_ID = 1)", false, '.', "Filter expression incorrectly terminated"},
      {"AJCI_ID", false, '.', "Incorrectly formed filter expression"},
      {"'abc'", false, '.', "Incorrectly formed filter expression"},
      {"AJCI_FECINI = '31/02/2023'", false, '.', "'31/02/2023' is not a valid date"},
      {"AJCI_FECINI = 'x'", false, '.', "'x' is not a valid date"},
      {"[AJCI_PORC]=0.8", false, ',', "Invalid filter expression character: '.'"},
      {"[AJCI_PORC]='0.8'", false, ',', "0.8 is not a valid BCD value"},
      {"[AJCI_PORC]='1,2'", false, '.', "1,2 is not a valid BCD value"},
      {"", false, '.', "Expression expected but end of expression found"},
      {std::string(300, '(') + "AJCI_ID = 1" + std::string(300, ')'), false, '.',
       "Incorrectly formed filter expression"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      Compile(c.text, 0, c.extended, c.separator);
      ADD_FAILURE() << "compiled";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(ExprParserTest, ConversionFailuresAreConvertErrorsOthersDatabaseErrors) {
  EXPECT_THROW(Compile("AJCI_FECINI = 'x'"), EConvertError);
  EXPECT_THROW(Compile("[AJCI_PORC]='x'"), EConvertError);
  EXPECT_THROW(Compile("AJCI_ID = 'x'"), EDatabaseError);
  EXPECT_THROW(Compile("NOPE = 1"), EDatabaseError);
}

TEST(ExprParserTest, RecordsBeyondSixteenBitOffsetsAreRefused) {
  std::string text = "AJCI_ID in (1";
  for (int k = 0; k < 5000; ++k) text += ", 1";
  text += ")";
  EXPECT_THROW(Compile(text), EDatabaseError);
  std::string chain = "AJCI_ID = 1";
  for (int k = 0; k < 5000; ++k) chain += " and AJCI_ID = 1";
  EXPECT_THROW(Compile(chain), EDatabaseError);
}

}  // namespace
