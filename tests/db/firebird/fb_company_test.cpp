// The driver on a company database made from the project's scripts: the tables the program reads
// and the posting procedure, which writes while it returns rows and must stay committed.
#include <gtest/gtest.h>

#include "tests/db/firebird/driver_harness.h"
#include "tests/support/test_database.h"

namespace {

struct ColumnShape {
  std::string name;
  SqlType type;
  std::int16_t precision;
  std::int16_t scale;
};

void ExpectColumns(ISQLCursor& cursor, const std::vector<ColumnShape>& expected) {
  std::uint16_t count = 0;
  ASSERT_EQ(cursor.getColumnCount(count), kSqlSuccess);
  ASSERT_GE(count, expected.size());
  for (std::uint16_t i = 1; i <= expected.size(); ++i) {
    const ColumnShape& e = expected[i - 1];
    SCOPED_TRACE(e.name);
    std::string name;
    SqlType type;
    SqlSubType subType;
    std::int16_t precision = -1, scale = -1;
    cursor.getColumnName(i, name);
    cursor.getColumnType(i, type, subType);
    cursor.getColumnPrecision(i, precision);
    cursor.getColumnScale(i, scale);
    EXPECT_EQ(name, e.name);
    EXPECT_EQ(type, e.type);
    if (type == SqlType::Bcd) {
      EXPECT_EQ(precision, e.precision);
      EXPECT_EQ(scale, e.scale);
    }
  }
}

std::unique_ptr<ISQLCursor> Open(ISQLConnection& conn, std::unique_ptr<ISQLCommand>& command,
                                 const std::string& sql) {
  std::unique_ptr<ISQLCursor> cursor;
  EXPECT_EQ(conn.getSQLCommand(command), kSqlSuccess);
  EXPECT_EQ(command->prepare(sql, 0), kSqlSuccess) << ErrorText(*command);
  EXPECT_EQ(command->execute(cursor), kSqlSuccess) << ErrorText(*command);
  return cursor;
}

TEST(FirebirdCompany, TheTablesTheProgramReadsAreDescribedAsItExpects) {
  TestDatabase db(TestDatabase::Contents::kSchema);
  auto c = Connect(db.Path());
  ASSERT_EQ(c.result, kSqlSuccess) << ErrorText(*c.connection);
  std::unique_ptr<ISQLCommand> command;
  auto cursor = Open(*c.connection, command, " select * from \"AJUSTE_CIERRE\"");
  ASSERT_NE(cursor, nullptr);
  ExpectColumns(*cursor, {{"AJCI_ID", SqlType::Int32, 0, 0},
                          {"AJCI_FECINI", SqlType::Date, 0, 0},
                          {"AJCI_FECFIN", SqlType::Date, 0, 0},
                          {"AJCI_PORC", SqlType::Bcd, 15, 4},
                          {"AJCI_FACTOR", SqlType::Bcd, 15, 4}});
  cursor = Open(*c.connection, command, "SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA");
  ASSERT_NE(cursor, nullptr);
  ExpectColumns(*cursor, {{"TAIV_PORC", SqlType::Bcd, 15, 4}});
  std::vector<std::string> rates;
  while (cursor->next() == kSqlSuccess) {
    TBcd rate;
    bool isNull = true;
    ASSERT_EQ(cursor->getBcd(1, rate, isNull), kSqlSuccess);
    rates.push_back(BcdToStr(rate, '.'));
  }
  EXPECT_EQ(rates, (std::vector<std::string>{"0", "5", "19"}));
}

TEST(FirebirdCompany, ThePostingProcedureCommitsWhatItPostedOutsideATransaction) {
  TestDatabase db(TestDatabase::Contents::kDemo);
  const std::string posting =
      "select * from contado_quelmo_pref('01/10/2026', '30/11/2026', 'CAJ1')";
  const auto entriesBefore = db.Query("select count(*) from ASIENTO");
  {
    auto c = Connect(db.Path());
    ASSERT_EQ(c.result, kSqlSuccess) << ErrorText(*c.connection);
    std::unique_ptr<ISQLCommand> command;
    auto cursor = Open(*c.connection, command, posting);
    ASSERT_NE(cursor, nullptr);
    ExpectColumns(*cursor, {{"ASIENTO", SqlType::Int32, 0, 0},
                            {"FECHA", SqlType::Date, 0, 0},
                            {"PREFIJO_VENTA", SqlType::Text, 0, 0},
                            {"PORC_IVA", SqlType::Bcd, 15, 4},
                            {"FACTOR", SqlType::Bcd, 15, 4},
                            {"VENTAS", SqlType::Bcd, 15, 2}});
    // The program judges the posting by the first row alone and then lets the rows go.
    ASSERT_EQ(cursor->next(), kSqlSuccess) << ErrorText(*cursor);
    cursor.reset();
    command.reset();
    ASSERT_EQ(c.connection->disconnect(), kSqlSuccess);
  }
  // Seen from outside, by the SQL tool: the entries are there.
  EXPECT_NE(db.Query("select count(*) from ASIENTO"), entriesBefore);

  auto again = Connect(db.Path());
  ASSERT_EQ(again.result, kSqlSuccess);
  std::unique_ptr<ISQLCommand> command;
  auto cursor = Open(*again.connection, command, posting);
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(cursor->next(), kSqlNoMoreRows);
}

TEST(FirebirdCompany, APostingTheProcedureRefusesComesBackWithItsText) {
  TestDatabase db(TestDatabase::Contents::kDemo);
  auto c = Connect(db.Path());
  ASSERT_EQ(c.result, kSqlSuccess);
  std::unique_ptr<ISQLCommand> command;
  auto cursor =
      Open(*c.connection, command, "select * from contado_quelmo_pref('31/02/2026', 'x', 'CAJ1')");
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(cursor->next(), kSqlServerError);
  const std::string text = ErrorText(*cursor);
  EXPECT_NE(text.find("Fecha no valida"), std::string::npos) << text;
  EXPECT_EQ(cursor->next(), kSqlNoMoreRows);
}

}  // namespace
