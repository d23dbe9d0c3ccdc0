#include "db/dataset/dataset.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/exceptions.h"
#include "db/dataset/fields.h"
#include "tests/db/dataset/memory_dataset.h"

namespace {

TFieldDef Def(const char* name, TFieldType type, bool required = false) {
  TFieldDef def;
  def.Name = name;
  def.DataType = type;
  def.Required = required;
  return def;
}

TMemoryDataSet::Value Int(std::int32_t v) {
  std::vector<std::uint8_t> bytes(4);
  std::memcpy(bytes.data(), &v, 4);
  return bytes;
}

// An open dataset of one integer column "N" holding the given values.
void Fill(TMemoryDataSet& data, std::initializer_list<int> values) {
  for (int v : values) data.rows.push_back({Int(v)});
}

std::vector<int> Values(const TMemoryDataSet& data) {
  std::vector<int> out;
  for (const auto& row : data.rows) {
    std::int32_t v = 0;
    if (row[0]) std::memcpy(&v, row[0]->data(), 4);
    out.push_back(v);
  }
  return out;
}

template <typename Fn>
std::string MessageOf(Fn fn) {
  try {
    fn();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no failure)";
}

TEST(DataSet, BofAndEofFollowTheMoves) {
  struct Case {
    int rows;
    const char* moves;     // F first, N next, P prior, L last
    const char* expected;  // after open, then after each move: B (Bof), E (Eof), b (both), - none
    int current;           // value of N at the end (0 when empty)
  };
  const Case cases[] = {
      {0, "NPFL", "bbbbb", 0}, {1, "NNP", "BEEB", 1}, {3, "NNN", "B--E", 3}, {3, "L", "BE", 3},
      {3, "LPPP", "BE--B", 1}, {3, "NNF", "B--B", 1}, {3, "LNP", "BEE-", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.moves) + " over " + std::to_string(c.rows) + " rows");
    TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
    for (int i = 1; i <= c.rows; ++i) data.rows.push_back({Int(i)});
    data.Open();
    auto flags = [&] {
      if (data.Bof() && data.Eof()) return 'b';
      return data.Bof() ? 'B' : data.Eof() ? 'E' : '-';
    };
    std::string seen(1, flags());
    for (const char* m = c.moves; *m; ++m) {
      switch (*m) {
        case 'F':
          data.First();
          break;
        case 'N':
          data.Next();
          break;
        case 'P':
          data.Prior();
          break;
        case 'L':
          data.Last();
          break;
      }
      seen += flags();
    }
    EXPECT_EQ(seen, c.expected);
    EXPECT_EQ(data.FieldByName("N").AsInteger(), c.current);
    EXPECT_EQ(data.IsEmpty(), c.rows == 0);
  }
}

TEST(DataSet, MoveByCountsTheRecordsMoved) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1, 2, 3, 4});
  data.Open();
  EXPECT_EQ(data.MoveBy(2), 2);
  EXPECT_EQ(data.FieldByName("N").AsInteger(), 3);
  EXPECT_EQ(data.MoveBy(5), 1);
  EXPECT_TRUE(data.Eof());
  EXPECT_EQ(data.MoveBy(-10), -3);
  EXPECT_TRUE(data.Bof());
}

TEST(DataSet, ForwardOnlySourceRefusesPrior) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  data.forwardOnly = true;
  Fill(data, {1, 2});
  data.Open();
  data.Next();
  EXPECT_EQ(MessageOf([&] { data.Prior(); }),
            "MemData: Operation not allowed on a unidirectional dataset");
}

TEST(DataSet, ClosedAndOpenDatasetsRefuseWithTheirName) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1});
  const std::string closed = "MemData: Cannot perform this operation on a closed dataset";
  EXPECT_EQ(MessageOf([&] { data.First(); }), closed);
  EXPECT_EQ(MessageOf([&] { data.Next(); }), closed);
  EXPECT_EQ(MessageOf([&] { data.Edit(); }), closed);
  EXPECT_EQ(MessageOf([&] { data.Delete(); }), closed);
  EXPECT_EQ(MessageOf([&] { data.RecordCount(); }), closed);
  data.Open();
  EXPECT_EQ(MessageOf([&] { data.AddField<TIntegerField>("M"); }),
            "MemData: Cannot perform this operation on an open dataset");
  data.SetName("");
  data.Close();
  EXPECT_EQ(MessageOf([&] { data.First(); }), "Cannot perform this operation on a closed dataset");
}

