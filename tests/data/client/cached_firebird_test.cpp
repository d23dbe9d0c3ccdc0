// The cached dataset, its provider and the Firebird driver on a company database made from the
// project's scripts: the requests an opening sends, what stays in memory, and the failures the
// caller sees.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/date_time.h"
#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "data/provider/local_app_server.h"
#include "db/dataset/fields.h"
#include "db/sql/sql_connection.h"
#include "db/sql/sql_dataset.h"
#include "tests/data/client/counting_link.h"
#include "tests/support/moments.h"
#include "tests/support/test_database.h"

namespace {

using Requests = std::vector<std::pair<int, int>>;
using clienttest::CountingLink;

// The connection as the window sets up Talvora, to the database at `location`.
std::unique_ptr<TSQLConnection> Connection(const std::string& location) {
  auto c = std::make_unique<TSQLConnection>();
  c->SetName("Talvora");
  c->DriverName = "Interbase";
  c->LibraryName = "dbexpint.dll";
  c->GetDriverFunc = "getSQLDriverINTERBASE";
  c->VendorLib = "GDS32.DLL";
  for (const char* line :
       {"DriverName=Interbase", "BlobSize=-1", "CommitRetain=False", "LocaleCode=0000",
        "SQLDialect=3", "Interbase TransIsolation=ReadCommited", "WaitOnLocks=True"})
    c->Params().Add(line);
  c->Params().SetValue("Database", location);
  c->Params().SetValue("User_Name", test_server::kUser);
  c->Params().SetValue("Password", test_server::kPassword);
  return c;
}

// TAjuste / PAjuste / CAjuste with the five persistent fields (a TSQLTable on AJUSTE_CIERRE), or
// a query chain (a TSQLQuery whose text comes from the cached dataset).
struct Chain {
  Chain(TSQLConnection& connection, bool table, TProviderOptions options, bool ajusteFields) {
    if (table) {
      auto t = std::make_unique<TSQLTable>(&owner);
      t->SetName("TAjuste");
      t->SetTableName("AJUSTE_CIERRE");
      sql = std::move(t);
    } else {
      sql = std::make_unique<TSQLQuery>(&owner);
      sql->SetName("SQLQuery1");
    }
    sql->SetSQLConnection(&connection);
    provider.SetName("PAjuste");
    provider.SetDataSet(sql.get());
    provider.SetOptions(options);
    cds.SetName("CAjuste");
    cds.ProviderName = "PAjuste";
    cds.PacketRecords = 1000;
    if (ajusteFields) {
      cds.AddField<TIntegerField>("AJCI_ID").SetRequired(true);
      cds.AddField<TDateField>("AJCI_FECINI").SetDisplayLabel("F.Desde");
      cds.AddField<TDateField>("AJCI_FECFIN").SetDisplayLabel("F.Hasta");
      cds.AddField<TFMTBCDField>("AJCI_PORC").SetDisplayLabel("Porc");
      cds.AddField<TFMTBCDField>("AJCI_FACTOR").SetDisplayLabel("Factor");
    }
  }
  void Open() { clienttest::OpenCounting(cds, provider, requests); }
  int Visible() { return clienttest::VisibleRows(cds); }

  TComponent owner;
  std::unique_ptr<TCustomSQLDataSet> sql;
  TDataSetProvider provider{&owner};
  TClientDataSet cds{&owner};
  Requests requests;
};

class CachedFirebird : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = new TestDatabase();
    db_->FillAjusteCierre(2500);
    db_->Execute("INSERT INTO AJUSTE_CIERRE VALUES (9001, '2027-03-30', NULL, 0.8, 0.8);");
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
  void SetUp() override { connection_ = Connection(db_->Path()); }
  TSQLConnection& Conn() { return *connection_; }

  static TestDatabase* db_;
  std::unique_ptr<TSQLConnection> connection_;
};
TestDatabase* CachedFirebird::db_ = nullptr;

