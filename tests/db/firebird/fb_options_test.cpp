// Options of the driver's connection and metadata objects, as the connection layer reads them.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/db/firebird/driver_harness.h"
#include "tests/db/firebird/temp_database.h"
#include "tests/db/firebird/test_schema.h"

namespace {

std::int32_t IntOption(ISQLObject& object, std::int32_t option, SQLResult expected = kSqlSuccess) {
  std::int32_t value = -99, length = 0;
  EXPECT_EQ(object.getOption(option, &value, sizeof value, length), expected) << option;
  return value;
}

std::string TextOption(ISQLObject& object, std::int32_t option) {
  char buffer[256];
  std::memset(buffer, 'x', sizeof buffer);
  std::int32_t length = 0;
  EXPECT_EQ(object.getOption(option, buffer, sizeof buffer, length), kSqlSuccess) << option;
  EXPECT_EQ(std::strlen(buffer), static_cast<std::size_t>(length));
  return buffer;
}

TEST(FirebirdOptions, AnswersWhatTheConnectionLayerReadsAfterConnecting) {
  TempDatabase db(kTestSchema);
  auto c = Connect(db.Path());
  ASSERT_EQ(c.result, kSqlSuccess);
  ISQLConnection& conn = *c.connection;
  EXPECT_EQ(IntOption(conn, ConnectionOption::MaxStatements), 0);
  EXPECT_EQ(IntOption(conn, ConnectionOption::SqlDialect), 3);

  std::unique_ptr<ISQLMetaData> meta;
  ASSERT_EQ(conn.getSQLMetaData(meta), kSqlSuccess);
  EXPECT_EQ(meta->setTextOption(MetaDataOption::SchemaName, "SYSDBA"), kSqlSuccess);
  EXPECT_EQ(TextOption(*meta, MetaDataOption::ObjectQuoteChar), "\"");
  EXPECT_EQ(IntOption(*meta, MetaDataOption::SupportsTransaction), 1);
  EXPECT_EQ(IntOption(*meta, MetaDataOption::SupportsTransactions), 0);
  EXPECT_EQ(conn.setOption(ConnectionOption::BlobSize, -1), kSqlSuccess);
  // Options this driver has no use for are accepted, and not answered when read.
  EXPECT_EQ(conn.setOption(ConnectionOption::OSAuthentication, 1), kSqlSuccess);
  EXPECT_EQ(conn.setTextOption(ConnectionOption::CustomString, "x"), kSqlSuccess);
  IntOption(conn, 999, kSqlNotSupported);
}

TEST(FirebirdOptions, QuotesObjectNamesForTheDialect) {
  struct Case {
    int dialect;
    const char* name;
    const char* quoted;
  };
  const Case cases[] = {
      {3, "AJUSTE_CIERRE", "\"AJUSTE_CIERRE\""},
      {3, "ajuste_cierre", "\"AJUSTE_CIERRE\""},
      {3, "\"Mixed Case\"", "\"Mixed Case\""},
      {3, "SYSDBA.AJUSTE_CIERRE", "\"SYSDBA\".\"AJUSTE_CIERRE\""},
      {3, "A\"B", "\"A\"\"B\""},
      {1, "AJUSTE_CIERRE", "AJUSTE_CIERRE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<ISQLConnection> conn;
    ASSERT_EQ(Driver().getSQLConnection(conn), kSqlSuccess);
    ASSERT_EQ(conn->setOption(ConnectionOption::SqlDialect, c.dialect), kSqlSuccess);
    ASSERT_EQ(conn->setTextOption(ConnectionOption::QualifiedName, c.name), kSqlSuccess);
    EXPECT_EQ(TextOption(*conn, ConnectionOption::QuotedObjectName), c.quoted);
  }
}

TEST(FirebirdOptions, AQuotedTableNameSelectsTheTable) {
  TempDatabase db(kTestSchema);
  auto c = Connect(db.Path());
  ASSERT_EQ(c.result, kSqlSuccess);
  ASSERT_EQ(c.connection->setTextOption(ConnectionOption::QualifiedName, "AJUSTE_CIERRE"),
            kSqlSuccess);
  const std::string sql =
      " select * from " + TextOption(*c.connection, ConnectionOption::QuotedObjectName);
  EXPECT_EQ(Rows(*c.connection, sql).size(), 2u);
}

TEST(FirebirdOptions, ABufferTooSmallIsRefusedUntouched) {
  std::unique_ptr<ISQLConnection> conn;
  ASSERT_EQ(Driver().getSQLConnection(conn), kSqlSuccess);
  conn->setTextOption(ConnectionOption::QualifiedName, "AJUSTE_CIERRE");
  char buffer[8] = "keep";
  std::int32_t length = 0;
  EXPECT_EQ(conn->getOption(ConnectionOption::QuotedObjectName, buffer, sizeof buffer, length),
            kSqlInvalidLength);
  EXPECT_STREQ(buffer, "keep");
  std::int16_t small = 0;
  EXPECT_EQ(conn->getOption(ConnectionOption::MaxStatements, &small, sizeof small, length),
            kSqlInvalidLength);
}

TEST(FirebirdOptions, AnInvalidIsolationOrDialectIsRefused) {
  std::unique_ptr<ISQLConnection> conn;
  ASSERT_EQ(Driver().getSQLConnection(conn), kSqlSuccess);
  EXPECT_EQ(conn->setOption(ConnectionOption::TransIsolation, 3), kSqlInvalidIsolation);
  EXPECT_EQ(conn->setOption(ConnectionOption::SqlDialect, 4), kSqlInvalidParameter);
  EXPECT_EQ(conn->setOption(ConnectionOption::TransIsolation, 2), kSqlSuccess);
}

}  // namespace

namespace {

TEST(FirebirdOptions, ConnectionSettingsShapeTheAttachment) {
  TempDatabase db(kTestSchema);
  {
    auto c = Connect(db.Path());
    ASSERT_EQ(c.result, kSqlSuccess);
    Exec(*c.connection, "insert into TIPOS (ID, C_CHAR) values (1, 'ab')");
  }
  struct Case {
    const char* name;
    std::int32_t dialect;
    const char* role;
    bool trimChar;
    std::string query;
    std::string expected;
  };
  const Case cases[] = {
      // A role the user was never granted is no reason to refuse the login.
      {"role not granted", 3, "RoleName", false, "select current_role from rdb$database", "NONE"},
      {"padded text", 3, "", false, "select C_CHAR from TIPOS", "ab        "},
      {"trimmed text", 3, "", true, "select C_CHAR from TIPOS", "ab"},
      {"dialect 1", 1, "", false, "select 'x' from rdb$database", "x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<ISQLConnection> conn;
    ASSERT_EQ(Driver().getSQLConnection(conn), kSqlSuccess);
    conn->setOption(ConnectionOption::SqlDialect, c.dialect);
    conn->setTextOption(ConnectionOption::RoleName, c.role);
    conn->setOption(ConnectionOption::TrimChar, c.trimChar);
    conn->setOption(ConnectionOption::WaitOnLocks, 1);
    conn->setOption(ConnectionOption::AutoCommit, 0);
    conn->setOption(ConnectionOption::BlockingMode, 1);
    ASSERT_EQ(conn->connect(db.Path(), "SYSDBA", "masterkey"), kSqlSuccess) << ErrorText(*conn);
    const auto rows = Rows(*conn, c.query);
    ASSERT_EQ(rows.size(), 1u);
    std::string value = rows[0][0];
    if (c.query.find("current_role") != std::string::npos) {
      value.erase(value.find_last_not_of(' ') + 1);
    }
    EXPECT_EQ(value, c.expected);
    std::unique_ptr<ISQLMetaData> meta;
    ASSERT_EQ(conn->getSQLMetaData(meta), kSqlSuccess);
    EXPECT_EQ(TextOption(*meta, MetaDataOption::ObjectQuoteChar), c.dialect == 3 ? "\"" : "");
  }
}

}  // namespace
