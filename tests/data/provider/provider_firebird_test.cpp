// The provider over TSQLTable and TSQLQuery on a company database made from the project's
// scripts: the columns and values it packs, the packet sizes and when it closes its dataset, and
// how it hands command texts on.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/bcd.h"
#include "base/exceptions.h"
#include "data/engine/ds_base.h"
#include "data/provider/dataset_provider.h"
#include "db/sql/sql_connection.h"
#include "db/sql/sql_dataset.h"
#include "tests/support/test_database.h"

namespace {

using engine::DSType;

std::unique_ptr<TSQLConnection> Connection(const std::string& location) {
  auto c = std::make_unique<TSQLConnection>();
  c->SetName("Talvora");
  c->DriverName = "Interbase";
  c->LibraryName = "dbexpint.dll";
  c->GetDriverFunc = "getSQLDriverINTERBASE";
  c->VendorLib = "GDS32.DLL";
  for (const char* line : {"DriverName=Interbase", "BlobSize=-1", "LocaleCode=0C0A", "SQLDialect=3",
                           "Interbase TransIsolation=ReadCommited"})
    c->Params().Add(line);
  c->Params().SetValue("Database", location);
  c->Params().SetValue("User_Name", test_server::kUser);
  c->Params().SetValue("Password", test_server::kPassword);
  return c;
}

// A packet read back through the engine.
struct Unpacked {
  std::vector<engine::DSColumn> columns;
  std::vector<engine::DSAttr> attributes;
  std::vector<std::vector<engine::DSValueView>> rows;
  std::unique_ptr<engine::IDSBase> base;
};

class ProviderFirebird : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = new TestDatabase();
    db_->FillAjusteCierre(1000);
    db_->Execute("INSERT INTO AJUSTE_CIERRE VALUES (9001, '2027-03-30', NULL, 19, 0.8125);");
    // Columns whose field classes share an engine type.
    db_->Execute(
        "CREATE TABLE CLASES (CLA_ID INTEGER NOT NULL, CLA_IMPORTE NUMERIC(9,2), "
        "CLA_PORC NUMERIC(15,4), CLA_CODIGO CHAR(5), CLA_NOMBRE VARCHAR(20), "
        "CLA_HUELLA CHAR(4) CHARACTER SET OCTETS, CLA_CLAVE VARCHAR(6) CHARACTER SET OCTETS);"
        "INSERT INTO CLASES VALUES (1, 1234.56, 0.8, 'AB', 'Nombre', x'01020304', x'0A0B');");
  }
  static void TearDownTestSuite() {
    delete db_;
    db_ = nullptr;
  }
  void SetUp() override {
    connection_ = Connection(db_->Path());
    table_.SetName("TAjuste");
    table_.SetSQLConnection(connection_.get());
    table_.SetTableName("AJUSTE_CIERRE");
    query_.SetName("SQLQuery1");
    query_.SetSQLConnection(connection_.get());
  }
  void TearDown() override {
    table_.SetSQLConnection(nullptr);
    query_.SetSQLConnection(nullptr);
  }

  // One request; recsOut is checked against the packet's rows.
  Unpacked Get(TDataSetProvider& provider, std::int32_t count, std::int32_t options,
               std::string_view text = {}) {
    TPacketData params;
    TOwnerData owner;
    std::int32_t recsOut = -7;
    TPacketData packet = provider.GetRecords(count, recsOut, options, text, params, owner);
    Unpacked out;
    if (!packet) {
      EXPECT_EQ(recsOut, 0);
      return out;
    }
    out.base = engine::CreateDSBase();
    EXPECT_EQ(out.base->AppendPacket(std::move(*packet), true), engine::kDSOk);
    out.columns = out.base->Columns();
    out.attributes = out.base->Attributes();
    std::unique_ptr<engine::IDSCursor> cursor;
    out.base->CreateCursor(cursor);
    while (cursor->MoveRelative(1) == engine::kDSOk) {
      std::vector<engine::DSValueView> row(out.columns.size());
      for (std::uint16_t i = 0; i < row.size(); ++i) cursor->GetField(i + 1, row[i]);
      out.rows.push_back(std::move(row));
    }
    EXPECT_EQ(recsOut, static_cast<std::int32_t>(out.rows.size()));
    return out;
  }

  static TestDatabase* db_;
  std::unique_ptr<TSQLConnection> connection_;
  TSQLTable table_;
  TSQLQuery query_;
};
TestDatabase* ProviderFirebird::db_ = nullptr;