TEST_F(CachedFirebird, AFilteredOpeningFetchesEverythingAndShowsOneDate) {
  Chain c(Conn(), true, 0, true);
  c.cds.SetFilter("AJCI_FECINI = '02/01/2026'");
  c.cds.SetFiltered(true);
  c.Open();
  EXPECT_EQ(c.requests, (Requests{{1000, 1}, {-1, 0}}));
  EXPECT_EQ(c.cds.RowsInMemory(), 2501);
  EXPECT_FALSE(c.sql->Active());
  int visible = 0;
  for (c.cds.First(); !c.cds.Eof(); c.cds.Next()) {
    EXPECT_EQ(c.cds.FieldByName("AJCI_FECINI").AsDateTime(), EncodeDate(2026, 1, 2));
    ++visible;
  }
  EXPECT_EQ(visible, 7);  // ids 1, 366, 731, ... up to 2500

  // Deleting every visible row stops at the last one and leaves the others.
  c.cds.First();
  while (!c.cds.Eof()) c.cds.Delete();
  EXPECT_EQ(c.cds.ChangeCount(), 7);
  EXPECT_EQ(c.cds.RowsInMemory(), 2494);
  c.cds.Close();
  EXPECT_EQ(c.requests.back(), (std::pair<int, int>{0, grReset}));
  c.Open();  // closing discarded the deletions
  EXPECT_EQ(c.cds.RowsInMemory(), 2501);
  EXPECT_EQ(c.cds.ChangeCount(), 0);
}

TEST_F(CachedFirebird, APostOutsideTheFilterLeavesAVisibleRowToEditAndDelete) {
  struct Case {
    const char* what;
    const char* filter;
    bool last;  // start from the last visible row instead of the first
    bool insert;
    int written;  // AJCI_ID of the row that leaves the view
    int current;  // AJCI_ID after the post; 0: none left
  };
  // '02/01/2026' shows ids 1, 366, 731, 1096, 1461, 1826, 2191; '30/03/2027' only 9001.
  const Case cases[] = {
      {"edited out: the next one", "02/01/2026", false, false, 1, 366},
      {"edited out, none after: the previous one", "02/01/2026", true, false, 2191, 1826},
      {"inserted outside: the row it stands before", "02/01/2026", false, true, 9100, 1},
      {"the only visible row edited out", "30/03/2027", false, false, 9001, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Chain c(Conn(), true, 0, true);
    bool deleteErrorCalled = false;
    c.cds.OnDeleteError = [&](TDataSet&, EDatabaseError&, TDataAction&) {
      deleteErrorCalled = true;
    };
    c.cds.SetFilter(std::string("AJCI_FECINI = '") + k.filter + "'");
    c.cds.SetFiltered(true);
    c.Open();
    const int visibleBefore = c.Visible();
    c.cds.First();
    if (k.last) c.cds.Last();
    if (k.insert) {
      c.cds.Insert();
      c.cds.FieldByName("AJCI_ID").SetAsInteger(k.written);
    } else {
      c.cds.Edit();
    }
    c.cds.FieldByName("AJCI_FECINI").SetAsDateTime(EncodeDate(2026, 1, 3));
    c.cds.Post();
    EXPECT_EQ(c.cds.IsEmpty(), k.current == 0);

    if (k.current == 0) {
      EXPECT_TRUE(c.cds.Eof());
      c.cds.Edit();  // nothing visible to edit: an insert begins
      EXPECT_EQ(c.cds.State(), TDataSetState::dsInsert);
      c.cds.Cancel();
      try {
        c.cds.Delete();
        ADD_FAILURE() << "deleted";
      } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "CAjuste: Cannot perform this operation on an empty dataset");
      }
      EXPECT_FALSE(deleteErrorCalled);
      EXPECT_EQ(c.cds.ChangeCount(), 1);
    } else {
      ASSERT_EQ(c.cds.FieldByName("AJCI_ID").AsInteger(), k.current);
      EXPECT_EQ(c.Visible(), k.insert ? visibleBefore : visibleBefore - 1);
      ASSERT_TRUE(c.cds.Locate("AJCI_ID", {std::int64_t{k.current}}));
      // A further edit and a delete act on the visible row, not on the one that left.
      c.cds.Edit();
      c.cds.FieldByName("AJCI_FACTOR").SetAsCurrency(Currency::FromRaw(1234));
      c.cds.Post();
      EXPECT_EQ(c.cds.FieldByName("AJCI_ID").AsInteger(), k.current);
      EXPECT_EQ(c.cds.FieldByName("AJCI_FACTOR").AsCurrency(), Currency::FromRaw(1234));
      c.cds.Delete();
      EXPECT_FALSE(deleteErrorCalled);
      EXPECT_EQ(c.cds.ChangeCount(), 2);
      EXPECT_EQ(c.Visible(), k.insert ? visibleBefore - 1 : visibleBefore - 2);
    }

    c.cds.SetFiltered(false);
    if (k.current != 0) {
      EXPECT_FALSE(c.cds.Locate("AJCI_ID", {std::int64_t{k.current}}));
    }
    ASSERT_TRUE(c.cds.Locate("AJCI_ID", {std::int64_t{k.written}}));
    EXPECT_EQ(c.cds.FieldByName("AJCI_FECINI").AsDateTime(), EncodeDate(2026, 1, 3));
    EXPECT_NE(c.cds.FieldByName("AJCI_FACTOR").AsCurrency(), Currency::FromRaw(1234));
  }
}

