// Connecting through the driver: results and texts of success and of a refused connect.
#include <gtest/gtest.h>

#include "tests/db/firebird/driver_harness.h"
#include "tests/db/firebird/temp_database.h"
#include "tests/db/firebird/test_schema.h"

namespace {

TEST(FirebirdConnect, TheEntryPointLoadsTheClientLibraryByItsStoredName) {
  struct Case {
    const char* vendorLib;
    SQLResult result;
  };
  const Case cases[] = {
      {"GDS32.DLL", kSqlSuccess},
      {"gds32.dll", kSqlSuccess},
      {"libfbclient.so.2", kSqlSuccess},
      {"no-such-client.dll", kSqlDriverInitFailed},
      // A library that loads but is no database client.
      {"libm.so.6", kSqlDriverInitFailed},
      {"", kSqlDriverInitFailed},
  };
  const SQLDriverEntry entry = DriverEntry();
  ASSERT_NE(entry, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.vendorLib);
    ISQLDriver* raw = reinterpret_cast<ISQLDriver*>(1);
    EXPECT_EQ(entry(c.vendorLib, "", &raw), c.result);
    std::unique_ptr<ISQLDriver> driver(raw);
    EXPECT_EQ(driver != nullptr, c.result == kSqlSuccess);
  }
  EXPECT_EQ(entry("GDS32.DLL", "", nullptr), kSqlInvalidParameter);
}

TEST(FirebirdConnect, EmbeddedFileConnectsAndDisconnects) {
  TempDatabase db(kTestSchema);
  auto c = Connect(db.Path());
  ASSERT_EQ(c.result, kSqlSuccess) << ErrorText(*c.connection);
  EXPECT_EQ(Rows(*c.connection, "select count(*) from AJUSTE_CIERRE"),
            (std::vector<std::vector<std::string>>{{"2"}}));
  EXPECT_EQ(c.connection->disconnect(), kSqlSuccess);
  // A second disconnect has nothing left to do.
  EXPECT_EQ(c.connection->disconnect(), kSqlSuccess);
}

TEST(FirebirdConnect, RefusedConnectsAnswerConnectionFailedWithTheServersText) {
  TempDatabase db(kTestSchema);
  struct Case {
    std::string location;
    std::string expectedStart;  // the first line of the server's text
    bool twoLines;
  };
  const Case cases[] = {
      {db.Folder() + "/missing.fdb",
       "I/O error during \"open\" operation for file \"" + db.Folder() + "/missing.fdb\"", true},
      {"/datos/01/talvora.fdb",
       "I/O error during \"open\" operation for file \"/datos/01/talvora.fdb\"", true},
      // Nobody listens on this port of the loopback address.
      {"127.0.0.1/1:" + db.Path(), "Unable to complete network request to host \"127.0.0.1\".",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.location);
    auto conn = Connect(c.location);
    EXPECT_EQ(conn.result, kSqlConnectFailed);
    const std::string text = ErrorText(*conn.connection);
    EXPECT_EQ(text.substr(0, c.expectedStart.size()), c.expectedStart) << text;
    EXPECT_EQ(text.find('\n') != std::string::npos, c.twoLines) << text;
    // Nothing was attached: statements are refused, not run against a stale handle.
    std::unique_ptr<ISQLCommand> command;
    EXPECT_EQ(conn.connection->getSQLCommand(command), kSqlInvalidHandle);
  }
}

TEST(FirebirdConnect, ReconnectingDropsTheStatementsOfTheEarlierAttachment) {
  TempDatabase db(kTestSchema);
  auto c = Connect(db.Path());
  ASSERT_EQ(c.result, kSqlSuccess);
  std::unique_ptr<ISQLCommand> command;
  ASSERT_EQ(c.connection->getSQLCommand(command), kSqlSuccess);
  ASSERT_EQ(command->prepare("select AJCI_ID from AJUSTE_CIERRE", 0), kSqlSuccess);
  ASSERT_EQ(c.connection->connect(db.Path(), "SYSDBA", "masterkey"), kSqlSuccess);
  std::unique_ptr<ISQLCursor> cursor;
  EXPECT_EQ(command->execute(cursor), kSqlInvalidHandle);
  EXPECT_EQ(cursor, nullptr);
  // The new attachment works.
  EXPECT_EQ(Rows(*c.connection, "select count(*) from AJUSTE_CIERRE").size(), 1u);
}

}  // namespace