TEST_F(ProviderFirebird, PacksTheTableColumnsAndValuesAsTheEngineReadsThem) {
  TDataSetProvider provider;
  provider.SetDataSet(&table_);
  const Unpacked p = Get(provider, -1, grMetaData);

  struct Column {
    const char* name;
    DSType type;
    std::uint32_t size;
    std::uint8_t attrs;
    bool decimals;
  };
  const Column expected[] = {
      {"AJCI_ID", DSType::kInteger, 4, engine::kColRequired, false},
      {"AJCI_FECINI", DSType::kDate, 4, 0, false},
      {"AJCI_FECFIN", DSType::kDate, 4, 0, false},
      {"AJCI_PORC", DSType::kBcd, sizeof(TBcd), 0, true},
      {"AJCI_FACTOR", DSType::kBcd, sizeof(TBcd), 0, true},
  };
  ASSERT_EQ(p.columns.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(p.columns[i].name, expected[i].name);
    EXPECT_EQ(p.columns[i].type, expected[i].type);
    EXPECT_EQ(p.columns[i].size, expected[i].size);
    EXPECT_EQ(p.columns[i].attrs, expected[i].attrs);
    const engine::DSAttr* decimals = engine::FindAttr(p.columns[i].items, "DECIMALS");
    EXPECT_EQ(decimals != nullptr, expected[i].decimals);
    if (decimals != nullptr) {
      EXPECT_EQ(decimals->value, engine::DSAttr::Value{std::int64_t{4}});
    }
    EXPECT_EQ(engine::FindAttr(p.columns[i].items, "PROVFLAGS"), nullptr);
  }
  EXPECT_EQ(engine::FindAttr(p.attributes, "LCID")->value, engine::DSAttr::Value{0x0C0A});

  ASSERT_EQ(p.rows.size(), 1001u);
  const auto& last = p.rows.back();
  std::int32_t id = 0;
  std::memcpy(&id, last[0].data, 4);
  EXPECT_EQ(id, 9001);
  std::int32_t day = 0;
  std::memcpy(&day, last[1].data, 4);
  EXPECT_EQ(day, 740070);  // 30 March 2027, counted from 1 January of year 1
  EXPECT_EQ(last[2].blank, engine::DSBlank::kNull);
  TBcd factor;
  std::memcpy(&factor, last[4].data, sizeof factor);
  EXPECT_EQ(BcdToStr(factor, '.'), "0.8125");
  EXPECT_FALSE(table_.Active());  // read to its end, opened by the provider
}

TEST_F(ProviderFirebird, ColumnsSayWhichFieldClassOfTheirEngineTypeTheyAre) {
  TDataSetProvider provider;
  table_.SetTableName("CLASES");
  provider.SetDataSet(&table_);
  const Unpacked p = Get(provider, -1, grMetaData);
  struct Column {
    const char* name;
    DSType type;
    const char* subtype;  // null: no "SUBTYPE" item
  };
  const Column expected[] = {
      {"CLA_ID", DSType::kInteger, nullptr},     {"CLA_IMPORTE", DSType::kBcd, "BCD"},
      {"CLA_PORC", DSType::kBcd, nullptr},       {"CLA_CODIGO", DSType::kText, "Fixed"},
      {"CLA_NOMBRE", DSType::kText, nullptr},    {"CLA_HUELLA", DSType::kBytes, nullptr},
      {"CLA_CLAVE", DSType::kBytes, "VarBytes"},
  };
  ASSERT_EQ(p.columns.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(p.columns[i].name, expected[i].name);
    EXPECT_EQ(p.columns[i].type, expected[i].type);
    const engine::DSAttr* subtype = engine::FindAttr(p.columns[i].items, "SUBTYPE");
    if (expected[i].subtype == nullptr) {
      EXPECT_EQ(subtype, nullptr);
    } else {
      ASSERT_NE(subtype, nullptr);
      EXPECT_EQ(subtype->value, engine::DSAttr::Value{std::string(expected[i].subtype)});
    }
  }
  const engine::DSAttr* width = engine::FindAttr(p.columns[1].items, "WIDTH");
  ASSERT_NE(width, nullptr);
  EXPECT_EQ(width->value, engine::DSAttr::Value{std::int64_t{9}});
  ASSERT_EQ(p.rows.size(), 1u);
  EXPECT_EQ(p.rows[0][5].AsText(), std::string_view("\x01\x02\x03\x04", 4));
}