TEST_F(CachedFirebird, PacketsOfAQueryFollowItsSize) {
  struct Case {
    const char* sql;
    Requests afterOpen;
    bool openAfterOpen;
    Requests afterWalk;
    int rows;
  };
  const Case cases[] = {
      {"select AJCI_ID from AJUSTE_CIERRE rows 1000",
       {{1000, 1}},
       true,
       {{1000, 1}, {1000, 0}},
       1000},
      {"select AJCI_ID from AJUSTE_CIERRE where 1 = 0", {{1000, 1}}, false, {{1000, 1}}, 0},
      {"select AJCI_ID from AJUSTE_CIERRE rows 10", {{1000, 1}}, false, {{1000, 1}}, 10},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.sql);
    Chain c(Conn(), false, poAllowCommandText, false);
    c.cds.SetCommandText(k.sql);
    c.Open();
    EXPECT_EQ(c.requests, k.afterOpen);
    EXPECT_EQ(c.sql->Active(), k.openAfterOpen);
    EXPECT_EQ(c.cds.IsEmpty(), k.rows == 0);
    c.cds.Open();  // already open: nothing is sent
    EXPECT_EQ(c.requests, k.afterOpen);
    EXPECT_EQ(c.Visible(), k.rows);
    EXPECT_EQ(c.requests, k.afterWalk);
    EXPECT_FALSE(c.sql->Active());
  }
}

TEST_F(CachedFirebird, PacketSettingsChangedWhileOpenActFromTheNextRequest) {
  struct Case {
    const char* what;
    std::function<void(TClientDataSet&)> change;
    Requests requests;  // after walking to the end and moving to the last row
    int walked;
  };
  const Case cases[] = {
      {"PacketRecords 500",
       [](TClientDataSet& d) { d.PacketRecords = 500; },
       {{1000, 1}, {500, 0}, {500, 0}, {500, 0}, {500, 0}},
       2501},
      {"PacketRecords 0", [](TClientDataSet& d) { d.PacketRecords = 0; }, {{1000, 1}}, 1000},
      {"FetchOnDemand off", [](TClientDataSet& d) { d.FetchOnDemand = false; }, {{1000, 1}}, 1000},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    Chain c(Conn(), false, poAllowCommandText, false);
    c.cds.SetCommandText("select AJCI_ID from AJUSTE_CIERRE");
    c.Open();
    k.change(c.cds);
    EXPECT_EQ(c.Visible(), k.walked);
    c.cds.Last();
    EXPECT_EQ(c.cds.RecordCount(), k.walked);
    EXPECT_EQ(c.requests, k.requests);
    // Rows left unread keep the query open until the close resets it.
    EXPECT_EQ(c.sql->Active(), k.walked < 2501);
  }
}

TEST_F(CachedFirebird, LocateUnderACommaSeparatorFindsTheDecimal) {
  Chain c(Conn(), true, 0, true);
  c.cds.Settings.DecimalSeparator = ',';
  c.Open();
  c.cds.Next();
  EXPECT_TRUE(c.cds.Locate("AJCI_PORC", {Currency::FromRaw(8000)}));
  EXPECT_EQ(c.cds.FieldByName("AJCI_ID").AsInteger(), 9001);
  EXPECT_EQ(c.cds.FieldByName("AJCI_FACTOR").AsString(), "0,8");
  EXPECT_FALSE(c.cds.Locate("AJCI_PORC", {Currency::FromInt(16)}));
  EXPECT_EQ(c.cds.FieldByName("AJCI_ID").AsInteger(), 9001);
}

