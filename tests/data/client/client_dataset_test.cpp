// The cached dataset over a provider whose SQL dataset is scripted: opening, fetching, closing,
// filter, locate, editing under the error events, and the failures the caller sees.
#include "data/client/client_dataset.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/bcd.h"
#include "base/date_time.h"
#include "db/dataset/fields.h"
#include "tests/data/client/client_test_window.h"

namespace {

using namespace clienttest;

TEST(ClientDataSet, OpeningSendsTheRequestsThePacketSizeAndFilterCallFor) {
  struct Case {
    int rows;
    const char* filter;
    Requests requests;
    int visible;
    bool sqlOpen;
  };
  const Case cases[] = {
      {2500, "AJCI_FECINI = '03/03/2023'", {{1000, 1}, {-1, 0}}, 250, false},
      {2500, "", {{1000, 1}}, 1, true},
      {1000, "", {{1000, 1}}, 1, true},
      {0, "", {{1000, 1}}, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << " rows, filter " << c.filter);
    Window w(Table(c.rows));
    w.cds.SetFilter(c.filter);
    w.cds.SetFiltered(true);
    w.Open();
    EXPECT_EQ(w.requests, c.requests);
    EXPECT_EQ(w.source->Active(), c.sqlOpen);
    if (c.filter[0] != 0) {
      EXPECT_EQ(w.cds.RowsInMemory(), c.rows);
      EXPECT_EQ(w.Visible(), c.visible);
      for (w.cds.First(); !w.cds.Eof(); w.cds.Next()) {
        ASSERT_EQ(w.cds.FieldByName("AJCI_FECINI").AsDateTime(), EncodeDate(2023, 3, 3));
      }
    } else {
      EXPECT_EQ(w.cds.IsEmpty(), c.rows == 0);
      EXPECT_EQ(w.cds.Eof(), c.rows == 0);
    }
  }
}

TEST(ClientDataSet, WalkingPastAFullPacketFetchesTheNextOne) {
  Window w(Table(1000));
  w.Open();
  EXPECT_EQ(w.Visible(), 1000);
  EXPECT_EQ(w.requests, (Requests{{1000, 1}, {1000, 0}}));
  EXPECT_FALSE(w.source->Active());
  w.cds.Last();
  EXPECT_EQ(w.requests.size(), 2u);  // the data ran out: nothing more is asked
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 1000);
}

TEST(ClientDataSet, ReopeningSendsNothingAndKeepsTheRow) {
  Window w(Table(20));
  w.Open();
  w.cds.Next();
  w.cds.Next();
  w.cds.Open();
  EXPECT_EQ(w.requests.size(), 1u);
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 3);
}

TEST(ClientDataSet, ClosingResetsTheProviderAndDiscardsChanges) {
  Window w(Table(2500));
  w.Open();
  w.cds.Edit();
  w.cds.FieldByName("AJCI_ID").SetAsInteger(77);
  w.cds.Post();
  EXPECT_EQ(w.cds.ChangeCount(), 1);
  w.cds.Close();
  EXPECT_EQ(w.requests.back(), (std::pair<int, int>{0, grReset}));
  EXPECT_FALSE(w.source->Active());
  EXPECT_EQ(w.cds.FieldCount(), 0);  // created at open, gone at close
  w.Open();
  EXPECT_EQ(w.cds.ChangeCount(), 0);
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 1);
}

TEST(ClientDataSet, NoResetCallSkipsTheResetRequest) {
  Window w(Table(5), poNoReset);
  w.Open();
  w.cds.Close();
  EXPECT_EQ(w.requests, (Requests{{1000, 1}}));
}

TEST(ClientDataSet, DeletingEveryVisibleRowLeavesTheOthers) {
  Window w(Table(2500));
  w.cds.SetFilter("AJCI_FECINI = '03/03/2023'");
  w.cds.SetFiltered(true);
  w.Open();
  int deleted = 0;
  while (!w.cds.Eof()) {
    w.cds.Delete();
    ++deleted;
  }
  EXPECT_EQ(deleted, 250);
  EXPECT_TRUE(w.cds.IsEmpty());
  EXPECT_EQ(w.cds.ChangeCount(), 250);
  EXPECT_EQ(w.cds.RowsInMemory(), 2250);
  w.cds.SetFiltered(false);
  EXPECT_EQ(w.Visible(), 2250);
}

TEST(ClientDataSet, DeletingTheLastFetchedRowMakesTheNextUnfetchedOneCurrent) {
  Window w(Table(1500));
  w.Open();
  EXPECT_EQ(w.cds.MoveBy(999), 999);
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 1000);
  w.cds.Delete();
  EXPECT_EQ(w.requests, (Requests{{1000, 1}, {1000, 0}}));
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 1001);
  EXPECT_FALSE(w.cds.Eof());
}