TEST_F(ProviderFirebird, PacketSizesDecideWhenTheDatasetCloses) {
  struct Step {
    std::int32_t count;
    std::int32_t options;
    int rows;  // -1: no packet
    bool openAfter;
  };
  struct Case {
    const char* name;
    const char* sql;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"empty result", "select * from AJUSTE_CIERRE where 1 = 0", {{1000, grMetaData, 0, false}}},
      {"exactly one packet",
       "select * from AJUSTE_CIERRE where AJCI_ID <= 1000",
       {{1000, grMetaData, 1000, true}, {1000, 0, 0, false}}},
      {"the rest after a full packet",
       "select * from AJUSTE_CIERRE",
       {{1000, grMetaData, 1000, true}, {-1, 0, 1, false}}},
      {"reset with no rows wanted",
       "select * from AJUSTE_CIERRE",
       {{10, grMetaData, 10, true}, {0, grReset, -1, false}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TDataSetProvider provider;
    provider.SetDataSet(&query_);
    provider.SetOptions(poAllowCommandText);
    bool first = true;
    for (const Step& s : k.steps) {
      const Unpacked p = Get(provider, s.count, s.options, first ? k.sql : "");
      first = false;
      EXPECT_EQ(p.base == nullptr ? -1 : static_cast<int>(p.rows.size()), s.rows);
      EXPECT_EQ(query_.Active(), s.openAfter);
    }
    query_.Close();
  }
}

TEST_F(ProviderFirebird, CommandTextsReachTheQueryOnlyWhenTheyDiffer) {
  TDataSetProvider provider;
  provider.SetDataSet(&query_);
  provider.SetOptions(poAllowCommandText);
  Get(provider, 10, grMetaData, " \t select AJCI_ID from AJUSTE_CIERRE");
  EXPECT_EQ(query_.SQL(), "select AJCI_ID from AJUSTE_CIERRE");
  ASSERT_TRUE(query_.Active());
  // The same text, leading blanks aside, leaves the open query be; the next packet follows on.
  const Unpacked p = Get(provider, 10, 0, "select AJCI_ID from AJUSTE_CIERRE");
  ASSERT_EQ(p.rows.size(), 10u);
  std::int32_t id = 0;
  std::memcpy(&id, p.rows[0][0].data, 4);
  EXPECT_EQ(id, 11);
  try {
    Get(provider, 10, 0, "select AJCI_FECINI from AJUSTE_CIERRE");
    ADD_FAILURE() << "a different text was taken while open";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "SQLQuery1: Cannot perform this operation on an open dataset");
  }
}

TEST_F(ProviderFirebird, ACommandTextNamesTheTableOfATable) {
  TDataSetProvider provider;
  provider.SetDataSet(&table_);
  provider.SetOptions(poAllowCommandText);
  const Unpacked p = Get(provider, -1, grMetaData, "  TARIFA_IVA");
  EXPECT_EQ(table_.TableName(), "TARIFA_IVA");
  ASSERT_FALSE(p.columns.empty());
  EXPECT_EQ(p.columns[0].name.rfind("TAIV_", 0), 0u);
}

}  // namespace