TEST(DataSet, FieldLookupIgnoresCaseAndNamesTheMiss) {
  TMemoryDataSet data({Def("AJCI_ID", TFieldType::ftInteger)});
  data.Open();
  EXPECT_EQ(data.FindField("ajci_id"), &data.Fields(0));
  EXPECT_EQ(&data.FieldByName("Ajci_Id"), &data.Fields(0));
  EXPECT_EQ(data.FindField("AJCI"), nullptr);
  EXPECT_EQ(MessageOf([&] { data.FieldByName("NOPE"); }), "MemData: Field 'NOPE' not found");
  EXPECT_THROW(data.Fields(1), EListError);
}

TEST(DataSet, DefaultFieldsLiveFromOpenToClose) {
  TMemoryDataSet data({Def("A", TFieldType::ftInteger), Def("B", TFieldType::ftDate)});
  EXPECT_EQ(data.FieldCount(), 0);
  data.Open();
  ASSERT_EQ(data.FieldCount(), 2);
  EXPECT_TRUE(data.DefaultFields());
  EXPECT_EQ(data.Fields(1).FieldNo(), 2);
  EXPECT_EQ(data.Fields(1).DataSet(), &data);
  EXPECT_EQ(data.ComponentCount(), 2);
  data.Close();
  EXPECT_EQ(data.FieldCount(), 0);
  EXPECT_EQ(data.ComponentCount(), 0);
  EXPECT_FALSE(data.DefaultFields());
}

TEST(DataSet, PersistentFieldsBindByNameAndType) {
  struct Case {
    TFieldType fieldType;
    const char* fieldName;
    const char* label;
    const char* message;  // "" when the open succeeds
  };
  const Case cases[] = {
      {TFieldType::ftFMTBcd, "AJCI_PORC", "Porc", ""},
      {TFieldType::ftFMTBcd, "ajci_porc", "", ""},
      {TFieldType::ftFMTBcd, "AJCI_PORCENTAJE", "Porc", "MemData: Field 'Porc' not found"},
      {TFieldType::ftInteger, "AJCI_PORC", "",
       "MemData: Type mismatch for field 'AJCI_PORC', expecting: Integer actual: FMTBcd"},
      {TFieldType::ftBCD, "AJCI_PORC", "Porc",
       "MemData: Type mismatch for field 'Porc', expecting: BCD actual: FMTBcd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    TMemoryDataSet data(
        {Def("AJCI_ID", TFieldType::ftInteger), Def("AJCI_PORC", TFieldType::ftFMTBcd)});
    TFieldDef def = Def(c.fieldName, c.fieldType);
    std::unique_ptr<TField> field = CreateField(def);
    field->SetDisplayLabel(c.label);
    TField& added = data.AddField(std::move(field));
    if (*c.message) {
      EXPECT_EQ(MessageOf([&] { data.Open(); }), c.message);
      EXPECT_FALSE(data.Active());
      EXPECT_EQ(data.closeCalls, 1);
      EXPECT_EQ(data.FieldCount(), 1) << "persistent fields stay";
    } else {
      data.Open();
      EXPECT_EQ(data.FieldCount(), 1);
      EXPECT_FALSE(data.DefaultFields());
      EXPECT_EQ(added.FieldNo(), 2);
      data.Close();
      EXPECT_EQ(data.FieldCount(), 1);
    }
  }
}

TEST(DataSet, FailedOpenLeavesItClosed) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  data.onOpen = [] { throw EDatabaseError("Cursor not returned from Query"); };
  std::string log;
  data.AfterOpen = [&](TDataSet&) { log += "AfterOpen "; };
  EXPECT_THROW(data.Open(), EDatabaseError);
  EXPECT_FALSE(data.Active());
  EXPECT_EQ(data.closeCalls, 1);
  EXPECT_EQ(data.FieldCount(), 0);
  EXPECT_EQ(log, "");
}

