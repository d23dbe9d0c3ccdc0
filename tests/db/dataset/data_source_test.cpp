// Data sources and links over an in-memory dataset: what each operation tells the links, what
// they may refuse, how they let go, and the rows a grid link lays out.
#include "db/dataset/data_source.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "db/dataset/fields.h"
#include "db/dataset/grid_data_link.h"
#include "tests/db/dataset/memory_dataset.h"

namespace {

TFieldDef Def(const char* name) {
  TFieldDef def;
  def.Name = name;
  def.DataType = TFieldType::ftInteger;
  return def;
}

TMemoryDataSet::Value Int(std::int32_t v) {
  std::vector<std::uint8_t> bytes(4);
  std::memcpy(bytes.data(), &v, 4);
  return bytes;
}

// A dataset of one integer column N holding 1..rows.
std::unique_ptr<TMemoryDataSet> Numbers(int rows) {
  auto data = std::make_unique<TMemoryDataSet>(std::vector<TFieldDef>{Def("N")});
  for (int i = 1; i <= rows; ++i) data->rows.push_back({Int(i)});
  return data;
}

// Writes down what it hears, one word per event.
class RecordingLink : public TDataLink {
 public:
  std::vector<std::string> heard;
  std::function<void()> onUpdateData;

 protected:
  void ActiveChanged() override { heard.push_back(Active() ? "active" : "inactive"); }
  void EditingChanged() override { heard.push_back(Editing() ? "editing" : "browsing"); }
  void DataSetChanged() override { heard.push_back("changed"); }
  void DataSetScrolled() override { heard.push_back("scrolled"); }
  void RecordChanged(TField* field) override { heard.push_back("field " + field->FieldName()); }
  void UpdateData() override {
    heard.push_back("update");
    if (onUpdateData) onUpdateData();
  }
};

using Words = std::vector<std::string>;

TEST(DataSource, EveryOperationTellsTheLinksWhatChanged) {
  struct Case {
    const char* what;
    std::function<void(TMemoryDataSet&)> before;
    std::function<void(TMemoryDataSet&)> operation;
    Words heard;
  };
  auto none = [](TMemoryDataSet&) {};
  auto edited = [](TMemoryDataSet& d) {
    d.Edit();
    d.Fields(0).SetAsInteger(9);
  };
  const Case cases[] = {
      {"open", none, [](TMemoryDataSet& d) { d.Open(); }, {"active", "changed"}},
      {"close",
       [](TMemoryDataSet& d) { d.Open(); },
       [](TMemoryDataSet& d) { d.Close(); },
       {"inactive", "changed"}},
      {"next",
       [](TMemoryDataSet& d) { d.Open(); },
       [](TMemoryDataSet& d) { d.Next(); },
       {"scrolled"}},
      {"next at the end moves nothing",
       [](TMemoryDataSet& d) { d.Open(), d.Last(); },
       [](TMemoryDataSet& d) { d.Next(); },
       {}},
      {"move by three is one scroll",
       [](TMemoryDataSet& d) { d.Open(); },
       [](TMemoryDataSet& d) { d.MoveBy(3); },
       {"scrolled"}},
      {"first and last",
       [](TMemoryDataSet& d) { d.Open(); },
       [](TMemoryDataSet& d) { d.Last(), d.First(); },
       {"scrolled", "scrolled"}},
      {"edit",
       [](TMemoryDataSet& d) { d.Open(); },
       [](TMemoryDataSet& d) { d.Edit(); },
       {"editing"}},
      {"field write",
       [](TMemoryDataSet& d) { d.Open(), d.Edit(); },
       [](TMemoryDataSet& d) { d.Fields(0).SetAsInteger(7); },
       {"field N"}},
      {"post asks for typed values first",
       [](TMemoryDataSet& d) { d.Open(), d.Edit(); },
       [](TMemoryDataSet& d) { d.Post(); },
       {"update", "browsing", "changed"}},
      {"insert",
       [](TMemoryDataSet& d) { d.Open(); },
       [](TMemoryDataSet& d) { d.Insert(); },
       {"editing", "changed"}},
      {"cancel",
       [](TMemoryDataSet& d) { d.Open(), d.Insert(); },
       [](TMemoryDataSet& d) { d.Cancel(); },
       {"browsing", "changed"}},
      {"delete",
       [](TMemoryDataSet& d) { d.Open(); },
       [](TMemoryDataSet& d) { d.Delete(); },
       {"changed"}},
      {"a move off a changed row posts it",
       [](TMemoryDataSet& d) { d.Open(); },
       [&](TMemoryDataSet& d) { edited(d), d.Next(); },
       {"editing", "field N", "update", "update", "browsing", "changed", "scrolled"}},
      {"a move off an untouched row cancels it",
       [](TMemoryDataSet& d) { d.Open(), d.Edit(); },
       [](TMemoryDataSet& d) { d.Next(); },
       {"update", "browsing", "changed", "scrolled"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<TMemoryDataSet> data = Numbers(5);
    TDataSource source;
    source.SetDataSet(data.get());
    RecordingLink link;
    link.SetDataSource(&source);
    c.before(*data);
    link.heard.clear();
    c.operation(*data);
    EXPECT_EQ(link.heard, c.heard);
  }
}

TEST(DataSource, ATypedValueThatCannotBeWrittenStopsThePostAndTheMove) {
  std::unique_ptr<TMemoryDataSet> data = Numbers(3);
  TDataSource source;
  source.SetDataSet(data.get());
  RecordingLink link;
  link.SetDataSource(&source);
  data->Open();
  data->Edit();
  link.onUpdateData = [] { throw EConvertError("'x' is not a valid integer value"); };
  EXPECT_THROW(data->Post(), EConvertError);
  EXPECT_EQ(data->State(), TDataSetState::dsEdit);
  EXPECT_THROW(data->Next(), EConvertError);
  EXPECT_EQ(data->CurrentIndex(), 0);
  EXPECT_EQ(data->State(), TDataSetState::dsEdit);
}

TEST(DataSource, LinksAndSourcesLetGoOfWhatIsDestroyed) {
  std::unique_ptr<TMemoryDataSet> data = Numbers(2);
  auto source = std::make_unique<TDataSource>();
  source->SetDataSet(data.get());
  RecordingLink link;
  link.SetDataSource(source.get());
  EXPECT_EQ(link.heard, Words{});
  data->Open();
  EXPECT_TRUE(link.Active());
  link.heard.clear();
  {
    // A second link, gone before the dataset next speaks.
    RecordingLink other;
    other.SetDataSource(source.get());
    EXPECT_EQ(other.heard, (Words{"active"}));
  }
  // The dataset closes as it goes, then the source loses it.
  data.reset();
  EXPECT_EQ(source->DataSet(), nullptr);
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(link.heard, (Words{"inactive", "changed", "changed"}));
  source.reset();
  EXPECT_EQ(link.DataSource(), nullptr);
  EXPECT_EQ(link.DataSet(), nullptr);
}

TEST(DataSet, ForEachRecordMovesNothing) {
  std::unique_ptr<TMemoryDataSet> data = Numbers(4);
  data->Open();
  data->Next();
  data->Insert();
  data->Fields(0).SetAsInteger(42);
  std::vector<std::int32_t> seen;
  std::vector<std::int64_t> positions;
  data->ForEachRecord([&](std::int64_t recNo) {
    positions.push_back(recNo);
    seen.push_back(data->Fields(0).AsInteger());
    return recNo < 3;
  });
  EXPECT_EQ(seen, (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(positions, (std::vector<std::int64_t>{1, 2, 3}));
  EXPECT_EQ(data->State(), TDataSetState::dsInsert);
  EXPECT_EQ(data->Fields(0).AsInteger(), 42);
  EXPECT_EQ(data->RecNo(), 2);
}

// A grid link that prints its rows, the active one marked with ">" and the inserted one as "+".
class PrintingGridLink : public TGridDataLink {
 public:
  PrintingGridLink() : TGridDataLink({"N", "MISSING"}) {}
  std::string Rows() const {
    std::string out;
    for (int r = 0; r < RowCount(); ++r) {
      if (!out.empty()) out += ' ';
      if (r == ActiveRow()) out += '>';
      if (r == InsertedRow()) out += '+';
      out += Text(r, 0) + Text(r, 1);
    }
    return out;
  }
  int resets = 0;
  int moves = 0;

 protected:
  void RowsChanged() override { ++resets; }
  void ActiveRowMoved() override { ++moves; }
};

TEST(GridDataLink, RowsShowEveryRecordWithTheInsertedOneWhereItWillGo) {
  struct Case {
    const char* what;
    int rows;
    std::function<void(TMemoryDataSet&)> operation;
    const char* shown;
  };
  const Case cases[] = {
      {"closed", 3, [](TMemoryDataSet& d) { d.Close(); }, ""},
      {"browsing the second", 3, [](TMemoryDataSet& d) { d.Next(); }, "1 >2 3"},
      {"insert before the current", 3, [](TMemoryDataSet& d) { d.Next(), d.Insert(); }, "1 >+ 2 3"},
      {"append after the last", 3, [](TMemoryDataSet& d) { d.Append(); }, "1 2 3 >+"},
      {"insert into nothing", 0, [](TMemoryDataSet& d) { d.Insert(); }, ">+"},
      {"the inserted record as typed", 2,
       [](TMemoryDataSet& d) { d.Insert(), d.Fields(0).SetAsInteger(8); }, ">+8 1 2"},
      {"the edited record as typed, the others as read", 3,
       [](TMemoryDataSet& d) { d.Last(), d.Edit(), d.Fields(0).SetAsInteger(9); }, "1 2 >9"},
      {"cancel puts the record back", 3,
       [](TMemoryDataSet& d) { d.Edit(), d.Fields(0).SetAsInteger(9), d.Cancel(); }, ">1 2 3"},
      {"posted insert", 2,
       [](TMemoryDataSet& d) { d.Last(), d.Insert(), d.Fields(0).SetAsInteger(7), d.Post(); },
       "1 >7 2"},
      {"delete", 3, [](TMemoryDataSet& d) { d.Delete(); }, ">2 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<TMemoryDataSet> data = Numbers(c.rows);
    TDataSource source;
    source.SetDataSet(data.get());
    PrintingGridLink link;
    link.SetDataSource(&source);
    data->Open();
    c.operation(*data);
    EXPECT_EQ(link.Rows(), c.shown);
  }
}

TEST(GridDataLink, AMoveReadsNoRowsAgain) {
  std::unique_ptr<TMemoryDataSet> data = Numbers(4);
  TDataSource source;
  source.SetDataSet(data.get());
  PrintingGridLink link;
  link.SetDataSource(&source);
  data->Open();
  const int resets = link.resets;
  data->MoveBy(2);
  data->Prior();
  EXPECT_EQ(link.resets, resets);
  EXPECT_EQ(link.moves, 2);
  EXPECT_EQ(link.Rows(), "1 >2 3 4");
  // Rows the link has not read (added behind its back) make it read them all again.
  data->rows.push_back({Int(5)});
  data->rows.push_back({Int(6)});
  data->MoveBy(4);
  EXPECT_EQ(link.resets, resets + 1);
  EXPECT_EQ(link.Rows(), "1 2 3 4 5 >6");
}

}  // namespace
