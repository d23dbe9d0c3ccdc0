// Transactions through the driver: statements outside a transaction commit on their own (a
// selectable procedure too), explicit transactions commit or roll back, and a write statement
// prepared again inside a transaction runs with its own values.
#include <gtest/gtest.h>

#include "tests/db/firebird/driver_harness.h"
#include "tests/db/firebird/temp_database.h"
#include "tests/db/firebird/test_schema.h"

namespace {

using Table = std::vector<std::vector<std::string>>;

class FirebirdTransaction : public ::testing::Test {
 protected:
  void SetUp() override {
    writer_ = Connect(db_.Path());
    reader_ = Connect(db_.Path());
    ASSERT_EQ(writer_.result, kSqlSuccess) << ErrorText(*writer_.connection);
    ASSERT_EQ(reader_.result, kSqlSuccess) << ErrorText(*reader_.connection);
  }
  // What another attachment sees: only committed work.
  std::string Marks() { return Rows(*reader_.connection, "select count(*) from MARCAS")[0][0]; }

  TempDatabase db_{kTestSchema};
  Connected writer_;
  Connected reader_;
};

TEST_F(FirebirdTransaction, AStatementOutsideATransactionCommitsOnItsOwn) {
  Exec(*writer_.connection, "insert into MARCAS values (7)");
  EXPECT_EQ(Marks(), "1");
}

TEST_F(FirebirdTransaction, ASelectableProcedureThatWritesIsCommitted) {
  struct Case {
    const char* name;
    bool readToTheEnd;
  };
  const Case cases[] = {{"read to the end", true}, {"released after the first row", false}};
  int expected = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<ISQLCommand> command;
    ASSERT_EQ(writer_.connection->getSQLCommand(command), kSqlSuccess);
    ASSERT_EQ(command->prepare("select * from ESCRIBE('01/03/2023')", 0), kSqlSuccess)
        << ErrorText(*command);
    std::unique_ptr<ISQLCursor> cursor;
    ASSERT_EQ(command->execute(cursor), kSqlSuccess) << ErrorText(*command);
    ASSERT_EQ(cursor->next(), kSqlSuccess);
    TBcd porc;
    bool isNull = true;
    ASSERT_EQ(cursor->getBcd(2, porc, isNull), kSqlSuccess);
    EXPECT_EQ(BcdToStr(porc, '.'), "0.8");
    if (c.readToTheEnd) {
      EXPECT_EQ(cursor->next(), kSqlNoMoreRows);
    }
    cursor.reset();
    EXPECT_EQ(Marks(), std::to_string(++expected));
  }
}

TEST_F(FirebirdTransaction, AnExecutedProcedureGivesItsOutputsAsOneRow) {
  Exec(*writer_.connection, "insert into MARCAS values (1)");
  std::unique_ptr<ISQLCommand> command;
  ASSERT_EQ(writer_.connection->getSQLCommand(command), kSqlSuccess);
  ASSERT_EQ(command->prepare("execute procedure CUENTA", 0), kSqlSuccess);
  std::unique_ptr<ISQLCursor> cursor;
  ASSERT_EQ(command->execute(cursor), kSqlSuccess) << ErrorText(*command);
  ASSERT_NE(cursor, nullptr);
  ASSERT_EQ(cursor->next(), kSqlSuccess);
  std::int32_t total = 0;
  bool isNull = true;
  EXPECT_EQ(cursor->getLong(1, total, isNull), kSqlSuccess);
  EXPECT_EQ(total, 1);
  EXPECT_EQ(cursor->next(), kSqlNoMoreRows);
}