TEST(ClientDataSet, LocateWritesNumbersWithTheRegionalSeparator) {
  Window w(Table(8));
  w.cds.Settings.DecimalSeparator = ',';
  w.Open();
  w.cds.Next();
  EXPECT_TRUE(w.cds.Locate("AJCI_PORC", {Currency::FromRaw(8000)}));
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 4);
  EXPECT_EQ(w.cds.FieldByName("AJCI_PORC").AsString(), "0,8");
  EXPECT_FALSE(w.cds.Locate("AJCI_PORC", {Currency::FromInt(7)}));
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 4);  // not found: the row stays
  EXPECT_TRUE(w.cds.Locate("AJCI_PORC", {0.8}));
  EXPECT_FALSE(w.cds.Locate("AJCI_PORC", {std::monostate{}}));
}

TEST(ClientDataSet, FindingTheProviderFailsBehindTheDatasetName) {
  struct Case {
    const char* providerName;
    std::string message;
  };
  const Case cases[] = {
      {"", "CAjuste: Missing data provider or data packet"},
      {"PNoExiste", "CAjuste: Missing data provider or data packet"},
      {"Otro", "CAjuste: Missing data provider or data packet"},  // not a provider
  };
  for (const Case& c : cases) {
    TComponent owner;
    TComponent other(&owner);
    other.SetName("Otro");
    TClientDataSet cds(&owner);
    cds.SetName("CAjuste");
    cds.ProviderName = c.providerName;
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { cds.Open(); }), c.message);
    EXPECT_FALSE(cds.Active());
  }
}

TEST(ClientDataSet, ProviderFailuresArriveAsOleExceptionsWithTheirTextTrimmed) {
  {
    Window w(Table(3));
    w.cds.SetCommandText("select 1 from rdb$database");
    EXPECT_EQ(MessageOf<EOleException>([&] { w.Open(); }), "CommandText changes are not allowed");
    EXPECT_FALSE(w.cds.Active());
  }
  {
    Window w(Table(3));
    w.source->failText = "Table unknown\r\nAJUSTE_CIERRE.\r\n";
    try {
      w.Open();
      FAIL();
    } catch (const EDatabaseError&) {
      FAIL() << "must not reach the error events";
    } catch (const EOleException& e) {
      EXPECT_EQ(e.Message(), "Table unknown\r\nAJUSTE_CIERRE");
    }
    EXPECT_FALSE(w.cds.Active());
  }
}

TEST(ClientDataSet, PostOfARequiredNullGoesThroughOnPostError) {
  struct Case {
    TDataAction answer;
    bool abort;  // EAbort instead of the error
  };
  for (const Case c : {Case{TDataAction::daAbort, true}, Case{TDataAction::daFail, false}}) {
    Window w(Table(2));
    std::vector<std::string> seen;
    w.cds.OnPostError = [&](TDataSet&, EDatabaseError& e, TDataAction& action) {
      seen.push_back(e.Message());
      action = c.answer;
    };
    w.Open();
    w.cds.Insert();
    w.cds.FieldByName("AJCI_FECINI").SetAsDateTime(EncodeDate(2023, 3, 30));
    if (c.abort) {
      EXPECT_THROW(w.cds.Post(), EAbort);
    } else {
      EXPECT_EQ(MessageOf<EDatabaseError>([&] { w.cds.Post(); }),
                "Field 'AJCI_ID' must have a value");
    }
    EXPECT_EQ(seen, std::vector<std::string>{"Field 'AJCI_ID' must have a value"});
    EXPECT_EQ(w.cds.State(), TDataSetState::dsInsert);
    EXPECT_EQ(w.cds.ChangeCount(), 0);
  }
}

TEST(ClientDataSet, RetryRunsTheStepAgain) {
  Window w(Table(2));
  int calls = 0;
  w.cds.OnPostError = [&](TDataSet& ds, EDatabaseError&, TDataAction& action) {
    ++calls;
    ds.FieldByName("AJCI_ID").SetAsInteger(0);
    action = TDataAction::daRetry;
  };
  w.Open();
  w.cds.Insert();
  w.cds.Post();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(w.cds.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(w.cds.ChangeCount(), 1);
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 0);
}

