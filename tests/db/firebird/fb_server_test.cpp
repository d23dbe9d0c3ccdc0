// The driver through a Firebird server on the loopback address (the test run's own server): user
// and password are checked by the server, and its texts come back unchanged.
#include <gtest/gtest.h>

#include "tests/db/firebird/driver_harness.h"
#include "tests/db/firebird/temp_database.h"
#include "tests/db/firebird/test_schema.h"
#include "tests/support/test_database.h"

namespace {

using test_server::kHost;
using test_server::kPassword;
using test_server::kPort;
using test_server::kUser;

std::string OnServer(const std::string& path) {
  return test_server::Location(path);
}

// How the current attachment reached the database: empty when opened in-process.
std::string Protocol(ISQLConnection& connection) {
  return Rows(connection,
              "select coalesce(mon$remote_protocol, '') from mon$attachments "
              "where mon$attachment_id = current_connection")[0][0];
}

TEST(FirebirdServer, ConnectsThroughTheServerAndRunsStatements) {
  TempDatabase db(kTestSchema);
  auto c = Connect(OnServer(db.Path()), kUser, kPassword);
  ASSERT_EQ(c.result, kSqlSuccess) << ErrorText(*c.connection);
  EXPECT_EQ(Protocol(*c.connection).substr(0, 3), "TCP");
  Exec(*c.connection, "insert into MARCAS values (1)");
  // A second attachment sees the statement's own transaction committed.
  auto other = Connect(OnServer(db.Path()), kUser, kPassword);
  ASSERT_EQ(other.result, kSqlSuccess);
  EXPECT_EQ(Rows(*other.connection, "select count(*) from MARCAS")[0][0], "1");
}

TEST(FirebirdServer, HostAndPortOptionsReachTheServerForAPlainPath) {
  TempDatabase db(kTestSchema);
  std::unique_ptr<ISQLConnection> conn;
  ASSERT_EQ(Driver().getSQLConnection(conn), kSqlSuccess);
  conn->setTextOption(ConnectionOption::HostName, kHost);
  conn->setTextOption(ConnectionOption::ServerPort, kPort);
  ASSERT_EQ(conn->connect(db.Path(), kUser, kPassword), kSqlSuccess) << ErrorText(*conn);
  EXPECT_EQ(Protocol(*conn).substr(0, 3), "TCP");
}

TEST(FirebirdServer, RefusedConnectsAnswerConnectionFailedWithTheServersText) {
  TempDatabase db(kTestSchema);
  struct Case {
    std::string location;
    std::string password;
    std::string expectedStart;
  };
  const Case cases[] = {
      {OnServer(db.Path()), "wrong",
       "Your user name and password are not defined. Ask your database administrator to set up "
       "a Firebird login."},
      {OnServer(db.Folder() + "/missing.fdb"), kPassword,
       "I/O error during \"open\" operation for file \"" + db.Folder() + "/missing.fdb\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.location + " / " + c.password);
    auto conn = Connect(c.location, kUser, c.password);
    EXPECT_EQ(conn.result, kSqlConnectFailed);
    const std::string text = ErrorText(*conn.connection);
    EXPECT_EQ(text.substr(0, c.expectedStart.size()), c.expectedStart) << text;
  }
}

TEST(FirebirdServer, ADuplicateKeyComesBackWithTheServersText) {
  TempDatabase db(kTestSchema);
  auto c = Connect(OnServer(db.Path()), kUser, kPassword);
  ASSERT_EQ(c.result, kSqlSuccess) << ErrorText(*c.connection);
  std::unique_ptr<ISQLCommand> command;
  ASSERT_EQ(c.connection->getSQLCommand(command), kSqlSuccess);
  ASSERT_EQ(command->prepare("insert into AJUSTE_CIERRE (AJCI_ID) values (?)", 1), kSqlSuccess);
  const std::int32_t id = 1;
  ASSERT_EQ(command->setParameter(1, ParamDirection::Input, SqlType::Int32, SqlSubType::None, 4, 0,
                                  0, &id, false),
            kSqlSuccess);
  std::unique_ptr<ISQLCursor> cursor;
  EXPECT_EQ(command->execute(cursor), kSqlServerError);
  const std::string text = ErrorText(*command);
  EXPECT_EQ(text.rfind("violation of PRIMARY or UNIQUE KEY constraint \"", 0), 0u) << text;
  EXPECT_NE(text.find("\" on table \"AJUSTE_CIERRE\""), std::string::npos) << text;
}

}  // namespace