TEST_F(FirebirdTransaction, ExplicitTransactionsCommitOrRollBack) {
  struct Case {
    const char* name;
    bool commit;
    const char* marksAfter;
  };
  const Case cases[] = {{"commit", true, "2"}, {"rollback", false, "0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Exec(*writer_.connection, "delete from MARCAS");
    TTransactionDesc desc;
    ISQLConnection& w = *writer_.connection;
    ASSERT_EQ(w.beginTransaction(desc), kSqlSuccess) << ErrorText(w);
    EXPECT_EQ(w.beginTransaction(desc), kSqlTransactionActive);
    Exec(w, "insert into MARCAS values (1)");
    Exec(w, "insert into MARCAS values (2)");
    // The writer sees its own work; nobody else does yet.
    EXPECT_EQ(Rows(w, "select count(*) from MARCAS")[0][0], "2");
    EXPECT_EQ(Marks(), "0");
    ASSERT_EQ(c.commit ? w.commit(desc) : w.rollback(desc), kSqlSuccess) << ErrorText(w);
    EXPECT_EQ(Marks(), c.marksAfter);
    EXPECT_EQ(w.commit(desc), kSqlInvalidTransactionId);
    EXPECT_EQ(w.rollback(desc), kSqlInvalidTransactionId);
  }
}

TEST_F(FirebirdTransaction, ARejectedStatementInsideATransactionKeepsTheEarlierWork) {
  ISQLConnection& w = *writer_.connection;
  TTransactionDesc desc;
  ASSERT_EQ(w.beginTransaction(desc), kSqlSuccess);
  Exec(w, "insert into AJUSTE_CIERRE (AJCI_ID) values (10)");
  std::unique_ptr<ISQLCommand> command;
  ASSERT_EQ(w.getSQLCommand(command), kSqlSuccess);
  ASSERT_EQ(command->prepare("insert into AJUSTE_CIERRE (AJCI_ID) values (10)", 0), kSqlSuccess);
  std::unique_ptr<ISQLCursor> cursor;
  EXPECT_EQ(command->execute(cursor), kSqlServerError);
  ASSERT_EQ(w.commit(desc), kSqlSuccess);
  EXPECT_EQ(Rows(*reader_.connection, "select count(*) from AJUSTE_CIERRE")[0][0], "3");
}

TEST_F(FirebirdTransaction, DisconnectingDiscardsAnUncommittedTransaction) {
  ISQLConnection& w = *writer_.connection;
  TTransactionDesc desc;
  desc.IsolationLevel = 1;
  ASSERT_EQ(w.beginTransaction(desc), kSqlSuccess);
  Exec(w, "insert into MARCAS values (1)");
  EXPECT_EQ(w.disconnect(), kSqlSuccess);
  EXPECT_EQ(Marks(), "0");
}

// Prepares `sql` on a new command of `connection` with one integer parameter `n` and runs it.
std::unique_ptr<ISQLCommand> RunWith(ISQLConnection& connection, const char* sql, std::int32_t n) {
  std::unique_ptr<ISQLCommand> command;
  EXPECT_EQ(connection.getSQLCommand(command), kSqlSuccess);
  EXPECT_EQ(command->prepare(sql, 1), kSqlSuccess) << ErrorText(*command);
  EXPECT_EQ(command->setParameter(1, ParamDirection::Input, SqlType::Int32, SqlSubType::None, 4, 0,
                                  0, &n, false),
            kSqlSuccess);
  std::unique_ptr<ISQLCursor> cursor;
  EXPECT_EQ(command->execute(cursor), kSqlSuccess) << ErrorText(*command);
  std::uint32_t rows = 0;
  EXPECT_EQ(command->getRowsAffected(rows), kSqlSuccess);
  EXPECT_EQ(rows, 1u);
  return command;
}

TEST_F(FirebirdTransaction, AWriteStatementPreparedAgainRunsWithItsOwnValues) {
  struct Case {
    const char* name;
    bool commit;
    const char* marksAfter;
  };
  const Case cases[] = {{"commit", true, "1,2,3,4"}, {"rollback", false, ""}};
  constexpr const char* kInsert = "insert into VUELTAS values (?)";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ISQLConnection& w = *writer_.connection;
    Exec(w, "create table VUELTAS (N integer)");
    TTransactionDesc desc;
    ASSERT_EQ(w.beginTransaction(desc), kSqlSuccess) << ErrorText(w);
    RunWith(w, kInsert, 1)->close();
    // Two commands holding the same text at once, and the text taken up again after both.
    std::unique_ptr<ISQLCommand> second = RunWith(w, kInsert, 2);
    std::unique_ptr<ISQLCommand> third = RunWith(w, kInsert, 3);
    second->close();
    third->close();
    RunWith(w, kInsert, 4)->close();
    ASSERT_EQ(c.commit ? w.commit(desc) : w.rollback(desc), kSqlSuccess) << ErrorText(w);
    std::string marks;
    for (const auto& row : Rows(*reader_.connection, "select N from VUELTAS order by N")) {
      marks += (marks.empty() ? "" : ",") + row[0];
    }
    EXPECT_EQ(marks, c.marksAfter);
    // Nothing stays prepared on the table once the transaction ended: it can be dropped.
    Exec(w, "drop table VUELTAS");
  }
}