TEST(ClientDataSet, InsertPlacesTheRowBeforeTheCurrentOne) {
  Window w(Table(3));
  w.Open();
  w.cds.Next();  // row 2
  w.cds.Insert();
  w.cds.FieldByName("AJCI_ID").SetAsInteger(50);
  w.cds.Post();
  std::vector<int> ids;
  for (w.cds.First(); !w.cds.Eof(); w.cds.Next())
    ids.push_back(w.cds.FieldByName("AJCI_ID").AsInteger());
  EXPECT_EQ(ids, (std::vector<int>{1, 50, 2, 3}));
}

TEST(ClientDataSet, DeleteOnAnEmptyDatasetFailsBeforeTheProtectedStep) {
  Window w(Table(0));
  bool called = false;
  w.cds.OnDeleteError = [&](TDataSet&, EDatabaseError&, TDataAction&) { called = true; };
  w.Open();
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { w.cds.Delete(); }),
            "CAjuste: Cannot perform this operation on an empty dataset");
  EXPECT_FALSE(called);
}

TEST(ClientDataSet, DisabledOperationsFailWithTheirMessages) {
  struct Case {
    TProviderOptions options;
    std::function<void(TDataSet&)> op;
    std::string message;
  };
  const Case cases[] = {
      {poReadOnly, [](TDataSet& d) { d.Edit(); }, "CAjuste: Cannot modify a read-only dataset"},
      {poReadOnly, [](TDataSet& d) { d.Insert(); }, "CAjuste: Cannot modify a read-only dataset"},
      {poDisableEdits, [](TDataSet& d) { d.Edit(); }, "CAjuste: Modifications are not allowed"},
      {poDisableInserts, [](TDataSet& d) { d.Insert(); }, "CAjuste: Inserts are not allowed"},
      {poDisableDeletes, [](TDataSet& d) { d.Delete(); }, "CAjuste: Deletes are not allowed"},
  };
  for (const Case& c : cases) {
    Window w(Table(2), c.options);
    w.Open();
    EXPECT_EQ(MessageOf<EDatabaseError>([&] { c.op(w.cds); }), c.message);
    EXPECT_EQ(w.cds.State(), TDataSetState::dsBrowse);
  }
}

TEST(ClientDataSet, PersistentFieldsBindByNameAndType) {
  struct Case {
    std::function<std::unique_ptr<TField>()> make;
    const char* name;
    const char* label;
    std::string message;
  };
  const Case cases[] = {
      {[] { return std::make_unique<TIntegerField>(); }, "AJCI_ID", "", ""},
      {[] { return std::make_unique<TDateField>(); }, "AJCI_FECFIN", "F.Hasta",
       "CAjuste: Field 'F.Hasta' not found"},
      {[] { return std::make_unique<TFloatField>(); }, "AJCI_PORC", "Porc",
       "CAjuste: Type mismatch for field 'Porc', expecting: Float actual: FMTBcd"},
  };
  for (const Case& c : cases) {
    Window w(Table(2));
    std::unique_ptr<TField> field = c.make();
    field->SetFieldName(c.name);
    field->SetDisplayLabel(c.label);
    w.cds.AddField(std::move(field));
    if (c.message.empty()) {
      w.Open();
      ASSERT_EQ(w.cds.FieldCount(), 1);
      EXPECT_EQ(w.cds.Fields(0).FieldNo(), 1);
      EXPECT_EQ(w.cds.Fields(0).AsInteger(), 1);
      w.cds.Close();
      EXPECT_EQ(w.cds.FieldCount(), 1);  // persistent fields outlive the close
    } else {
      EXPECT_EQ(MessageOf<EDatabaseError>([&] { w.Open(); }), c.message);
      EXPECT_FALSE(w.cds.Active());
      EXPECT_FALSE(w.source->Active());  // the provider was reset
    }
  }
}

TEST(ClientDataSet, FieldsCreatedAtOpenFollowThePacketColumns) {
  Window w(Table(2));
  w.Open();
  ASSERT_EQ(w.cds.FieldCount(), 3);
  EXPECT_NE(dynamic_cast<TIntegerField*>(&w.cds.Fields(0)), nullptr);
  EXPECT_TRUE(w.cds.Fields(0).Required());
  EXPECT_NE(dynamic_cast<TDateField*>(&w.cds.Fields(1)), nullptr);
  EXPECT_EQ(w.cds.Fields(2).DataType(), TFieldType::ftFMTBcd);
  EXPECT_EQ(w.cds.Fields(2).FieldNo(), 3);
}

