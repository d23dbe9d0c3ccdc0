// The statements of a save, byte for byte: the lines, the names and the parameters in the order
// of their "?" marks, for every kind of row, every update mode and the column rules.
#include "data/resolver/update_statement.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/bcd.h"
#include "base/exceptions.h"
#include "tests/data/resolver/resolver_test_util.h"

namespace {

using engine::DSBlank;
using engine::DSType;
using engine::DSValueView;

// A value as the tests spell it: null, unchanged, or native bytes.
struct Value {
  DSBlank blank = DSBlank::kNull;
  std::vector<std::uint8_t> bytes;
};
const Value kNull{};
const Value kSame{DSBlank::kUnchanged, {}};
Value Int(std::int32_t n) {
  Value v{DSBlank::kValue, std::vector<std::uint8_t>(4)};
  std::memcpy(v.bytes.data(), &n, 4);
  return v;
}
Value Dec(const char* text) {
  const TBcd bcd = StrToBcd(text, '.');
  Value v{DSBlank::kValue, std::vector<std::uint8_t>(sizeof bcd)};
  std::memcpy(v.bytes.data(), &bcd, sizeof bcd);
  return v;
}
Value Text(const std::string& s) {
  Value v{DSBlank::kValue, {s.begin(), s.end()}};
  v.bytes.push_back(0);
  return v;
}

class Row final : public RowValues {
 public:
  Row(std::vector<Value> old, std::vector<Value> changed)
      : old_(std::move(old)), new_(std::move(changed)) {}
  DSValueView Old(std::uint16_t c) const override { return View(old_[c]); }
  DSValueView New(std::uint16_t c) const override { return View(new_[c]); }