TEST_F(FirebirdTransaction, CommitRetainingKeepsNothingUncommitted) {
  ISQLConnection& w = *writer_.connection;
  ASSERT_EQ(w.disconnect(), kSqlSuccess);
  w.setOption(ConnectionOption::CommitRetain, 1);
  ASSERT_EQ(w.connect(db_.Path(), "SYSDBA", "masterkey"), kSqlSuccess);
  TTransactionDesc desc;
  for (int i = 1; i <= 2; ++i) {
    ASSERT_EQ(w.beginTransaction(desc), kSqlSuccess) << ErrorText(w);
    Exec(w, "insert into MARCAS values (1)");
    ASSERT_EQ(w.commit(desc), kSqlSuccess) << ErrorText(w);
    EXPECT_EQ(Marks(), std::to_string(i));
  }
}

}  // namespace

namespace {

TEST_F(FirebirdTransaction, TheIsolationLevelDecidesWhatARunningTransactionSees) {
  struct Case {
    std::int32_t isolation;
    const char* countAfterOthersCommit;
  };
  const Case cases[] = {{0, "1"}, {1, "0"}, {2, "1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.isolation);
    Exec(*writer_.connection, "delete from MARCAS");
    ISQLConnection& r = *reader_.connection;
    TTransactionDesc desc;
    desc.IsolationLevel = c.isolation;
    ASSERT_EQ(r.beginTransaction(desc), kSqlSuccess) << ErrorText(r);
    EXPECT_EQ(Rows(r, "select count(*) from MARCAS")[0][0], "0");
    Exec(*writer_.connection, "insert into MARCAS values (1)");
    EXPECT_EQ(Rows(r, "select count(*) from MARCAS")[0][0], c.countAfterOthersCommit);
    ASSERT_EQ(r.commit(desc), kSqlSuccess);
  }
}

TEST_F(FirebirdTransaction, WithoutWaitingOnLocksAConflictFailsAtOnce) {
  Connected noWait;
  ASSERT_EQ(Driver().getSQLConnection(noWait.connection), kSqlSuccess);
  noWait.connection->setOption(ConnectionOption::WaitOnLocks, 0);
  ASSERT_EQ(noWait.connection->connect(db_.Path(), "SYSDBA", "masterkey"), kSqlSuccess);
  ISQLConnection& w = *writer_.connection;
  TTransactionDesc desc;
  ASSERT_EQ(w.beginTransaction(desc), kSqlSuccess);
  Exec(w, "update AJUSTE_CIERRE set AJCI_FACTOR = 0.5 where AJCI_ID = 1");
  std::unique_ptr<ISQLCommand> command;
  ASSERT_EQ(noWait.connection->getSQLCommand(command), kSqlSuccess);
  ASSERT_EQ(command->prepare("update AJUSTE_CIERRE set AJCI_FACTOR = 0.6 where AJCI_ID = 1", 0),
            kSqlSuccess);
  std::unique_ptr<ISQLCursor> cursor;
  EXPECT_EQ(command->execute(cursor), kSqlServerError);
  EXPECT_NE(ErrorText(*command).find("update conflicts with concurrent update"), std::string::npos)
      << ErrorText(*command);
  ASSERT_EQ(w.rollback(desc), kSqlSuccess);
}

}  // namespace
