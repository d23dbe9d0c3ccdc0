// The connection layer on the real driver and real databases: reading the company tables with the
// right field classes, refused connects and rejected statements with their composed messages, and
// parameters of every supported type there and back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/bcd.h"
#include "base/date_time.h"
#include "base/exceptions.h"
#include "db/dataset/fields.h"
#include "db/sql/sql_dataset.h"
#include "db/sql/sql_params.h"
#include "tests/support/fixed_text.h"
#include "tests/support/moments.h"
#include "tests/support/test_database.h"

namespace {

constexpr const char* kConnectFailed = "dbExpress Error: [0x0015]: Connection failed\r\n";

// A connection set up as the window's, to `location`.
std::unique_ptr<TSQLConnection> Connection(const std::string& location,
                                           const std::string& user = test_server::kUser,
                                           const std::string& password = test_server::kPassword) {
  auto c = std::make_unique<TSQLConnection>();
  c->ConnectionName = "Talvora";
  c->DriverName = "Interbase";
  c->LibraryName = "dbexpint.dll";
  c->GetDriverFunc = "getSQLDriverINTERBASE";
  c->VendorLib = "GDS32.DLL";
  for (const char* line :
       {"DriverName=Interbase", "BlobSize=-1", "CommitRetain=False",
        "Database=", "ErrorResourceFile=", "LocaleCode=0000", "Password=", "RoleName=RoleName",
        "ServerCharSet=", "SQLDialect=3", "Interbase TransIsolation=ReadCommited",
        "User_Name=sysdba", "WaitOnLocks=True"})
    c->Params().Add(line);
  c->Params().SetValue("Database", location);
  c->Params().SetValue("User_Name", user);
  c->Params().SetValue("password", password);
  return c;
}

template <typename F>
std::string ErrorOf(F action) {
  try {
    action();
  } catch (const EDatabaseError& e) {
    return e.what();
  }
  ADD_FAILURE() << "no database error raised";
  return {};
}

TEST(SqlFirebird, ReadsTheCompanyTablesWithTheirFieldClasses) {
  TestDatabase db;
  db.Execute(
      "insert into AJUSTE_CIERRE values (7, '2026-10-01', '2026-10-31', 19, 0.8125);"
      "insert into AJUSTE_CIERRE values (8, '2026-11-01', null, 5, null);");
  auto connection = Connection(db.Path());
  TSQLTable table;
  table.SetName("SAjuste");
  table.SetSQLConnection(connection.get());
  table.SetTableName("AJUSTE_CIERRE");
  table.Open();  // opens the connection on demand
  EXPECT_TRUE(connection->Connected());

  struct Column {
    const char* name;
    bool (*isClass)(const TField&);
    int size;
    int precision;
  };
  const Column columns[] = {
      {"AJCI_ID", [](const TField& f) { return dynamic_cast<const TIntegerField*>(&f) != nullptr; },
       0, 0},
      {"AJCI_FECINI",
       [](const TField& f) { return dynamic_cast<const TDateField*>(&f) != nullptr; }, 0, 0},
      {"AJCI_FECFIN",
       [](const TField& f) { return dynamic_cast<const TDateField*>(&f) != nullptr; }, 0, 0},
      {"AJCI_PORC",
       [](const TField& f) { return dynamic_cast<const TFMTBCDField*>(&f) != nullptr; }, 4, 15},
      {"AJCI_FACTOR",
       [](const TField& f) { return dynamic_cast<const TFMTBCDField*>(&f) != nullptr; }, 4, 15},
  };
  ASSERT_EQ(table.FieldCount(), 5);
  for (int i = 0; i < 5; ++i) {
    const TField& f = table.Fields(i);
    SCOPED_TRACE(columns[i].name);
    EXPECT_EQ(f.FieldName(), columns[i].name);
    EXPECT_EQ(f.FieldNo(), i + 1);
    EXPECT_TRUE(columns[i].isClass(f));
    EXPECT_EQ(f.Size(), columns[i].size);
    EXPECT_EQ(f.Precision(), columns[i].precision);
  }
  EXPECT_TRUE(table.FieldByName("AJCI_ID").Required());

  EXPECT_EQ(table.FieldByName("AJCI_ID").AsInteger(), 7);
  EXPECT_EQ(table.FieldByName("AJCI_FECINI").AsDateTime(), EncodeDate(2026, 10, 1));
  EXPECT_EQ(BcdToStr(table.FieldByName("AJCI_FACTOR").AsBCD(), '.'), "0.8125");
  EXPECT_EQ(table.FieldByName("AJCI_PORC").AsCurrency(), Currency::FromInt(19));
  table.Next();
  EXPECT_EQ(table.FieldByName("AJCI_ID").AsInteger(), 8);
  EXPECT_TRUE(table.FieldByName("AJCI_FECFIN").IsNull());
  EXPECT_TRUE(table.FieldByName("AJCI_FACTOR").IsNull());
  table.Next();
  EXPECT_TRUE(table.Eof());
  // Back to the start of a forward-only dataset runs the statement again.
  table.First();
  EXPECT_EQ(table.FieldByName("AJCI_ID").AsInteger(), 7);

  TSQLQuery rates;
  rates.SetSQLConnection(connection.get());
  rates.SetSQL("  select TAIV_PORC from TARIFA_IVA order by TAIV_PORC desc");
  rates.Open();
  EXPECT_NE(dynamic_cast<TFMTBCDField*>(&rates.Fields(0)), nullptr);
  std::string seen;
  for (; !rates.Eof(); rates.Next()) seen += BcdToStr(rates.Fields(0).AsBCD(), '.') + " ";
  EXPECT_EQ(seen, "19 5 0 ");

  // Closing the connection closes its datasets first.
  connection->Close();
  EXPECT_FALSE(table.Active());
  EXPECT_FALSE(rates.Active());

  // A connection destroyed before its datasets leaves them without one, not pointing at it.
  rates.Open();
  connection.reset();
  EXPECT_FALSE(rates.Active());
  EXPECT_EQ(ErrorOf([&] { rates.Open(); }), "Missing SQLConnection property");
}

TEST(SqlFirebird, DuplicateColumnNamesAndDatasetFailures) {
  TestDatabase db;
  auto connection = Connection(db.Path());
  TSQLQuery q;
  q.SetSQLConnection(connection.get());
  // The server gives unquoted names in capitals: the last one is A again.
  q.SetSQL("select 1 as A, 2 as A, 3 as A_1, 4 as a from rdb$database");
  q.Open();
  std::string names;
  for (int i = 0; i < q.FieldCount(); ++i) names += q.Fields(i).FieldName() + " ";
  EXPECT_EQ(names, "A A_1 A_1_1 A_2 ");
  q.Close();

  struct Case {
    const char* sql;
    std::string expectedStart;
  };
  const Case cases[] = {
      {"", "Missing query, table name or procedure name"},
      {"delete from AJUSTE_CIERRE", "Cursor not returned from Query"},
      {"select NOPE from AJUSTE_CIERRE", "SQL Server Error: Dynamic SQL Error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    q.SetSQL(c.sql);
    const std::string message = ErrorOf([&] { q.Open(); });
    EXPECT_EQ(message.substr(0, c.expectedStart.size()), c.expectedStart) << message;
    EXPECT_FALSE(q.Active());
  }
  EXPECT_EQ(q.LastErrorMessage().rfind("SQL Server Error: Dynamic SQL Error", 0), 0u);
}

TEST(SqlFirebird, ADuplicateKeyGivesTheServersViolationText) {
  TestDatabase db;
  db.Execute("create table CLAVES (ID integer not null primary key);");
  auto connection = Connection(db.Path());
  EXPECT_EQ(connection->ExecuteDirect("insert into CLAVES values (1)"), 1);
  const std::string message =
      ErrorOf([&] { connection->ExecuteDirect("insert into CLAVES values (1)"); });
  EXPECT_EQ(message.rfind("SQL Server Error: violation of PRIMARY", 0), 0u) << message;
  EXPECT_EQ(connection->LastErrorMessage(), message);
}

TEST(SqlFirebird, ParametersOfEveryTypeRoundTrip) {
  TestDatabase db;
  db.Execute(
      "create table TIPOS (ID integer not null primary key, S smallint, I integer, L bigint, "
      "F double precision, C numeric(18,4), B numeric(15,4), D date, T time, TS timestamp, "
      "V varchar(20), CH char(5), BL blob sub_type 0, M blob sub_type 1);");
  auto connection = Connection(db.Path());
  TParams params;
  params.Add("ID").SetAsInteger(1);
  params.Add("S").SetAsSmallInt(-12);
  params.Add("I").SetAsInteger(-2000000000);
  params.Add("L").SetAsLargeInt(9000000000000000000LL);
  params.Add("F").SetAsFloat(0.1);
  params.Add("C").SetAsCurrency(Currency::Parse("-922337203685477.5807", '.'));
  params.Add("B").SetAsFMTBCD(StrToBcd("12345678901.2345", '.'));
  params.Add("D").SetAsDate(EncodeDate(1, 1, 1));
  params.Add("T").SetAsTime(EncodeTime(23, 59, 59, 999));
  params.Add("TS").SetAsDateTime(EncodeDate(2026, 12, 9) + EncodeTime(18, 30, 0, 5));
  params.Add("V").SetAsString("ñandú 'x'");
  params.Add("CH").SetAsString("ab");
  params.Add("BL").SetAsBlob(std::string("\0\1\2\377", 4));
  params.Add("M").SetAsString("memo text");
  std::vector<SQLParamValue> values;
  for (const TParam& p : params) values.push_back(ToSQLParamValue(p));
  EXPECT_EQ(connection->Execute("insert into TIPOS values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)", values),
            1);
  // A row of nulls.
  for (TParam& p : params) p.Clear();
  params.Items(0).SetAsInteger(2);
  values.clear();
  for (const TParam& p : params) values.push_back(ToSQLParamValue(p));
  connection->Execute("insert into TIPOS values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)", values);

  TSQLQuery q;
  q.SetSQLConnection(connection.get());
  q.SetSQL("select * from TIPOS where ID = :ID");
  ASSERT_EQ(q.Params().Count(), 1);
  q.Params().ParamByName("ID").SetAsInteger(1);
  q.Open();
  EXPECT_EQ(q.FieldByName("S").AsInteger(), -12);
  EXPECT_EQ(q.FieldByName("I").AsInteger(), -2000000000);
  EXPECT_EQ(q.FieldByName("L").AsLargeInt(), 9000000000000000000LL);
  EXPECT_EQ(q.FieldByName("F").AsFloat(), 0.1);
  EXPECT_EQ(BcdToStr(q.FieldByName("C").AsBCD(), '.'), "-922337203685477.5807");
  EXPECT_EQ(BcdToStr(q.FieldByName("B").AsBCD(), '.'), "12345678901.2345");
  EXPECT_EQ(q.FieldByName("D").AsDateTime(), EncodeDate(1, 1, 1));
  EXPECT_EQ(TimeToMSecs(q.FieldByName("T").AsDateTime()), TimeToMSecs(EncodeTime(23, 59, 59, 999)));
  EXPECT_EQ(DateTimeToMSecs(q.FieldByName("TS").AsDateTime()),
            DateTimeToMSecs(EncodeDate(2026, 12, 9) + EncodeTime(18, 30, 0, 5)));
  EXPECT_EQ(q.FieldByName("V").AsString(), "ñandú 'x'");
  EXPECT_EQ(q.FieldByName("CH").AsString().substr(0, 2), "ab");
  TFieldData blob;
  ASSERT_TRUE(q.FieldByName("BL").GetData(blob));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(blob.Data), blob.Size),
            std::string("\0\1\2\377", 4));
  EXPECT_EQ(q.FieldByName("M").AsString(), "memo text");
  q.Close();
  q.Params().ParamByName("ID").SetAsInteger(2);
  q.Open();
  for (int i = 1; i < q.FieldCount(); ++i)
    EXPECT_TRUE(q.Fields(i).IsNull()) << q.Fields(i).FieldName();
}