 private:
  static DSValueView View(const Value& v) {
    DSValueView view;
    view.blank = v.blank;
    if (v.blank == DSBlank::kValue) {
      view.data = v.bytes.data();
      view.size = static_cast<std::uint32_t>(v.bytes.size());
    }
    return view;
  }
  std::vector<Value> old_, new_;
};

ResolveColumn Column(const char* name, TFieldType type, std::uint32_t size) {
  ResolveColumn c;
  c.name = name;
  c.fieldType = type;
  c.dataSize = size;
  return c;
}

// The five columns of AJUSTE_CIERRE as the provider sends them.
std::vector<ResolveColumn> Ajuste() {
  return {Column("AJCI_ID", TFieldType::ftInteger, 4), Column("AJCI_FECINI", TFieldType::ftDate, 4),
          Column("AJCI_FECFIN", TFieldType::ftDate, 4),
          Column("AJCI_PORC", TFieldType::ftFMTBcd, 18),
          Column("AJCI_FACTOR", TFieldType::ftFMTBcd, 18)};
}

const Value kStart = Int(739524), kEnd = Int(739554);  // day numbers as dates

// The parameters as "type:value" for integers and decimals, "type:null" for nulls.
std::vector<std::string> Params(const SQLText& sql) {
  std::vector<std::string> out;
  for (const SQLParamValue& p : sql.params) {
    std::string text = std::to_string(static_cast<int>(p.type)) + ":";
    if (p.isNull) {
      text += "null";
    } else if (p.type == SqlType::FmtBcd || p.type == SqlType::Bcd) {
      TBcd bcd;
      std::memcpy(&bcd, p.bytes.data(), sizeof bcd);
      text += BcdToStr(bcd, '.');
    } else if (p.bytes.size() == 4) {
      std::int32_t n = 0;
      std::memcpy(&n, p.bytes.data(), 4);
      text += std::to_string(n);
    } else {
      text += std::string(p.bytes.begin(), p.bytes.end());
    }
    out.push_back(text);
  }
  return out;
}

template <typename F>
std::string ErrorOf(F action) {
  try {
    action();
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return "(nothing raised)";
}

TEST(StatementBuilder, TheThreeStatementsOfAjusteCierre) {
  const StatementBuilder b(Ajuste(), "\"", "\"AJUSTE_CIERRE\"", TUpdateMode::upWhereAll);
  const Row inserted({kNull, kNull, kNull, kNull, kNull},
                     {Int(7), kStart, kEnd, Dec("19"), Dec("0.8")});
  const Row factorChanged({Int(7), kStart, kEnd, Dec("19"), Dec("0.8")},
                          {kSame, kSame, kSame, kSame, Dec("0.85")});
  const Row deleted({Int(7), kStart, kNull, Dec("19"), Dec("0.8")},
                    {kSame, kSame, kSame, kSame, kSame});
  struct Case {
    const char* name;
    std::function<void(SQLText&)> build;
    const char* text;
    std::vector<std::string> params;
  };
  const Case cases[] = {
      {"insert",
       [&](SQLText& s) { b.Insert(inserted, s); },
       resolvertest::kAjusteInsert,
       {"6:7", "2:739524", "2:739554", "25:19", "25:0.8"}},
      {"update of the factor",
       [&](SQLText& s) { b.Update(factorChanged, s); },
       resolvertest::kAjusteFactorUpdate,
       {"25:0.85", "6:7", "2:739524", "2:739554", "25:19", "25:0.8"}},
      {"delete with a null end date",
       [&](SQLText& s) { b.Delete(deleted, s); },
       resolvertest::kAjusteDeleteWithoutEnd,
       {"6:7", "2:739524", "25:19", "25:0.8"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SQLText sql;
    c.build(sql);
    EXPECT_EQ(sql.text, c.text);
    EXPECT_EQ(Params(sql), c.params);
  }
}

TEST(StatementBuilder, OneStatementServesRowsOfOneShapeOnly) {
  // One SQLText through a save: rows alike share a text, a row of another shape gets its own.
  const StatementBuilder b(Ajuste(), "", "T", TUpdateMode::upWhereAll);
  const std::vector<Value> changes = {kSame, kSame, kSame, kSame, Dec("0.9")};
  struct Step {
    std::vector<Value> old;
    const char* where;  // the last lines of the text
    std::size_t params;
  };
  const Step steps[] = {
      {{Int(1), kStart, kEnd, Dec("19"), Dec("0.8")}, " AJCI_FECFIN = ? and\r\n", 6},
      {{Int(2), kStart, kEnd, Dec("5"), Dec("0.8")}, " AJCI_FECFIN = ? and\r\n", 6},
      {{Int(3), kStart, kNull, Dec("5"), Dec("0.8")}, " AJCI_FECFIN is null and\r\n", 5},
      {{Int(4), kStart, kEnd, Dec("5"), Dec("0.8")}, " AJCI_FECFIN = ? and\r\n", 6},
  };
  SQLText sql;
  for (const Step& step : steps) {
    b.Update(Row(step.old, changes), sql);
    EXPECT_NE(sql.text.find(step.where), std::string::npos) << sql.text;
    EXPECT_EQ(sql.params.size(), step.params);
    // The new factor, then this row's own id.
    EXPECT_EQ(Params(sql)[1], "6:" + std::to_string(&step - steps + 1));
  }
  // An insert after the updates is an insert again.
  b.Insert(Row({kNull, kNull, kNull, kNull, kNull}, {Int(9), kNull, kNull, kNull, kNull}), sql);
  EXPECT_EQ(sql.text,
            "insert into T\r\n  (AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, "
            "AJCI_FACTOR)\r\nvalues\r\n  (?, ?, ?, ?, ?)\r\n");
}

TEST(StatementBuilder, NamesStandBareWithoutAQuoteCharacter) {
  const StatementBuilder b(Ajuste(), "", "AJUSTE_CIERRE", TUpdateMode::upWhereAll);
  SQLText sql;
  b.Update(Row({Int(7), kNull, kNull, kNull, kNull}, {kSame, kSame, kSame, Dec("5"), kNull}), sql);
  EXPECT_EQ(sql.text,
            "update AJUSTE_CIERRE  set\r\n"
            " AJCI_PORC = ?,\r\n"
            " AJCI_FACTOR = ?\r\n"
            "where\r\n"
            " AJCI_ID = ? and\r\n"
            " AJCI_FECINI is null and\r\n"
            " AJCI_FECFIN is null and\r\n"
            " AJCI_PORC is null and\r\n"
            " AJCI_FACTOR is null\r\n");
  EXPECT_EQ(Params(sql), (std::vector<std::string>{"25:5", "25:null", "6:7"}));
}

TEST(StatementBuilder, ColumnRulesForTheListsAndTheWhereClause) {
  // One column besides ID: how each kind of column fares in an insert and in a delete.
  struct Case {
    const char* name;
    std::function<void(ResolveColumn&)> shape;
    bool inInsert;
    bool inWhere;
  };
  const Case cases[] = {
      {"plain", [](ResolveColumn&) {}, true, true},
      {"not pfInUpdate", [](ResolveColumn& c) { c.flags = pfInWhere; }, false, true},
      {"not pfInWhere", [](ResolveColumn& c) { c.flags = pfInUpdate; }, true, false},
      {"read-only", [](ResolveColumn& c) { c.readOnly = true; }, false, true},
      {"hidden", [](ResolveColumn& c) { c.flags |= pfHidden; }, false, true},
      {"server-calculated", [](ResolveColumn& c) { c.serverCalc = true; }, false, false},
      {"auto-increment", [](ResolveColumn& c) { c.fieldType = TFieldType::ftAutoInc; }, false,
       true},
      {"unknown type", [](ResolveColumn& c) { c.fieldType = TFieldType::ftUnknown; }, false, false},
      {"memo", [](ResolveColumn& c) { c.fieldType = TFieldType::ftMemo; }, true, false},
      {"blob", [](ResolveColumn& c) { c.fieldType = TFieldType::ftBlob; }, true, false},
      {"8191 bytes", [](ResolveColumn& c) { c.dataSize = 8191; }, true, true},
      {"8192 bytes", [](ResolveColumn& c) { c.dataSize = 8192; }, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResolveColumn x = Column("X", TFieldType::ftString, 11);
    c.shape(x);
    const StatementBuilder b({Column("ID", TFieldType::ftInteger, 4), x}, "", "T",
                             TUpdateMode::upWhereAll);
    SQLText insert, removal;
    b.Insert(Row({kNull, kNull}, {Int(1), Text("x")}), insert);
    EXPECT_EQ(insert.text, c.inInsert ? "insert into T\r\n  (ID, X)\r\nvalues\r\n  (?, ?)\r\n"
                                      : "insert into T\r\n  (ID)\r\nvalues\r\n  (?)\r\n");
    b.Delete(Row({Int(1), Text("x")}, {kSame, kSame}), removal);
    EXPECT_EQ(removal.text, c.inWhere ? "delete from T \r\nwhere\r\n ID = ? and\r\n X = ?\r\n"
                                      : "delete from T \r\nwhere\r\n ID = ?\r\n");
    EXPECT_EQ(removal.params.size(), c.inWhere ? 2u : 1u);
  }
}

TEST(StatementBuilder, UpdateModesChooseTheWhereColumns) {
  // ID is the key; A changed, B did not.
  struct Case {
    const char* name;
    TUpdateMode mode;
    const char* where;
  };
  const Case cases[] = {
      {"all", TUpdateMode::upWhereAll, " ID = ? and\r\n A = ? and\r\n B = ?\r\n"},
      {"changed", TUpdateMode::upWhereChanged, " ID = ? and\r\n A = ?\r\n"},
      {"key only", TUpdateMode::upWhereKeyOnly, " ID = ?\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StatementBuilder b(
        {Column("ID", TFieldType::ftInteger, 4), Column("A", TFieldType::ftInteger, 4),
         Column("B", TFieldType::ftInteger, 4)},
        "", "T", c.mode);
    b.MarkKeys({"id"});
    SQLText sql;
    b.Update(Row({Int(1), Int(2), Int(3)}, {kSame, Int(20), kSame}), sql);
    EXPECT_EQ(sql.text, std::string("update T  set\r\n A = ?\r\nwhere\r\n") + c.where);
  }
}

TEST(StatementBuilder, KeysAreMarkedOnlyWhenNoColumnIsAKeyYet) {
  std::vector<ResolveColumn> columns = {Column("ID", TFieldType::ftInteger, 4),
                                        Column("A", TFieldType::ftInteger, 4)};
  columns[1].flags |= pfInKey;
  StatementBuilder b(columns, "", "T", TUpdateMode::upWhereKeyOnly);
  b.MarkKeys({"ID"});
  SQLText sql;
  b.Delete(Row({Int(1), Int(2)}, {kSame, kSame}), sql);
  EXPECT_EQ(sql.text, "delete from T \r\nwhere\r\n A = ?\r\n");
}

TEST(StatementBuilder, RowsThatGiveNothingToWriteOrNothingToFindBy) {
  std::vector<ResolveColumn> columns = {Column("ID", TFieldType::ftInteger, 4),
                                        Column("A", TFieldType::ftInteger, 4)};
  columns[1].readOnly = true;
  const StatementBuilder b(columns, "\"", "\"T\"", TUpdateMode::upWhereKeyOnly);
  SQLText sql{"left over", {}, {}};
  // Only a read-only column changed: nothing to send.
  b.Update(Row({Int(1), Int(2)}, {kSame, Int(3)}), sql);
  EXPECT_EQ(sql.text, "");
  EXPECT_TRUE(sql.params.empty());
  // No key under upWhereKeyOnly.
  EXPECT_EQ(ErrorOf([&] {
              b.Update(Row({Int(1), Int(2)}, {Int(5), kSame}), sql);
            }),
            "Unable to find record.  No key specified");
  EXPECT_EQ(ErrorOf([&] {
              b.Delete(Row({Int(1), Int(2)}, {kSame, kSame}), sql);
            }),
            "Unable to find record.  No key specified");
}

TEST(StatementBuilder, TheSelectOfTheServersValuesIsRestrictedByTheKey) {
  StatementBuilder b({Column("ID", TFieldType::ftInteger, 4), Column("A", TFieldType::ftInteger, 4),
                      Column("M", TFieldType::ftMemo, 0)},
                     "\"", "\"T\"", TUpdateMode::upWhereAll);
  const Row row({Int(1), kNull, kNull}, {kSame, Int(2), kSame});
  SQLText sql;
  std::vector<std::uint16_t> selected;
  EXPECT_EQ(ErrorOf([&] { b.SelectCurrent(row, sql, selected); }),
            "Unable to find record.  No key specified");
  b.MarkKeys({"ID"});
  b.SelectCurrent(row, sql, selected);
  EXPECT_EQ(sql.text, "select \"ID\", \"A\" from \"T\"\r\nwhere\r\n \"ID\" = ?\r\n");
  EXPECT_EQ(Params(sql), (std::vector<std::string>{"6:1"}));
  EXPECT_EQ(selected, (std::vector<std::uint16_t>{0, 1}));
}

TEST(ResolveColumnsOf, ReadsTheColumnItems) {
  using engine::DSColumn;
  const std::vector<DSColumn> columns = {
      {"AJCI_ID", DSType::kInteger, 4, engine::kColRequired, {}},
      {"ALIAS", DSType::kText, 20, 0, {{"ORIGIN", std::string("AJUSTE.NOMBRE")}}},
      {"KEYED", DSType::kInteger, 4, 0, {{"PROVFLAGS", std::int64_t{pfInKey | pfInWhere}}}},
      {"CALC", DSType::kInteger, 4, engine::kColReadOnly, {{"SERVER_CALC", true}}},
      {"SECRET", DSType::kInteger, 4, engine::kColHidden | engine::kColReadOnly, {}},
      {"MONEY", DSType::kFloat, 8, 0, {{"SUBTYPE", std::string("Money")}}},
  };
  const std::vector<ResolveColumn> r = ResolveColumnsOf(columns);
  ASSERT_EQ(r.size(), columns.size());
  EXPECT_EQ(r[0].name, "AJCI_ID");
  EXPECT_EQ(r[0].flags, pfInUpdate | pfInWhere);
  EXPECT_EQ(r[0].fieldType, TFieldType::ftInteger);
  EXPECT_EQ(r[1].name, "NOMBRE");
  EXPECT_EQ(r[1].dataSize, 21u);
  EXPECT_EQ(r[2].flags, pfInKey | pfInWhere);
  EXPECT_TRUE(r[3].serverCalc);
  EXPECT_TRUE(r[3].readOnly);
  EXPECT_TRUE(r[4].flags & pfHidden);
  EXPECT_EQ(r[5].fieldType, TFieldType::ftCurrency);
}

}  // namespace
