#include "data/expr/expr_evaluator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/bcd.h"
#include "base/date_time.h"
#include "base/exceptions.h"
#include "data/expr/expr_parser.h"
#include "data/expr/expr_record.h"
#include "tests/data/expr/expr_test_util.h"

namespace {

// A row of native values by field number; absent fields are null.
class TestRow : public ExprRow {
 public:
  TestRow& Set(std::uint16_t fieldNo, std::uint16_t type, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    values_[fieldNo] = {type, std::vector<std::uint8_t>(p, p + size)};
    return *this;
  }
  TestRow& Int(std::uint16_t fieldNo, std::int32_t v) { return Set(fieldNo, 6, &v, 4); }
  TestRow& Small(std::uint16_t fieldNo, std::int16_t v) { return Set(fieldNo, 5, &v, 2); }
  TestRow& Date(std::uint16_t fieldNo, int y, int m, int d) {
    const std::int32_t day = DateToDayNumber(EncodeDate(y, m, d));
    return Set(fieldNo, 2, &day, 4);
  }
  TestRow& Bcd(std::uint16_t fieldNo, const char* text) {
    const TBcd v = NormalizeBcd(StrToBcd(text, '.'), 15, 4);
    return Set(fieldNo, 8, &v, sizeof v);
  }
  // A decimal as written, without the column's precision and scale.
  TestRow& RawBcd(std::uint16_t fieldNo, const char* text) {
    const TBcd v = StrToBcd(text, '.');
    return Set(fieldNo, 8, &v, sizeof v);
  }
  TestRow& Text(std::uint16_t fieldNo, const std::string& s) {
    return Set(fieldNo, 1, s.c_str(), s.size() + 1);
  }
  TestRow& Float(std::uint16_t fieldNo, double v) { return Set(fieldNo, 7, &v, 8); }
  TestRow& Time(std::uint16_t fieldNo, int h, int m, int sec) {
    const std::int32_t ms = TimeToMSecs(EncodeTime(h, m, sec, 0));
    return Set(fieldNo, 10, &ms, 4);
  }
  TestRow& Moment(std::uint16_t fieldNo, int y, int mo, int d, int h, int mi) {
    const double ms = DateTimeToMSecs(EncodeDate(y, mo, d) + EncodeTime(h, mi, 0, 0));
    return Set(fieldNo, 11, &ms, 8);
  }
  TestRow& Logical(std::uint16_t fieldNo, bool v) {
    const std::int16_t b = v ? 1 : 0;
    return Set(fieldNo, 4, &b, 2);
  }
  TestRow& Unchanged(std::uint16_t fieldNo) {
    unchanged_.push_back(fieldNo);
    return *this;
  }

  ExprFieldValue Field(std::uint16_t fieldNo) const override {
    for (std::uint16_t u : unchanged_) {
      if (u == fieldNo) return {ExprBlank::kUnchanged, 0, nullptr, 0};
    }
    const auto it = values_.find(fieldNo);
    if (it == values_.end()) return {};
    return {ExprBlank::kValue, it->second.first, it->second.second.data(),
            static_cast<std::uint32_t>(it->second.second.size())};
  }