TEST_F(CachedFirebird, FieldsCreatedForARateListKeepTheDecimalsOfTheColumn) {
  Chain c(Conn(), false, poAllowCommandText, false);
  c.cds.Settings.DecimalSeparator = ',';
  c.cds.SetCommandText("SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA");
  c.Open();
  ASSERT_EQ(c.cds.FieldCount(), 1);
  TField& rate = c.cds.Fields(0);
  EXPECT_EQ(rate.FieldName(), "TAIV_PORC");
  EXPECT_NE(dynamic_cast<TFMTBCDField*>(&rate), nullptr);
  EXPECT_EQ(rate.Precision(), 15);
  EXPECT_EQ(rate.Size(), 4);
  std::vector<std::string> rates;
  for (; !c.cds.Eof(); c.cds.Next()) rates.push_back(rate.DisplayText());
  EXPECT_EQ(rates, (std::vector<std::string>{"0", "5", "19"}));
}

TEST_F(CachedFirebird, FieldsCreatedAtOpenHaveTheClassesOfTheSqlDataset) {
  Chain c(Conn(), true, 0, false);
  static_cast<TSQLTable&>(*c.sql).SetTableName("CLASES");
  struct Shape {
    std::string name;
    TFieldType type;
    std::int32_t size, precision;
    bool operator==(const Shape&) const = default;
  };
  const auto shapes = [](const TDataSet& d) {
    std::vector<Shape> out;
    for (int i = 0; i < d.FieldCount(); ++i) {
      const TField& f = d.Fields(i);
      out.push_back({f.FieldName(), f.DataType(), f.Size(), f.Precision()});
    }
    return out;
  };
  c.sql->Open();
  const std::vector<Shape> sqlShapes = shapes(*c.sql);
  c.sql->Close();
  c.Open();
  EXPECT_EQ(shapes(c.cds), sqlShapes);
  const std::vector<TFieldType> expected = {
      TFieldType::ftInteger, TFieldType::ftBCD,   TFieldType::ftFMTBcd,  TFieldType::ftFixedChar,
      TFieldType::ftString,  TFieldType::ftBytes, TFieldType::ftVarBytes};
  ASSERT_EQ(c.cds.FieldCount(), static_cast<int>(expected.size()));
  for (int i = 0; i < c.cds.FieldCount(); ++i) {
    EXPECT_EQ(c.cds.Fields(i).DataType(), expected[static_cast<std::size_t>(i)]) << i;
  }
  EXPECT_NE(dynamic_cast<TBCDField*>(&c.cds.FieldByName("CLA_IMPORTE")), nullptr);
  EXPECT_EQ(c.cds.FieldByName("CLA_CODIGO").AsString().rfind("AB", 0), 0u);
  EXPECT_EQ(c.cds.FieldByName("CLA_HUELLA").AsString(), std::string("\x01\x02\x03\x04", 4));
  EXPECT_EQ(c.cds.FieldByName("CLA_CLAVE").AsString(), std::string("\x0A\x0B", 2));
}

TEST_F(CachedFirebird, APersistentBcdFieldBindsToANumericOfNineAndTwo) {
  Chain c(Conn(), true, 0, false);
  static_cast<TSQLTable&>(*c.sql).SetTableName("CLASES");
  TBCDField& importe = c.cds.AddField<TBCDField>("CLA_IMPORTE");
  c.cds.AddField<TFMTBCDField>("CLA_PORC");
  c.cds.Settings.DecimalSeparator = ',';
  c.Open();
  EXPECT_EQ(importe.AsString(), "1234,56");
  EXPECT_EQ(importe.AsCurrency(), Currency::FromRaw(12345600));
  c.cds.Edit();
  importe.SetAsString("99,5");
  c.cds.Post();
  EXPECT_EQ(importe.AsString(), "99,5");
  EXPECT_EQ(c.cds.ChangeCount(), 1);
  c.cds.Close();

  // A formatted-BCD field over the same column is refused.
  Chain wrong(Conn(), true, 0, false);
  static_cast<TSQLTable&>(*wrong.sql).SetTableName("CLASES");
  wrong.cds.AddField<TFMTBCDField>("CLA_IMPORTE");
  try {
    wrong.Open();
    ADD_FAILURE() << "opened";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(),
              "CAjuste: Type mismatch for field 'CLA_IMPORTE', expecting: FMTBcd actual: BCD");
  }
}