TEST(ClientDataSet, FieldTextFollowsTheRegionalSettings) {
  Window w(Table(4));
  w.cds.Settings.DecimalSeparator = ',';
  w.cds.Settings.ShortDateFormat = "dd/MM/yyyy";
  w.cds.Settings.DateSeparator = '/';
  w.Open();
  TField& porc = w.cds.FieldByName("AJCI_PORC");
  TField& fecini = w.cds.FieldByName("AJCI_FECINI");
  EXPECT_EQ(porc.DisplayText(), "19");
  EXPECT_EQ(fecini.DisplayText(), "01/03/2023");
  w.cds.Edit();
  porc.SetText("0,8");
  fecini.SetText("30/03/2023");
  w.cds.Post();
  EXPECT_EQ(porc.AsCurrency(), Currency::FromRaw(8000));
  EXPECT_EQ(porc.DisplayText(), "0,8");
  EXPECT_EQ(fecini.AsDateTime(), EncodeDate(2023, 3, 30));
  w.cds.Edit();
  EXPECT_EQ(MessageOf<EConvertError>([&] { porc.SetText("0.8x"); }),
            "0.8x is not a valid BCD value");
  EXPECT_EQ(MessageOf<EConvertError>([&] { fecini.SetText("31/02/2023"); }),
            "'31/02/2023' is not a valid date");
  w.cds.Cancel();
  EXPECT_EQ(porc.DisplayText(), "0,8");
}

TEST(ClientDataSet, AppendPutsTheRowAfterTheLastOneFetchingTheRest) {
  Window w(Table(1500));
  w.Open();
  w.cds.Append();
  w.cds.FieldByName("AJCI_ID").SetAsInteger(9000);
  w.cds.Post();
  EXPECT_EQ(w.requests, (Requests{{1000, 1}, {-1, 0}}));
  w.cds.Next();
  EXPECT_TRUE(w.cds.Eof());
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 9000);
  w.cds.Prior();
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 1500);
}

TEST(ClientDataSet, ApplyUpdatesContactsTheProviderOnlyWithChanges) {
  Window w(Table(3));
  w.Open();
  EXPECT_EQ(w.cds.ApplyUpdates(0), 0);
  EXPECT_EQ(w.requests.size(), 1u);
  w.cds.Delete();
  // This provider reads through a source of its own, not a DataSet: the save fails and the
  // change stays logged.
  EXPECT_EQ(MessageOf<EOleException>([&] { w.cds.ApplyUpdates(0); }), "Missing DataSet property");
  EXPECT_EQ(w.requests.back(), (std::pair<int, int>{-100, 0}));
  EXPECT_EQ(w.cds.ChangeCount(), 1);
}

TEST(ClientDataSet, CommandTextRebuildsTheParameters) {
  struct Case {
    const char* text;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"select * from t where a = :A and b = :b_2 or c = :a", {"A", "b_2"}},
      {"select ':x' from t where c = \":y\"", {}},
      {"select a::int, :z from t", {"z"}},
      {"SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA", {}},
  };
  TClientDataSet cds;
  for (const Case& c : cases) {
    cds.SetCommandText(c.text);
    std::vector<std::string> names;
    for (const TParam& p : cds.Params()) names.push_back(p.Name());
    EXPECT_EQ(names, c.names) << c.text;
  }
}

}  // namespace

// What a grid reads: every visible row in order, while the row being inserted and the cursor's
// place stay as they were.
TEST(ClientDataSet, ForEachRecordReadsTheVisibleRowsAndMovesNothing) {
  Window w(Table(30));  // ids 3, 13 and 23 fall on the 3rd
  w.cds.SetFilter("AJCI_FECINI = '03/03/2023'");
  w.cds.SetFiltered(true);
  w.Open();
  auto ids = [&] {
    std::vector<std::int32_t> seen;
    w.cds.ForEachRecord([&](std::int64_t) {
      seen.push_back(w.cds.FieldByName("AJCI_ID").AsInteger());
      return true;
    });
    return seen;
  };
  w.cds.Next();
  EXPECT_EQ(w.cds.RecNo(), 2);
  w.cds.Insert();
  w.cds.FieldByName("AJCI_ID").SetAsInteger(99);
  EXPECT_EQ(ids(), (std::vector<std::int32_t>{3, 13, 23}));
  EXPECT_EQ(w.cds.State(), TDataSetState::dsInsert);
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 99);
  EXPECT_EQ(w.cds.RecNo(), 2);  // the row the new one stands before
  w.cds.Cancel();
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 13);
  w.cds.Last();
  w.cds.Next();
  EXPECT_EQ(ids().size(), 3u);
  EXPECT_TRUE(w.cds.Eof());
  EXPECT_EQ(w.cds.RecNo(), 3);
  w.cds.Prior();
  EXPECT_EQ(w.cds.FieldByName("AJCI_ID").AsInteger(), 13);
}
