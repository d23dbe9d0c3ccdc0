// Saving through providers whose SQL dataset says more or less than TAjuste does: columns kept
// out of the statements, a key that lets the save read the server's values and try a row again,
// and a query that names no table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/exceptions.h"
#include "db/dataset/fields.h"
#include "db/sql/sql_dataset.h"
#include "tests/data/resolver/window_save.h"

namespace {

using resolvertest::WindowSave;
using Rows = std::vector<std::string>;

constexpr char kOneRow[] =
    "INSERT INTO AJUSTE_CIERRE VALUES (1, '2026-10-01', '2026-10-31', 19, 0.8);";

// TAjuste with persistent fields: AJCI_ID with `idFlags`, AJCI_FACTOR with `factorFlags`.
void GiveTAjusteFields(WindowSave& w, TProviderFlags idFlags, TProviderFlags factorFlags) {
  TSQLTable& t = w.Module().TAjuste();
  t.AddField<TIntegerField>("AJCI_ID").SetProviderFlags(idFlags);
  t.AddField<TDateField>("AJCI_FECINI");
  t.AddField<TDateField>("AJCI_FECFIN");
  t.AddField<TFMTBCDField>("AJCI_PORC");
  t.AddField<TFMTBCDField>("AJCI_FACTOR").SetProviderFlags(factorFlags);
}

TEST(SaveKeysFirebird, AModifiedRowWithNothingToWriteSendsNothingAndIsDone) {
  WindowSave w(kOneRow);
  GiveTAjusteFields(w, pfInUpdate | pfInWhere, pfInWhere);
  w.Open();
  w.SetFactor(1, "0.85");
  EXPECT_EQ(w.CAjuste().ApplyUpdates(0), 0);
  EXPECT_TRUE(w.SentStatements().empty());
  EXPECT_EQ(w.CAjuste().ChangeCount(), 0);
  EXPECT_EQ(w.Table(), Rows{"1 01/10/2026 31/10/2026 19 0.8"});
}

TEST(SaveKeysFirebird, WithAKeyARowChangedElsewhereCanBeTriedAgain) {
  constexpr char kSelect[] =
      "select \"AJCI_ID\", \"AJCI_FECINI\", \"AJCI_FECFIN\", \"AJCI_PORC\", \"AJCI_FACTOR\" from "
      "\"AJUSTE_CIERRE\"\r\nwhere\r\n \"AJCI_ID\" = ?\r\n";
  struct Case {
    const char* name;
    const char* elsewhere;  // what another user changed after the row was read
    TResolverResponse answer;
    std::vector<std::string> sent;  // first words of each statement
    const char* error;              // the save's failure, if it fails as a whole
    const char* table;
  };
  const Case cases[] = {
      {"apply over a changed factor",
       "AJCI_FACTOR = 0.75",
       TResolverResponse::rrApply,
       {"update", "select", "update"},
       "",
       "1 01/10/2026 31/10/2026 19 0.85"},
      {"merge with a changed rate",
       "AJCI_PORC = 16",
       TResolverResponse::rrMerge,
       {"update", "select", "update"},
       "",
       "1 01/10/2026 31/10/2026 16 0.85"},
      {"merge with a factor changed to something else",
       "AJCI_FACTOR = 0.75",
       TResolverResponse::rrMerge,
       {"update", "select"},
       "Invalid response",
       "1 01/10/2026 31/10/2026 19 0.75"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WindowSave w(kOneRow);
    GiveTAjusteFields(w, pfInUpdate | pfInWhere | pfInKey, pfInUpdate | pfInWhere);
    int calls = 0;
    w.PAjuste().OnUpdateError = [&](TDataSetProvider*, TDataSet*, EUpdateError& e, TUpdateKind,
                                    TResolverResponse& response) {
      ++calls;
      EXPECT_EQ(e.Message(), "Record not found or changed by another user");
      EXPECT_EQ(e.PreviousError(), 0);
      response = c.answer;
    };
    w.Open();
    w.AsOtherUser(std::string("update AJUSTE_CIERRE set ") + c.elsewhere);
    w.SetFactor(1, "0.85");
    const std::string delta = w.Delta();
    std::string error;
    try {
      EXPECT_EQ(w.CAjuste().ApplyUpdates(0), 0);
    } catch (const EOleException& e) {
      error = e.Message();
    }
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(calls, 1);
    std::vector<std::string> sent;
    for (const auto& s : w.SentStatements()) sent.push_back(s.text.substr(0, s.text.find(' ')));
    EXPECT_EQ(sent, c.sent);
    ASSERT_GE(w.SentStatements().size(), 2u);
    EXPECT_EQ(w.SentStatements()[1].text, kSelect);
    EXPECT_EQ(w.Table(), Rows{c.table});
    EXPECT_EQ(w.CAjuste().ChangeCount(), *c.error ? 1 : 0);
    if (*c.error) {
      EXPECT_EQ(w.Delta(), delta);
    }
  }
}

TEST(SaveKeysFirebird, AFailedRowCarriesTheServersValuesForARefresh) {
  WindowSave w(kOneRow);
  GiveTAjusteFields(w, pfInUpdate | pfInWhere | pfInKey, pfInUpdate | pfInWhere);
  w.CAjuste().OnReconcileError = [](TDataSet& rows, EReconcileError& e, TUpdateKind kind,
                                    TReconcileAction& action) {
    EXPECT_EQ(e.Message(), "Record not found or changed by another user");
    EXPECT_EQ(kind, TUpdateKind::ukModify);
    EXPECT_EQ(rows.FieldByName("AJCI_FACTOR").DisplayLabel(), "Factor");
    EXPECT_EQ(action, TReconcileAction::raAbort);
    action = TReconcileAction::raRefresh;
  };
  w.Open();
  w.AsOtherUser("update AJUSTE_CIERRE set AJCI_FACTOR = 0.75");
  w.SetFactor(1, "0.85");
  EXPECT_EQ(w.CAjuste().ApplyUpdates(0), 1);
  EXPECT_EQ(w.CAjuste().ChangeCount(), 0);
  w.Seek(1);
  EXPECT_EQ(w.CAjuste().FieldByName("AJCI_FACTOR").AsString(), "0.75");
}

TEST(SaveKeysFirebird, AQueryThatNamesNoTableCannotSaveARow) {
  WindowSave w(kOneRow + std::string("INSERT INTO AJUSTE_CIERRE (AJCI_ID) VALUES (2);"));
  TClientDataSet& rows = w.Module().CRepArticulos();
  std::vector<std::string> messages;
  w.Module().PRepArticulos().OnUpdateError = [&](TDataSetProvider*, TDataSet*, EUpdateError& e,
                                                 TUpdateKind, TResolverResponse&) {
    messages.push_back(e.Message());
  };
  rows.SetCommandText("select * from (select AJCI_ID from AJUSTE_CIERRE)");
  rows.Open();
  rows.Delete();
  rows.Delete();
  EXPECT_EQ(rows.ApplyUpdates(-1), 2);
  EXPECT_EQ(messages, Rows(2, "Unable to resolve records.  Table name not found."));
  EXPECT_TRUE(w.SentStatements().empty());
  EXPECT_EQ(rows.ChangeCount(), 2);
  EXPECT_EQ(w.Table().size(), 2u);
}

}  // namespace