TEST(SqlFirebird, DatesAndTimesOfTheWholeCalendarComeBackThroughATable) {
  const std::vector<Moment> moments = CalendarMoments();
  TestDatabase db;
  db.Execute(
      "create table MOMENTOS (ID integer not null primary key, TS timestamp, D date, T time);");
  auto connection = Connection(db.Path());
  std::vector<std::string> held;
  for (int id = 1; const Moment& m : moments) {
    TParams params;
    params.Add("ID").SetAsInteger(id);
    params.Add("TS").SetAsDateTime(DateTimeOf(m));
    params.Add("D").SetAsDate(EncodeDate(m.year, m.month, m.day));
    params.Add("T").SetAsTime(EncodeTime(m.hour, m.minute, m.second, m.msec));
    std::vector<SQLParamValue> values;
    for (const TParam& p : params) values.push_back(ToSQLParamValue(p));
    connection->Execute("insert into MOMENTOS values (?, ?, ?, ?)", values);
    // The tool shows four decimals of a second, the date and the time of day apart.
    const std::string stamp = TimestampLiteral(m) + "0";
    held.push_back(std::to_string(id++) + " " + stamp + " " + stamp.substr(0, 10) + " " +
                   stamp.substr(11));
  }
  // As the database holds them, seen by the SQL tool (the embedded engine lets one process in).
  connection->Close();
  EXPECT_EQ(db.Query("select ID || ' ' || TS || ' ' || D || ' ' || T from MOMENTOS order by ID"),
            held);

  TSQLTable table;
  table.SetSQLConnection(connection.get());
  table.SetTableName("MOMENTOS");
  table.Open();
  for (const Moment& m : moments) {
    SCOPED_TRACE(m);
    ASSERT_FALSE(table.Eof());
    EXPECT_EQ(MomentOf(table.FieldByName("TS").AsDateTime()), m);
    EXPECT_EQ(table.FieldByName("D").AsDateTime(), EncodeDate(m.year, m.month, m.day));
    EXPECT_EQ(table.FieldByName("T").AsDateTime(), EncodeTime(m.hour, m.minute, m.second, m.msec));
    table.Next();
  }
  EXPECT_TRUE(table.Eof());
}