TEST(DataSet, AFailingCloseStillClosesAndAFailedOpenReportsItsOwnFailure) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1});
  data.onClose = [] { throw EDatabaseError("reset refused"); };
  data.Open();
  EXPECT_THROW(data.Close(), EDatabaseError);
  EXPECT_FALSE(data.Active());
  EXPECT_EQ(data.FieldCount(), 0);

  data.onOpen = [] { throw EDatabaseError("open refused"); };
  try {
    data.Open();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "open refused");
  }
  EXPECT_FALSE(data.Active());
}

TEST(DataSet, EventsRunAroundTheirOperations) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1});
  std::string log;
  auto note = [&](const char* what) { return [&log, what](TDataSet&) { log += what; }; };
  data.BeforeOpen = note("<open ");
  data.AfterOpen = note("open> ");
  data.BeforeEdit = note("<edit ");
  data.AfterEdit = note("edit> ");
  data.BeforePost = note("<post ");
  data.AfterPost = note("post> ");
  data.BeforeInsert = note("<insert ");
  data.OnNewRecord = [&](TDataSet& d) {
    log += "new ";
    d.FieldByName("N").SetAsInteger(5);
  };
  data.AfterInsert = note("insert> ");
  data.BeforeCancel = note("<cancel ");
  data.AfterCancel = note("cancel> ");
  data.BeforeClose = note("<close ");
  data.AfterClose = note("close> ");
  data.Open();
  data.Open();
  data.Edit();
  data.FieldByName("N").SetAsInteger(2);
  data.Post();
  data.Insert();
  data.Next();  // untouched apart from the default: dropped
  data.Close();
  data.Close();
  EXPECT_EQ(log,
            "<open open> <edit edit> <post post> <insert new insert> <cancel cancel> <close "
            "close> ");
  EXPECT_EQ(Values(data), std::vector<int>({2}));
}

TEST(DataSet, RequiredFieldMustHaveAValueToPost) {
  struct Case {
    const char* label;
    bool readOnly;
    TFieldKind kind;
    const char* message;  // "" when the post succeeds
  };
  const Case cases[] = {
      {"", false, TFieldKind::fkData, "Field 'AJCI_ID' must have a value"},
      {"Id", false, TFieldKind::fkData, "Field 'Id' must have a value"},
      {"", true, TFieldKind::fkData, ""},
      {"", false, TFieldKind::fkInternalCalc, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    TMemoryDataSet data({Def("AJCI_ID", TFieldType::ftInteger), Def("V", TFieldType::ftInteger)});
    data.Open();
    TField& id = data.Fields(0);
    id.SetRequired(true);
    id.SetDisplayLabel(c.label);
    id.SetReadOnly(c.readOnly);
    id.SetFieldKind(c.kind);
    data.Insert();
    data.FieldByName("V").SetAsInteger(7);
    if (*c.message) {
      EXPECT_EQ(MessageOf([&] { data.Post(); }), c.message);
      EXPECT_EQ(data.State(), TDataSetState::dsInsert);
      EXPECT_EQ(data.FieldByName("V").AsInteger(), 7) << "values as typed";
      EXPECT_TRUE(data.rows.empty());
      id.SetAsInteger(0);
      data.Post();
    } else {
      data.Post();
    }
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(data.rows.size(), 1u);
    EXPECT_FALSE(data.IsEmpty());
  }
}

TEST(DataSet, PostErrorEventDecidesWhatFollows) {
  struct Case {
    TDataAction answer;
    int failures;  // how often the step fails before it succeeds
    const char* outcome;
    int eventCalls;
  };
  const Case cases[] = {
      {TDataAction::daFail, 1, "EDatabaseError: disk full", 1},
      {TDataAction::daAbort, 1, "EAbort", 1},
      {TDataAction::daRetry, 2, "posted", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.outcome);
    TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
    Fill(data, {1});
    int failures = c.failures;
    data.onPost = [&] {
      if (failures-- > 0) throw EDatabaseError("disk full");
    };
    int calls = 0;
    data.OnPostError = [&](TDataSet& d, EDatabaseError& e, TDataAction& action) {
      ++calls;
      EXPECT_EQ(&d, &data);
      EXPECT_EQ(e.Message(), "disk full");
      EXPECT_EQ(action, TDataAction::daFail);
      action = c.answer;
    };
    data.Open();
    data.Edit();
    data.Fields(0).SetAsInteger(9);
    std::string outcome = "posted";
    try {
      data.Post();
    } catch (const EAbort&) {
      outcome = "EAbort";
    } catch (const EDatabaseError& e) {
      outcome = "EDatabaseError: " + e.Message();
    }
    EXPECT_EQ(outcome, c.outcome);
    EXPECT_EQ(calls, c.eventCalls);
    EXPECT_EQ(data.State(), outcome == "posted" ? TDataSetState::dsBrowse : TDataSetState::dsEdit);
  }
}

TEST(DataSet, OtherFailuresPassTheErrorEventUntouched) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1});
  data.onPost = [] { throw std::runtime_error("not a database error"); };
  int calls = 0;
  data.OnPostError = [&](TDataSet&, EDatabaseError&, TDataAction&) { ++calls; };
  data.Open();
  data.Edit();
  data.Fields(0).SetAsInteger(2);
  EXPECT_THROW(data.Post(), std::runtime_error);
  EXPECT_EQ(calls, 0);
}

