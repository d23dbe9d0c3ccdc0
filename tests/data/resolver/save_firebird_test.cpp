// Saving the adjustment rows of the window on a real company database: the statements the driver
// receives for AJUSTE_CIERRE, byte for byte, and their effect; failing rows under the error
// limits; rows changed by someone else; a transaction the caller holds; saves with nothing to
// send.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exceptions.h"
#include "data/resolver/packet_dataset.h"
#include "tests/data/resolver/resolver_test_util.h"
#include "tests/data/resolver/window_save.h"

namespace {

using resolvertest::WindowSave;
using Rows = std::vector<std::string>;

constexpr char kTwoRows[] =
    "INSERT INTO AJUSTE_CIERRE VALUES (1, '2026-10-01', '2026-10-31', 19, 0.8);"
    "INSERT INTO AJUSTE_CIERRE VALUES (2, '2026-10-01', NULL, 5, 0.9);";

// What the update-error event saw, answering as the window's handler does.
struct Reported {
  std::vector<std::string> messages;
  void AttachTo(WindowSave& w) {
    w.PAjuste().OnUpdateError = [this, &w](TDataSetProvider* sender, TDataSet* dataSet,
                                           EUpdateError& e, TUpdateKind,
                                           TResolverResponse& response) {
      EXPECT_EQ(sender, &w.PAjuste());
      EXPECT_NE(dynamic_cast<TPacketDataSet*>(dataSet), nullptr);
      messages.push_back(e.Message());
      response = TResolverResponse::rrAbort;
    };
  }
};

TEST(SaveFirebird, TheThreeStatementsOfAjusteCierreAndWhatTheyDo) {
  WindowSave w(kTwoRows);
  w.Open();
  w.SetFactor(1, "0.85");
  w.Insert(3, "1");
  w.Seek(2);
  w.CAjuste().Delete();
  EXPECT_EQ(w.CAjuste().ApplyUpdates(0), 0);
  // The end date of row 2 is null: matched with "is null", one parameter fewer.
  const std::vector<resolvertest::Sent> expected = {{resolvertest::kAjusteFactorUpdate, 6},
                                                    {resolvertest::kAjusteInsert, 5},
                                                    {resolvertest::kAjusteDeleteWithoutEnd, 4}};
  ASSERT_EQ(w.SentStatements().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(w.SentStatements()[i].text, expected[i].text);
    EXPECT_EQ(w.SentStatements()[i].params, expected[i].params);
  }
  EXPECT_EQ(w.Table(), (Rows{"1 01/10/2026 31/10/2026 19 0.85", "3 01/10/2026 31/10/2026 19 1"}));
  EXPECT_EQ(w.CAjuste().ChangeCount(), 0);
  EXPECT_FALSE(w.Talvora().InTransaction());

  // Nothing left to send: neither a second save nor a save of an empty log reaches the driver.
  w.ForgetSent();
  EXPECT_EQ(w.CAjuste().ApplyUpdates(0), 0);
  EXPECT_EQ(w.CAjuste().ApplyUpdates(-1), 0);
  EXPECT_TRUE(w.SentStatements().empty());
}

TEST(SaveFirebird, DeletingOneOfTwoIdenticalRowsUndoesTheWholeSave) {
  for (const int limit : {0, -1}) {
    SCOPED_TRACE(limit);
    WindowSave w(
        "INSERT INTO AJUSTE_CIERRE VALUES (7, '2026-10-01', '2026-10-31', 19, 0.8);"
        "INSERT INTO AJUSTE_CIERRE VALUES (7, '2026-10-01', '2026-10-31', 19, 0.8);");
    Reported reported;
    reported.AttachTo(w);
    w.Open();
    w.Insert(8, "0.7");
    w.Seek(7);
    w.CAjuste().Delete();
    w.Insert(9, "0.6");
    const Rows before = w.Table();
    const std::string delta = w.Delta();
    EXPECT_EQ(w.CAjuste().ApplyUpdates(limit), 1);
    EXPECT_EQ(reported.messages, Rows{"Update affected more than 1 record."});
    EXPECT_EQ(w.SentStatements().size(), 2u);  // the insert after it is never sent
    EXPECT_EQ(w.Table(), before);
    EXPECT_EQ(w.Delta(), delta);
    EXPECT_FALSE(w.Talvora().InTransaction());
  }
}

TEST(SaveFirebird, AFailingRowUnderEachLimit) {
  struct Case {
    int limit;
    Rows table;
    int changesLeft;
  };
  const Case cases[] = {
      // Nothing written; the log is the same three inserts.
      {0, {"5 01/10/2026 31/10/2026 5 0.5"}, 3},
      // The first written and kept; the second failed and the third was never sent: both stay.
      {-1, {"4 01/10/2026 31/10/2026 19 0.4", "5 01/10/2026 31/10/2026 5 0.5"}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limit);
    WindowSave w(
        "ALTER TABLE AJUSTE_CIERRE ADD CONSTRAINT PK_AJUSTE_CIERRE PRIMARY KEY (AJCI_ID);"
        "INSERT INTO AJUSTE_CIERRE VALUES (5, '2026-10-01', '2026-10-31', 5, 0.5);");
    Reported reported;
    reported.AttachTo(w);
    w.Open();
    w.Insert(4, "0.4");
    w.Insert(5, "0.45");
    w.Insert(6, "0.6");
    const std::string delta = w.Delta();
    EXPECT_EQ(w.CAjuste().ApplyUpdates(c.limit), 1);
    ASSERT_EQ(reported.messages.size(), 1u);
    EXPECT_EQ(reported.messages[0].rfind("SQL Server Error: violation of PRIMARY or UNIQUE KEY "
                                         "constraint \"PK_AJUSTE_CIERRE\" on table "
                                         "\"AJUSTE_CIERRE\"",
                                         0),
              0u)
        << reported.messages[0];
    EXPECT_EQ(w.SentStatements().size(), 2u);
    EXPECT_EQ(w.Table(), c.table);
    EXPECT_EQ(w.CAjuste().ChangeCount(), c.changesLeft);
    if (c.limit == 0) {
      EXPECT_EQ(w.Delta(), delta);
    }
    // The rows left are those to send again; once the clash is gone they go through.
    w.AsOtherUser("delete from AJUSTE_CIERRE where AJCI_ID = 5");
    w.ForgetSent();
    EXPECT_EQ(w.CAjuste().ApplyUpdates(c.limit), 0);
    EXPECT_EQ(w.SentStatements().size(), static_cast<std::size_t>(c.changesLeft));
    EXPECT_EQ(w.Table(), (Rows{"4 01/10/2026 31/10/2026 19 0.4", "5 01/10/2026 31/10/2026 19 0.45",
                               "6 01/10/2026 31/10/2026 19 0.6"}));
  }
}

TEST(SaveFirebird, ARowSomeoneElseChangedIsNotFound) {
  WindowSave w(kTwoRows);
  Reported reported;
  reported.AttachTo(w);
  w.Open();
  w.AsOtherUser("update AJUSTE_CIERRE set AJCI_FACTOR = 0.75 where AJCI_ID = 1");
  w.SetFactor(1, "0.85");
  EXPECT_EQ(w.CAjuste().ApplyUpdates(0), 1);
  EXPECT_EQ(reported.messages, Rows{"Record not found or changed by another user"});
  EXPECT_EQ(w.Table()[0], "1 01/10/2026 31/10/2026 19 0.75");
  EXPECT_EQ(w.CAjuste().ChangeCount(), 1);
}

TEST(SaveFirebird, ATransactionTheCallerHoldsIsLeftToTheCaller) {
  WindowSave w(kTwoRows);
  w.Open();
  w.Talvora().StartTransaction();
  w.Talvora().ExecuteDirect("update AJUSTE_CIERRE set AJCI_PORC = 16 where AJCI_ID = 2");
  w.SetFactor(1, "0.85");
  EXPECT_EQ(w.CAjuste().ApplyUpdates(0), 0);
  EXPECT_TRUE(w.Talvora().InTransaction());
  // Not committed: nobody else sees the save yet.
  EXPECT_EQ(w.Table(), (Rows{"1 01/10/2026 31/10/2026 19 0.8", "2 01/10/2026  5 0.9"}));
  w.Talvora().Commit();
  EXPECT_EQ(w.Table(), (Rows{"1 01/10/2026 31/10/2026 19 0.85", "2 01/10/2026  16 0.9"}));
}

TEST(SaveFirebird, SeveralRowsChangedRollBackTheCallersTransactionToo) {
  WindowSave w(
      "INSERT INTO AJUSTE_CIERRE VALUES (7, '2026-10-01', '2026-10-31', 19, 0.8);"
      "INSERT INTO AJUSTE_CIERRE VALUES (7, '2026-10-01', '2026-10-31', 19, 0.8);");
  w.Open();
  w.Talvora().StartTransaction();
  w.Talvora().ExecuteDirect("insert into AJUSTE_CIERRE (AJCI_ID) values (99)");
  w.Seek(7);
  w.CAjuste().Delete();
  EXPECT_EQ(w.CAjuste().ApplyUpdates(0), 1);
  EXPECT_FALSE(w.Talvora().InTransaction());
  EXPECT_EQ(w.Table().size(), 2u);  // both rows 7, and no 99
  EXPECT_EQ(w.CAjuste().ChangeCount(), 1);
}

}  // namespace