TEST(SqlFirebird, FixedTextFieldsHoldTheDeclaredCharacters) {
  struct Reading {
    const char* serverCharSet;  // the window's setting is empty
    bool latin1;                // the text arrives in ISO8859_1 rather than in UTF8
  };
  struct Case {
    const char* databaseCharSet;
    std::vector<Reading> readings;
  };
  const Case cases[] = {
      {"UTF8", {{"", false}, {"UTF8", false}}},
      {"ISO8859_1", {{"", true}, {"UTF8", false}}},
  };
  const char* names[] = {"C1", "C3", "C10"};
  for (const Case& c : cases) {
    const bool utf8Database = std::string(c.databaseCharSet) == "UTF8";
    TestDatabase db(TestDatabase::Contents::kSchema, c.databaseCharSet);
    db.Execute(fixed_text::Script(utf8Database));
    for (const Reading& reading : c.readings) {
      SCOPED_TRACE(std::string(c.databaseCharSet) +
                   " database, ServerCharSet=" + reading.serverCharSet);
      auto connection = Connection(db.Path());
      connection->Params().SetValue("ServerCharSet", reading.serverCharSet);
      TSQLTable table;
      table.SetSQLConnection(connection.get());
      table.SetTableName("TEXTOS");
      table.Open();
      for (int i = 0; i < 3; ++i) {
        const TField& field = table.FieldByName(names[i]);
        EXPECT_EQ(field.DataType(), TFieldType::ftFixedChar) << names[i];
        // Room in bytes for the widest characters of the set the text arrives in.
        EXPECT_GE(field.Size(), (reading.latin1 ? 1 : 4) * fixed_text::kLengths[i]) << names[i];
      }
      for (const fixed_text::Row& row : fixed_text::Rows()) {
        if (!utf8Database && !row.latin1) continue;
        ASSERT_FALSE(table.Eof());
        for (int i = 0; i < 3; ++i) {
          SCOPED_TRACE(row.values[i]);
          EXPECT_EQ(table.FieldByName(names[i]).AsString(),
                    fixed_text::Expected(row.values[i], fixed_text::kLengths[i], reading.latin1));
        }
        table.Next();
      }
      EXPECT_TRUE(table.Eof());
    }
  }
}