TEST(DataSet, WritesNeedEditingAndAWritableField) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1});
  data.Open();
  EXPECT_EQ(MessageOf([&] { data.Fields(0).SetAsInteger(2); }),
            "MemData: Dataset not in edit or insert mode");
  data.Edit();
  data.Fields(0).SetReadOnly(true);
  EXPECT_EQ(MessageOf([&] { data.Fields(0).SetAsInteger(2); }), "Field 'N' cannot be modified");
  EXPECT_FALSE(data.Modified());
}

TEST(DataSet, ReadOnlyDatasetRefusesChanges) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1});
  data.readOnly = true;
  data.Open();
  const std::string refused = "MemData: Cannot modify a read-only dataset";
  EXPECT_EQ(MessageOf([&] { data.Edit(); }), refused);
  EXPECT_EQ(MessageOf([&] { data.Insert(); }), refused);
  EXPECT_EQ(MessageOf([&] { data.Delete(); }), refused);
  EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
}

TEST(DataSet, EditOfAnEmptyDatasetInserts) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  data.Open();
  data.Edit();
  EXPECT_EQ(data.State(), TDataSetState::dsInsert);
  EXPECT_FALSE(data.IsEmpty());
  data.Cancel();
  EXPECT_TRUE(data.IsEmpty());
  EXPECT_TRUE(data.Eof());
}

TEST(DataSet, InsertStandsBeforeTheCurrentRecordAndAppendAfterTheLast) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1, 2, 3});
  data.Open();
  data.Next();
  data.Insert();
  data.Fields(0).SetAsInteger(9);
  data.Post();
  EXPECT_EQ(Values(data), std::vector<int>({1, 9, 2, 3}));
  EXPECT_EQ(data.Fields(0).AsInteger(), 9);
  data.Append();
  data.Fields(0).SetAsInteger(8);
  data.Post();
  EXPECT_EQ(Values(data), std::vector<int>({1, 9, 2, 3, 8}));
  EXPECT_FALSE(data.Eof());
}

TEST(DataSet, MovingOffAPendingChangePostsItOrDropsIt) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1, 2});
  data.Open();
  data.Edit();
  data.Next();  // nothing changed: cancelled
  EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
  data.First();
  data.Edit();
  data.Fields(0).SetAsInteger(5);
  data.Next();  // changed: posted
  EXPECT_EQ(Values(data), std::vector<int>({5, 2}));
  EXPECT_EQ(data.Fields(0).AsInteger(), 2);
  data.Edit();
  data.Fields(0).SetAsInteger(6);
  data.Cancel();
  EXPECT_EQ(data.Fields(0).AsInteger(), 2);
  EXPECT_EQ(Values(data), std::vector<int>({5, 2}));
}

