// The connection over the test driver library: loading, the connect sequence and its options,
// failures and their messages, the hour-glass, transactions, statements and the statement limit.
#include <gtest/gtest.h>

#include "base/exceptions.h"
#include "tests/db/sql/fake_driver_fixture.h"

namespace {

using SqlConnection = FakeDriverTest;

TEST_F(SqlConnection, ConnectPassesTheStoredParametersAsOptionsInOrder) {
  connection_.Open();
  ASSERT_TRUE(connection_.Connected());
  const std::vector<std::string> expected = {
      "entry GDS32.DLL|",
      "getSQLConnection",
      "setTextOption 3 RoleName",  // role
      "setOption 4 1",             // wait on locks
      "setOption 5 0",             // commit retain
      "setOption 6 0",             // isolation: read committed
      "setOption 16 3",            // dialect
      // Location trimmed, user and password as typed.
      "connect /srv/erp/datos/01/talvora.fdb| sysdba| typed ",
      "getOption 14",
      "getSQLMetaData",
      "setTextOption 1 sysdba",
      "getOption 11",
      "setOption 2 -1",
      "getOption 5",
      "getOption 15",
  };
  EXPECT_EQ(Log(), expected);
}

TEST_F(SqlConnection, EveryOptionOfTheParameterListWithItsValue) {
  connection_.Params().Clear();
  for (const char* line :
       {"hostname= db1 ", "ROLENAME=r", "WaitOnLocks=false", "CommitRetain= true ",
        "AutoCommit=TRUE", "BlockingMode=yes", "ServerCharSet=  ", "SqlDialect= 1 ",
        "Interbase TransIsolation=RepeatableRead", "OS Authentication=True", "Server Port= 3051",
        "Multiple Transaction=True", "Trim Char=True", "Custom String= x=y ",
        "Connection Timeout=30", "Database=d", "User_Name=", "Password=p"})
    connection_.Params().Add(line);
  connection_.Open();
  const std::vector<std::string> expected = {
      "setTextOption 10 db1", "setTextOption 3 r",     "setOption 4 0",  "setOption 5 1",
      "setOption 0 1",        "setOption 1 0",         "setOption 6 1",  "setOption 16 1",
      "setOption 20 1",       "setTextOption 23 3051", "setOption 22 1", "setOption 25 1",
      "setTextOption 31 x=y", "setOption 32 30",       "setOption 2 -1",
  };
  std::vector<std::string> options = LogLines("set");
  EXPECT_EQ(options, expected);  // no schema name for an empty user
  EXPECT_EQ(connection_.TransactionDesc().IsolationLevel, 1);
}

TEST_F(SqlConnection, LoadFailuresNameTheStoredLibraryOrEntryPoint) {
  struct Case {
    const char* library;
    const char* function;
    bool entryFails;
    const char* expected;
  };
  const Case cases[] = {
      {" dbexpint-missing.dll ", "getSQLDriverINTERBASE", false,
       "Unable to Load dbexpint-missing.dll"},
      {FAKE_DRIVER_PATH, " getSQLDriverNONE ", false, "Unable to Find Procedure getSQLDriverNONE"},
      {FAKE_DRIVER_PATH, "getSQLDriverINTERBASE", true, "Unable to Load GDS32.DLL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    TSQLConnection connection;
    connection.LibraryName = c.library;
    connection.GetDriverFunc = c.function;
    connection.VendorLib = "GDS32.DLL";
    if (c.entryFails) fail_("entry", 22, "client library missing");
    std::vector<bool> cursor;
    connection.SetWaitCursorHook([&](bool busy) { cursor.push_back(busy); });
    EXPECT_EQ(ErrorOf([&] { connection.Open(); }), c.expected);
    EXPECT_FALSE(connection.Connected());
    EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
  }
}

TEST_F(SqlConnection, FailedConnectStepsComposeTheirMessageAndLeaveTheConnectionClosed) {
  struct Case {
    const char* operation;
    int code;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"connect", 21, "Your user name and password are not defined.",
       "dbExpress Error: [0x0015]: Connection failed\r\nSQL Server Error: Your user name and "
       "password are not defined."},
      {"connect", 12, "", "dbExpress Error: [0x000C] Invalid Username/Password"},
      // The driver fails before any connection object exists: no text to ask for.
      {"getSQLConnection", 2, "ignored",
       "dbExpress Error: [0x0002]: Insufficient Memory for "
       "Operation"},
      {"getSQLMetaData", 300, "no metadata", "SQL Server Error: no metadata"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.operation);
    fail_(c.operation, c.code, c.text);
    EXPECT_EQ(ErrorOf([&] { connection_.Open(); }), c.expected);
    EXPECT_FALSE(connection_.Connected());
    EXPECT_EQ(connection_.LastErrorMessage(), c.expected);
  }
  // A later failure with nothing to say repeats the connection's previous message.
  fail_("connect", 18, "");
  EXPECT_EQ(ErrorOf([&] { connection_.Open(); }), "SQL Server Error: no metadata");
  connection_.Open();
  EXPECT_TRUE(connection_.Connected());
}

TEST_F(SqlConnection, WaitCursorAroundLoadingAndConnectingOnly) {
  std::vector<bool> cursor;
  connection_.SetWaitCursorHook([&](bool busy) { cursor.push_back(busy); });
  fail_("connect", 21, "refused");
  EXPECT_THROW(connection_.Open(), EDatabaseError);
  EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
  connection_.Open();
  connection_.Open();  // already open: no second connect
  EXPECT_EQ(cursor, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(LogLines("connect").size(), 2u);
}

TEST_F(SqlConnection, TransactionsPassTheDescriptorAndGuardTheirOrder) {
  connection_.Params().SetValue("Interbase TransIsolation", "DirtyRead");
  EXPECT_EQ(ErrorOf([&] { connection_.Commit(); }), "There is no active transaction");
  EXPECT_EQ(ErrorOf([&] { connection_.Rollback(); }), "There is no active transaction");
  connection_.StartTransaction();  // opens on demand
  EXPECT_TRUE(connection_.InTransaction());
  EXPECT_EQ(ErrorOf([&] { connection_.StartTransaction(); }), "A transaction is already active");
  connection_.Commit();
  connection_.StartTransaction();
  connection_.Rollback();
  EXPECT_FALSE(connection_.InTransaction());
  const std::vector<std::string> expected = {"beginTransaction 1 0 2 0", "commit 1 0 2 0",
                                             "beginTransaction 1 0 2 0", "rollback 1 0 2 0"};
  std::vector<std::string> calls = LogLines("beginTransaction");
  for (const auto& line : LogLines("commit")) calls.push_back(line);
  for (const auto& line : LogLines("rollback")) calls.push_back(line);
  std::sort(calls.begin(), calls.end());
  std::vector<std::string> sorted = expected;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(calls, sorted);
}

TEST_F(SqlConnection, TransactionFailuresAndUnsupportedTransactions) {
  // "Not supported" from the driver is no failure.
  fail_("beginTransaction", 5, "");
  connection_.StartTransaction();
  fail_("commit", 0x101, "lock conflict on no wait transaction");
  EXPECT_EQ(ErrorOf([&] { connection_.Commit(); }),
            "SQL Server Error: lock conflict on no wait transaction");

  // A driver without transactions: the calls are skipped altogether.
  TSQLConnection other;
  other.LibraryName = FAKE_DRIVER_PATH;
  other.GetDriverFunc = "getSQLDriverINTERBASE";
  other.VendorLib = "GDS32.DLL";
  setIntOption_(MetaDataOption::SupportsTransaction, 0);
  const std::size_t before = LogLines("beginTransaction").size();
  other.StartTransaction();
  other.Commit();
  EXPECT_EQ(LogLines("beginTransaction").size(), before);
}

TEST_F(SqlConnection, StatementsReturnRowsAffectedAndComposeFailures) {
  setRowsAffected_(3);
  EXPECT_EQ(connection_.ExecuteDirect("delete from AJUSTE_CIERRE"), 3);
  std::vector<SQLParamValue> params(2);
  params[0].type = SqlType::Int32;
  params[0].bytes = {7, 0, 0, 0};
  params[0].isNull = false;
  params[1].type = SqlType::Text;
  EXPECT_EQ(connection_.Execute("update T set A = ? where B = ?", params), 3);
  const std::vector<std::string> expected = {"setParameter 1 1 6 0 4 0 0",
                                             "setParameter 2 1 1 0 0 0 0 null"};
  EXPECT_EQ(LogLines("setParameter"), expected);
  EXPECT_EQ(LogLines("setOption 0 ").size(), 2u);  // rows at a time, before each prepare

  fail_("execute", 0x101, "violation of PRIMARY or UNIQUE KEY constraint \"PK\" on table \"T\"");
  EXPECT_EQ(ErrorOf([&] { connection_.ExecuteDirect("insert into T values (1)"); }),
            "SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint \"PK\" on table "
            "\"T\"");
  EXPECT_EQ(LogLines("close command").size(), 3u);  // every command released
}

TEST_F(SqlConnection, SecondConnectionOnceTheStatementLimitIsReached) {
  setIntOption_(ConnectionOption::MaxStatements, 1);
  connection_.Open();
  EXPECT_EQ(connection_.MaxStmtsPerConn(), 1);
  auto first = connection_.NewCommand();
  connection_.NoteSelectPrepared();
  auto second = connection_.NewCommand();  // limit reached: from a second connection
  auto third = connection_.NewCommand();   // nothing prepared since: the first again
  connection_.NoteSelectPrepared();
  connection_.StartTransaction();
  auto fourth = connection_.NewCommand();  // in a transaction: always the first
  const std::vector<std::string> expected = {
      "getSQLCommand from connection 1", "getSQLCommand from connection 2",
      "getSQLCommand from connection 1", "getSQLCommand from connection 1"};
  EXPECT_EQ(LogLines("getSQLCommand"), expected);
  EXPECT_EQ(LogLines("connect").size(), 2u);
  fourth.reset();
  third.reset();
  second.reset();
  first.reset();
  connection_.Close();
  EXPECT_EQ(LogLines("disconnect").size(), 2u);
}

TEST_F(SqlConnection, LocaleBlobAndRowsetSizesFromTheParameters) {
  struct Case {
    std::vector<std::string> lines;
    std::int64_t locale;
    int blobSize;
    int rowsetSize;
  };
  const Case cases[] = {
      {{"LocaleCode=0000", "BlobSize=-1"}, 0, -1, 20},
      {{"LocaleCode=0c0A", "BlobSize= 64 ", "RowsetSize=50"}, 0x0C0A, 64, 50},
      {{"LocaleCode=zz"}, 0, -1, 20},
      {{}, 0, -1, 20},
  };
  for (const Case& c : cases) {
    connection_.Params().Clear();
    for (const auto& line : c.lines) connection_.Params().Add(line);
    EXPECT_EQ(connection_.LocaleCode(), c.locale);
    EXPECT_EQ(connection_.BlobSize(), c.blobSize);
    EXPECT_EQ(connection_.RowsetSize(), c.rowsetSize);
  }
}

TEST_F(SqlConnection, QuotesObjectNamesThroughTheDriver) {
  EXPECT_EQ(connection_.QuotedObjectName("AJUSTE_CIERRE"), "\"AJUSTE_CIERRE\"");
  EXPECT_EQ(LogLines("setTextOption 26").front(), "setTextOption 26 AJUSTE_CIERRE");
  EXPECT_EQ(LogLines("getOption 30").size(), 1u);
}

}  // namespace