TEST(SqlFirebird, AStoredSettingWithoutPasswordFailsAtLogin) {
  TestDatabase db;
  auto connection = Connection(test_server::Location(db.Path()), "sysdba", "");
  TSQLTable table;
  table.SetSQLConnection(connection.get());
  table.SetTableName("AJUSTE_CIERRE");
  const std::string message = ErrorOf([&] { table.Open(); });
  EXPECT_EQ(message.rfind(kConnectFailed, 0), 0u) << message;
  EXPECT_FALSE(connection->Connected());
}

TEST(SqlFirebird, RefusedConnectsComposeConnectionFailedWithTheServersText) {
  TestDatabase db;
  struct Case {
    std::string location;
    std::string password;
    std::string serverText;  // the start of the server's text
  };
  const Case cases[] = {
      {test_server::Location(db.Path()), "wrong",
       "Your user name and password are not defined. Ask your database administrator to set up "
       "a Firebird login."},
      {db.Folder() + "/datos/02/talvora.fdb", test_server::kPassword,
       "I/O error during \"open\" operation for file \"" + db.Folder() + "/datos/02/talvora.fdb\""},
      {std::string(test_server::kHost) + "/3599:" + db.Path(), test_server::kPassword,
       "Unable to complete network request to host \"127.0.0.1\"."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.location);
    auto connection = Connection(c.location, test_server::kUser, c.password);
    std::vector<bool> cursor;
    connection->SetWaitCursorHook([&](bool busy) { cursor.push_back(busy); });
    const std::string message = ErrorOf([&] { connection->Open(); });
    const std::string expectedStart =
        std::string(kConnectFailed) + "SQL Server Error: " + c.serverText;
    EXPECT_EQ(message.substr(0, expectedStart.size()), expectedStart) << message;
    EXPECT_FALSE(connection->Connected());
    EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
  }
}

}  // namespace