TEST_F(CachedFirebird, ParametersOfTheCommandTextTravelWithTheFirstRequest) {
  Chain c(Conn(), false, poAllowCommandText, false);
  c.cds.SetCommandText("select AJCI_ID, AJCI_FACTOR from AJUSTE_CIERRE where AJCI_ID = :ID");
  for (std::int32_t id : {9001, 17, 123456}) {
    SCOPED_TRACE(id);
    c.cds.Params().ParamByName("ID").SetAsInteger(id);
    c.Open();
    if (id == 123456) {
      EXPECT_TRUE(c.cds.IsEmpty());
    } else {
      EXPECT_EQ(c.cds.FieldByName("AJCI_ID").AsInteger(), id);
      EXPECT_EQ(c.cds.RecordCount(), 1);
    }
    c.cds.Close();
  }
}

TEST_F(CachedFirebird, ARequiredNullIdFailsThePostThroughOnPostError) {
  Chain c(Conn(), true, 0, true);
  std::string seen;
  c.cds.OnPostError = [&](TDataSet&, EDatabaseError& e, TDataAction& action) {
    seen = e.Message();
    action = TDataAction::daAbort;
  };
  c.Open();
  c.cds.Insert();
  c.cds.FieldByName("AJCI_FECINI").SetAsDateTime(EncodeDate(2026, 3, 30));
  c.cds.FieldByName("AJCI_FACTOR").SetAsCurrency(Currency::FromRaw(8000));
  EXPECT_THROW(c.cds.Post(), EAbort);
  EXPECT_EQ(seen, "Field 'AJCI_ID' must have a value");
  EXPECT_EQ(c.cds.State(), TDataSetState::dsInsert);
}

TEST_F(CachedFirebird, FailuresOfTheProviderArriveAsOleExceptions) {
  struct Case {
    const char* sql;
    TProviderOptions options;
  };
  const Case cases[] = {
      {"select 1 / 0 from rdb$database", poAllowCommandText},  // the server's text ends in "."
      {"select * from NO_SUCH_TABLE", poAllowCommandText},
      {"select AJCI_ID from AJUSTE_CIERRE", 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.sql);
    Chain c(Conn(), false, k.options, false);
    c.cds.SetCommandText(k.sql);
    try {
      c.Open();
      ADD_FAILURE() << "opened";
    } catch (const EOleException& e) {
      ASSERT_FALSE(e.Message().empty());
      EXPECT_NE(e.Message().back(), '.');
      EXPECT_GT(static_cast<unsigned char>(e.Message().back()), 32);
      if (k.options == 0) {
        EXPECT_EQ(e.Message(), "CommandText changes are not allowed");
      }
    }
    EXPECT_FALSE(c.cds.Active());
    EXPECT_FALSE(c.sql->Active());
  }
}

TEST(CachedFirebirdMoments, DatesAndTimesOfTheWholeCalendarComeBackThroughThePacket) {
  const std::vector<Moment> moments = CalendarMoments();
  TestDatabase db;
  std::string rows = "create table MOMENTOS (ID integer, TS timestamp, D date, T time);";
  for (int id = 1; const Moment& m : moments) {
    const std::string stamp = TimestampLiteral(m);
    rows += "insert into MOMENTOS values (" + std::to_string(id++) + ", '" + stamp + "', '" +
            stamp.substr(0, 10) + "', '" + stamp.substr(11) + "');";
  }
  db.Execute(rows);
  auto connection = Connection(db.Path());
  Chain c(*connection, false, poAllowCommandText, false);
  c.cds.SetCommandText("select TS, D, T from MOMENTOS order by ID");
  c.Open();
  for (const Moment& m : moments) {
    SCOPED_TRACE(m);
    ASSERT_FALSE(c.cds.Eof());
    EXPECT_EQ(MomentOf(c.cds.FieldByName("TS").AsDateTime()), m);
    EXPECT_EQ(c.cds.FieldByName("D").AsDateTime(), EncodeDate(m.year, m.month, m.day));
    EXPECT_EQ(c.cds.FieldByName("T").AsDateTime(), EncodeTime(m.hour, m.minute, m.second, m.msec));
    c.cds.Next();
  }
  EXPECT_TRUE(c.cds.Eof());
}

TEST_F(CachedFirebird, AComponentThatIsNotAProviderIsNoProvider) {
  TComponent owner;
  TComponent notProvider(&owner);
  notProvider.SetName("PAjuste");
  TClientDataSet cds(&owner);
  cds.SetName("CAjuste");
  cds.ProviderName = "PAjuste";
  try {
    cds.Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "CAjuste: Missing data provider or data packet");
  }
}

}  // namespace