TEST(DataSet, APostedRecordTheSourceNoLongerShowsGivesWay) {
  struct Case {
    const char* what;
    std::initializer_list<int> rows;
    int moves;    // Next() calls after open
    bool insert;  // insert before the current record instead of editing it
    int value;    // written; the source shows only odd values
    std::vector<int> shown;
    int current;  // 0: none, the dataset is empty
    bool bof, eof;
  };
  const Case cases[] = {
      {"edited out: the next one", {1, 3, 5}, 1, false, 4, {1, 5}, 5, false, false},
      {"edited out, none after: the previous one", {1, 3, 5}, 2, false, 6, {1, 3}, 3, false, false},
      {"edited within", {1, 3, 5}, 1, false, 7, {1, 7, 5}, 7, false, false},
      {"inserted out: the one it stood before", {1, 3}, 1, true, 8, {1, 3}, 3, false, false},
      {"the only record edited out", {1}, 0, false, 2, {}, 0, true, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
    Fill(data, k.rows);
    data.shows = [](const TMemoryDataSet::Row& row) {
      std::int32_t v = 0;
      std::memcpy(&v, row[0]->data(), 4);
      return v % 2 == 1;
    };
    data.Open();
    for (int i = 0; i < k.moves; ++i) data.Next();
    if (k.insert) {
      data.Insert();
    } else {
      data.Edit();
    }
    data.Fields(0).SetAsInteger(k.value);
    data.Post();
    EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Values(data), k.shown);
    EXPECT_EQ(data.hidden.size(), k.value % 2 == 0 ? 1u : 0u);
    EXPECT_EQ(data.IsEmpty(), k.current == 0);
    EXPECT_EQ(data.Bof(), k.bof);
    EXPECT_EQ(data.Eof(), k.eof);
    if (k.current != 0) {
      EXPECT_EQ(data.Fields(0).AsInteger(), k.current);
    }
  }
}

TEST(DataSet, DeleteMovesToTheNextRecordOrElseThePrevious) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1, 2, 3});
  data.Open();
  data.Next();
  data.Delete();
  EXPECT_EQ(data.Fields(0).AsInteger(), 3);
  data.Delete();
  EXPECT_EQ(data.Fields(0).AsInteger(), 1);
  EXPECT_FALSE(data.Eof());
  data.Delete();
  EXPECT_TRUE(data.Eof());
  EXPECT_TRUE(data.IsEmpty());
  EXPECT_EQ(MessageOf([&] { data.Delete(); }),
            "MemData: Cannot perform this operation on an empty dataset");
}

TEST(DataSet, DeletingUntilEofRemovesEveryRecord) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1, 2, 3, 4});
  data.Open();
  data.Next();
  data.Next();
  int deletes = 0;
  while (!data.Eof()) {
    data.Delete();
    ++deletes;
  }
  EXPECT_EQ(deletes, 4);
  EXPECT_TRUE(data.rows.empty());
}

TEST(DataSet, DeleteWhileInsertingCancels) {
  TMemoryDataSet data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1});
  data.Open();
  data.Insert();
  data.Fields(0).SetAsInteger(4);
  data.Delete();
  EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(Values(data), std::vector<int>({1}));
}

// A dataset whose delete fails once, as a row held by another transaction would.
struct LockedOnce : TMemoryDataSet {
  using TMemoryDataSet::TMemoryDataSet;
  bool locked = true;
  TGetResult InternalDelete() override {
    if (locked) {
      locked = false;
      throw EDatabaseError("locked");
    }
    return TMemoryDataSet::InternalDelete();
  }
};

TEST(DataSet, DeleteErrorEventCanRetry) {
  LockedOnce data({Def("N", TFieldType::ftInteger)});
  Fill(data, {1, 2});
  int calls = 0;
  data.OnDeleteError = [&](TDataSet&, EDatabaseError& e, TDataAction& action) {
    ++calls;
    EXPECT_EQ(e.Message(), "locked");
    action = TDataAction::daRetry;
  };
  data.Open();
  data.Delete();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Values(data), std::vector<int>({2}));
}

}  // namespace