 private:
  std::map<std::uint16_t, std::pair<std::uint16_t, std::vector<std::uint8_t>>> values_;
  std::vector<std::uint16_t> unchanged_;
};

bool Evaluate(const std::string& text, const TestRow& row, TFilterOptions options = 0,
              char decimalSeparator = '.') {
  FormatSettings fs;
  fs.DecimalSeparator = decimalSeparator;
  const TExprParser parser(exprtest::AdjustmentFields(), text, options, true, fs);
  return ExprEvaluator(parser.FilterData()).Matches(row);
}

// Field numbers of the test field list.
constexpr std::uint16_t kId = 1, kFecini = 2, kPorc = 3, kNombre = 4, kCorto = 5, kImporte = 8,
                        kActivo = 9, kHora = 10, kMomento = 11, kNotas = 12;

TEST(ExprEvaluatorTest, RowsAreTestedAsTheTextSays) {
  struct Case {
    const char* text;
    TestRow row;
    bool expected;
    TFilterOptions options = 0;
    char separator = '.';
  };
  const std::vector<Case> cases = {
      // The adjustment filter: exactly the rows of that calendar date.
      {"AJCI_FECINI = '30/03/2023'", TestRow().Date(kFecini, 2023, 3, 30), true},
      {"AJCI_FECINI = '30/03/2023'", TestRow().Date(kFecini, 2023, 3, 31), false},
      {"AJCI_FECINI = '30/03/2023'", TestRow(), false},
      {"AJCI_FECINI < '30/03/2023'", TestRow().Date(kFecini, 2022, 12, 31), true},
      // Locates on the decimal: by value, whatever the scale.
      {"[AJCI_PORC]=0,8", TestRow().Bcd(kPorc, "0.8"), true, 0, ','},
      {"[AJCI_PORC]=0,8", TestRow().Bcd(kPorc, "0.08"), false, 0, ','},
      {"[AJCI_PORC]=16", TestRow().Bcd(kPorc, "16"), true},
      {"[AJCI_PORC]=16", TestRow().Bcd(kPorc, "16.0001"), false},
      {"[AJCI_PORC]=16", TestRow().Bcd(kPorc, "-16"), false},
      {"[AJCI_PORC]>2.5", TestRow().Bcd(kPorc, "10"), true},
      {"[AJCI_PORC]=16", TestRow(), false},
      {"[AJCI_PORC]>0,75", TestRow().Bcd(kPorc, "0.8"), true, 0, ','},
      {"[AJCI_PORC]<0", TestRow().Bcd(kPorc, "-0.0001"), true},
      {"[AJCI_PORC]=0", TestRow().RawBcd(kPorc, "-0"), true},
      {"[AJCI_PORC]<-1", TestRow().RawBcd(kPorc, "-12345678901234567890.5"), true},
      {"[AJCI_PORC]>1", TestRow().RawBcd(kPorc, "12345678901234567890.5"), true},
      {"[AJCI_PORC]=12345678901234567890.50", TestRow().RawBcd(kPorc, "12345678901234567890.5"),
       true},
      {"[AJCI_PORC]=12345678901234567890.51", TestRow().RawBcd(kPorc, "12345678901234567890.5"),
       false},
      {"[AJCI_PORC] IS NULL", TestRow(), true},
      {"[AJCI_PORC] IS NULL", TestRow().Bcd(kPorc, "0"), false},
      {"[AJCI_PORC] IS NOT NULL", TestRow().Bcd(kPorc, "0"), true},
      {"[AJCI_PORC] IS NULL", TestRow().Unchanged(kPorc), true},
      // A null compares with nothing, not even through <>.
      {"AJCI_ID <> 5", TestRow(), false},
      {"AJCI_ID <> 5", TestRow().Int(kId, 4), true},
      {"AJCI_ID = AJCI_CORTO", TestRow().Int(kId, 7).Small(kCorto, 7), true},
      {"AJCI_ID > AJCI_CORTO", TestRow().Int(kId, 7), false},
      {"AJCI_IMPORTE = 0.1", TestRow().Float(kImporte, 0.1), true},
      {"AJCI_IMPORTE = [AJCI_PORC]", TestRow().Float(kImporte, 16).Bcd(kPorc, "16"), true},
      {"AJCI_ID = [AJCI_PORC]", TestRow().Int(kId, 16).Bcd(kPorc, "16.0000"), true},
      // Text, with the options.
      {"AJCI_NOMBRE = 'Ana'", TestRow().Text(kNombre, "Ana"), true},
      {"AJCI_NOMBRE = 'Ana'", TestRow().Text(kNombre, "ana"), false},
      {"AJCI_NOMBRE = 'Ana'", TestRow().Text(kNombre, "ana"), true, foCaseInsensitive},
      {"AJCI_NOMBRE = 'Ana'", TestRow().Text(kNombre, "Anabel"), false},
      {"AJCI_NOMBRE = 'Ana*'", TestRow().Text(kNombre, "Anabel"), true},
      {"AJCI_NOMBRE = 'Ana*'", TestRow().Text(kNombre, "An"), false},
      {"AJCI_NOMBRE = 'ana*'", TestRow().Text(kNombre, "Anabel"), true, foCaseInsensitive},
      {"AJCI_NOMBRE = 'Ana*'", TestRow().Text(kNombre, "Anabel"), false, foNoPartialCompare},
      {"AJCI_NOMBRE = 'Ana*'", TestRow().Text(kNombre, "Ana*"), true, foNoPartialCompare},
      {"AJCI_NOMBRE < 'B'", TestRow().Text(kNombre, "Ana"), true},
      {"AJCI_NOMBRE < 'b'", TestRow().Text(kNombre, "C"), true},
      {"AJCI_NOMBRE < 'b'", TestRow().Text(kNombre, "C"), false, foCaseInsensitive},
      {"AJCI_NOMBRE like 'A%l'", TestRow().Text(kNombre, "Anabel"), true},
      {"AJCI_NOMBRE like 'A_a%'", TestRow().Text(kNombre, "Anabel"), true},
      {"AJCI_NOMBRE like 'A_b%'", TestRow().Text(kNombre, "Anabel"), false},
      {"AJCI_NOMBRE like '%'", TestRow().Text(kNombre, ""), true},
      {"AJCI_NOMBRE like '%a%a%'", TestRow().Text(kNombre, "Anabel"), false},
      {"AJCI_NOMBRE like '%a%e%'", TestRow().Text(kNombre, "Anabel"), true},
      {"AJCI_NOMBRE like '%'", TestRow(), false},
      // Logic, lists, arithmetic.
      {"AJCI_ID = 1 or AJCI_ID = 2", TestRow().Int(kId, 2), true},
      {"AJCI_ID = 1 and AJCI_CORTO = 2", TestRow().Int(kId, 1).Small(kCorto, 3), false},
      {"not AJCI_ID = 1", TestRow().Int(kId, 2), true},
      {"AJCI_ID in (1, 2, 3)", TestRow().Int(kId, 3), true},
      {"AJCI_ID in (1, 2, 3)", TestRow().Int(kId, 4), false},
      {"AJCI_ID in (1, 2, 3)", TestRow(), false},
      {"AJCI_ACTIVO", TestRow().Logical(kActivo, true), true},
      {"AJCI_ACTIVO", TestRow().Logical(kActivo, false), false},
      {"AJCI_ACTIVO = False", TestRow().Logical(kActivo, false), true},
      {"AJCI_ID * 2 + 1 = 7", TestRow().Int(kId, 3), true},
      {"AJCI_ID / 0 = 1", TestRow().Int(kId, 3), false},
      {"True", TestRow(), true},
      // Functions of the extended syntax.
      {"UPPER(AJCI_NOMBRE) = 'ANABEL'", TestRow().Text(kNombre, "Anabel"), true},
      {"LOWER(AJCI_NOMBRE) = 'anabel'", TestRow().Text(kNombre, "AnaBel"), true},
      {"UPPER(AJCI_NOMBRE) = 'ANABEL'", TestRow(), false},
      {"TRIM(AJCI_NOMBRE) = 'Ana'", TestRow().Text(kNombre, "  Ana \t"), true},
      {"TRIMLEFT(AJCI_NOMBRE) = 'Ana '", TestRow().Text(kNombre, "  Ana "), true},
      {"TRIMRIGHT(AJCI_NOMBRE) = '  Ana'", TestRow().Text(kNombre, "  Ana "), true},
      {"SUBSTRING(AJCI_NOMBRE, 2, 3) = 'nab'", TestRow().Text(kNombre, "Anabel"), true},
      {"SUBSTRING(AJCI_NOMBRE, 4) = 'bel'", TestRow().Text(kNombre, "Anabel"), true},
      {"SUBSTRING(AJCI_NOMBRE, 0, 2) = 'An'", TestRow().Text(kNombre, "Anabel"), true},
      {"SUBSTRING(AJCI_NOMBRE, 9, 2) = ''", TestRow().Text(kNombre, "Anabel"), true},
      {"SUBSTRING(AJCI_NOMBRE, 2, -1) = ''", TestRow().Text(kNombre, "Anabel"), true},
      {"YEAR(AJCI_FECINI) = 2023 and MONTH(AJCI_FECINI) = 3 and DAY(AJCI_FECINI) = 30",
       TestRow().Date(kFecini, 2023, 3, 30), true},
      {"HOUR(AJCI_HORA) = 10 and MINUTE(AJCI_HORA) = 30 and SECOND(AJCI_HORA) = 15",
       TestRow().Time(kHora, 10, 30, 15), true},
      {"YEAR(AJCI_HORA) = 1899", TestRow().Time(kHora, 10, 30, 15), false},
      {"DATE(AJCI_MOMENTO) = '30/03/2023'", TestRow().Moment(kMomento, 2023, 3, 30, 18, 5), true},
      {"DATE(AJCI_MOMENTO) = AJCI_FECINI",
       TestRow().Moment(kMomento, 2023, 3, 30, 18, 5).Date(kFecini, 2023, 3, 30), true},
      {"TIME(AJCI_MOMENTO) = '18:05:00'", TestRow().Moment(kMomento, 2023, 3, 30, 18, 5), true},
      {"HOUR(AJCI_MOMENTO) = 18", TestRow().Moment(kMomento, 2023, 3, 30, 18, 5), true},
      // Values the evaluator cannot read compare with nothing, yet are not null.
      {"AJCI_ID = 1", TestRow().Set(kId, 6, "\x01\x00", 2), false},
      {"AJCI_ID IS NULL", TestRow().Set(kId, 6, "\x01\x00", 2), false},
      {"AJCI_NOTAS IS NULL", TestRow().Set(kNotas, 22, "memo", 4), false},
      {"AJCI_NOTAS IS NOT NULL", TestRow().Set(kNotas, 22, "memo", 4), true},
      {"AJCI_NOTAS IS NULL", TestRow(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Evaluate(c.text, c.row, c.options, c.separator), c.expected);
  }
}

TEST(ExprEvaluatorTest, DamagedRecordsAreRefused) {
  FormatSettings fs;
  const std::vector<std::uint8_t> good =
      TExprParser(exprtest::AdjustmentFields(), "AJCI_FECINI = '30/03/2023'", 0, false, fs)
          .FilterData();
  ASSERT_NO_THROW(ExprEvaluator{good});
  struct Case {
    const char* what;
    std::size_t at;  // byte to change; SIZE_MAX: truncate instead
    std::uint8_t value;
  };
  const std::vector<Case> cases = {
      {"truncated", SIZE_MAX, 0},
      {"version", 0, 3},
      {"total size", 2, 63},
      {"node area start", 6, 12},
      {"literal area beyond the end", 8, 200},
      {"unknown class", 10, 9},
      {"unknown operator", 14, 99},
      {"operand pointing back at its parent", 18, 0},
      {"operand beyond the node area", 20, 60},
      {"constant beyond the literals", 46, 200},
      {"constant of an unknown type", 42, 99},
      {"constant of a wrong size", 44, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint8_t> bad = good;
    if (c.at == SIZE_MAX) {
      bad.resize(30);
    } else {
      bad[c.at] = c.value;
    }
    EXPECT_THROW(ExprEvaluator{bad}, EDatabaseError);
  }
  // Two operands naming one node would make the plan a graph.
  std::vector<std::uint8_t> shared = good;
  shared[20] = shared[18];
  EXPECT_THROW(ExprEvaluator{shared}, EDatabaseError);
}

}  // namespace
