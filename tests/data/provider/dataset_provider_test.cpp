// The provider's request logic over a scripted SQL dataset: which packets it writes, when it
// opens, rewinds and closes the dataset, and what it refuses.
#include "data/provider/dataset_provider.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "data/engine/ds_base.h"
#include "data/provider/local_app_server.h"

namespace {

// A forward-only dataset of the integers 1..rows, recording what the provider does to it.
class ScriptedSource : public ProviderSource {
 public:
  explicit ScriptedSource(int rows, std::vector<std::string>* log) : rows_(rows), log_(*log) {}

  bool Active() const override { return active_; }
  void Open() override {
    if (failOpen) throw EDatabaseError("Table unknown.");
    log_.push_back("open");
    active_ = true;
    pos_ = 1;
  }
  void Close() override {
    log_.push_back("close");
    active_ = false;
  }
  void First() override {
    log_.push_back("first");
    pos_ = 1;
  }
  void Next() override { ++pos_; }
  bool Eof() const override { return pos_ > rows_; }
  void CheckBrowseMode() override {}
  void SetCommandText(std::string_view text) override {
    if (text == text_) return;
    if (active_) throw EDatabaseError("Cannot perform this operation on an open dataset");
    text_ = text;
    log_.push_back("text " + text_);
  }
  void SetParams(const std::vector<std::uint8_t>&) override { log_.push_back("params"); }
  std::vector<std::uint8_t> GetParams() const override { return {}; }
  std::vector<engine::DSColumn> Columns() const override {
    return {engine::DSColumn{"N", engine::DSType::kInteger, 4, engine::kColRequired, {}}};
  }
  void PutRow(engine::IDSWriter& writer) const override {
    if (pos_ == failAtRow) throw EDatabaseError("fetch failed");
    const std::int32_t v = pos_;
    writer.PutField(&v, sizeof v);
  }
  std::int64_t LocaleCode() const override { return 3082; }

  bool failOpen = false;
  int failAtRow = 0;
  int Position() const { return pos_; }

 private:
  int rows_;
  std::vector<std::string>& log_;
  bool active_ = false;
  int pos_ = 0;
  std::string text_;
};

struct Fixture {
  explicit Fixture(int rows, TProviderOptions options = 0) {
    auto s = std::make_unique<ScriptedSource>(rows, &log);
    source = s.get();
    provider.SetSource(std::move(s));
    provider.SetOptions(options);
  }

  // Rows of the packet, as integers; -1 for no packet.
  std::vector<int> Get(std::int32_t count, std::int32_t options, std::string_view text = {}) {
    TPacketData params;
    TOwnerData owner;
    std::int32_t recsOut = -7;
    TPacketData packet = provider.GetRecords(count, recsOut, options, text, params, owner);
    if (!packet) return {-1};
    auto base = engine::CreateDSBase();
    EXPECT_EQ(base->AppendPacket(std::move(*packet), true), engine::kDSOk);
    lastAttributes = base->Attributes();
    std::unique_ptr<engine::IDSCursor> cursor;
    base->CreateCursor(cursor);
    std::vector<int> out;
    while (cursor->MoveRelative(1) == engine::kDSOk) {
      engine::DSValueView v;
      cursor->GetField(1, v);
      std::int32_t n;
      std::memcpy(&n, v.data, 4);
      out.push_back(n);
    }
    EXPECT_EQ(recsOut, static_cast<std::int32_t>(out.size()));
    return out;
  }

  std::vector<std::string> log;
  ScriptedSource* source = nullptr;
  TDataSetProvider provider;
  std::vector<engine::DSAttr> lastAttributes;
};

std::vector<int> Range(int from, int to) {
  std::vector<int> v;
  for (int i = from; i <= to; ++i) v.push_back(i);
  return v;
}

TEST(DataSetProvider, DeliversPacketsOfTheRequestedSize) {
  struct Case {
    int rows;
    std::vector<std::int32_t> counts;  // the first with column descriptions
    std::vector<std::vector<int>> packets;
    std::vector<std::string> log;
    bool openAfter;
  };
  const Case cases[] = {
      {0, {1000}, {{}}, {"open", "close"}, false},
      {3, {1000}, {{1, 2, 3}}, {"open", "close"}, false},
      {1000, {1000, 1000}, {Range(1, 1000), {}}, {"open", "close"}, false},
      {2500, {1000, -1}, {Range(1, 1000), Range(1001, 2500)}, {"open", "close"}, false},
      {2500, {1000, 1000}, {Range(1, 1000), Range(1001, 2000)}, {"open"}, true},
      {5, {-1}, {Range(1, 5)}, {"open", "close"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << " rows");
    Fixture f(c.rows);
    for (std::size_t i = 0; i < c.counts.size(); ++i) {
      EXPECT_EQ(f.Get(c.counts[i], i == 0 ? grMetaData : 0), c.packets[i]);
    }
    EXPECT_EQ(f.log, c.log);
    EXPECT_EQ(f.source->Active(), c.openAfter);
    EXPECT_EQ(f.provider.OpenedByProvider(), c.openAfter);
  }
}

TEST(DataSetProvider, AResetWithCountZeroClosesWhatItOpenedAndSendsNothing) {
  Fixture f(2500);
  f.Get(1000, grMetaData);
  EXPECT_EQ(f.provider.RowsSent(), 1000);
  EXPECT_EQ(f.Get(0, grReset), std::vector<int>{-1});
  EXPECT_EQ(f.log, (std::vector<std::string>{"open", "close"}));
  EXPECT_EQ(f.provider.RowsSent(), 0);
  // The next opening starts from the first row again.
  EXPECT_EQ(f.Get(2, grMetaData), (std::vector<int>{1, 2}));
}

TEST(DataSetProvider, ADatasetOpenedElsewhereIsRewoundNotClosed) {
  Fixture f(10);
  f.source->Open();
  f.source->Next();
  f.Get(0, grReset);
  EXPECT_TRUE(f.source->Active());
  EXPECT_EQ(f.source->Position(), 1);
  EXPECT_EQ(f.log, (std::vector<std::string>{"open", "first"}));
}

TEST(DataSetProvider, CommandTextNeedsTheOptionAndAClosedDataset) {
  {
    Fixture f(3);
    try {
      f.Get(10, grMetaData, "select 1 from rdb$database");
      FAIL();
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), "CommandText changes are not allowed");
    }
    EXPECT_TRUE(f.log.empty());
  }
  {
    Fixture f(2500, poAllowCommandText);
    f.Get(1000, grMetaData, "select a");
    f.Get(1000, 0, "select a");  // same text: accepted while open
    EXPECT_THROW(f.Get(1000, 0, "select b"), EDatabaseError);
    EXPECT_EQ(f.log, (std::vector<std::string>{"text select a", "open"}));
  }
  {
    TDataSetProvider bare;
    bare.SetOptions(poAllowCommandText);
    TPacketData params;
    TOwnerData owner;
    std::int32_t recsOut;
    try {
      bare.GetRecords(10, recsOut, grMetaData, "select 1", params, owner);
      FAIL();
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), "Missing DataSet property");
    }
  }
}

TEST(DataSetProvider, AFailedRequestResetsTheProvider) {
  Fixture f(2500);
  f.Get(1000, grMetaData);
  f.source->failAtRow = 1500;
  EXPECT_THROW(f.Get(-1, 0), EDatabaseError);
  EXPECT_FALSE(f.source->Active());
  EXPECT_FALSE(f.provider.OpenedByProvider());
  EXPECT_EQ(f.provider.RowsSent(), 0);
}

TEST(DataSetProvider, WritesTheDatasetAttributesOfItsOptions) {
  struct Case {
    TProviderOptions options;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {0, {"LCID"}},
      {poReadOnly | poNoReset, {"READONLY", "NO_RESET_CALL", "LCID"}},
      {poDisableEdits | poDisableInserts | poDisableDeletes,
       {"DISABLE_EDITS", "DISABLE_INSERTS", "DISABLE_DELETES", "LCID"}},
  };
  for (const Case& c : cases) {
    Fixture f(1, c.options);
    f.Get(10, grMetaData);
    std::vector<std::string> names;
    for (const auto& a : f.lastAttributes) names.push_back(a.name);
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(engine::FindAttr(f.lastAttributes, "LCID")->value, engine::DSAttr::Value{3082});
  }
}

TEST(LocalAppServer, HandsBackFailuresAsTextOnly) {
  Fixture f(3);
  f.source->failOpen = true;
  TLocalAppServer link(f.provider);
  TPacketData params, packet;
  TOwnerData owner;
  std::int32_t recsOut = 9;
  const TAppServerResult r =
      link.AS_GetRecords({}, 1000, recsOut, grMetaData, {}, params, owner, packet);
  EXPECT_TRUE(r.Failed);
  EXPECT_EQ(r.Message, "Table unknown.");
  EXPECT_FALSE(packet.has_value());

  std::int32_t errors = 5;
  const TAppServerResult a = link.AS_ApplyUpdates({}, engine::DSPacket{}, 0, errors, owner, packet);
  EXPECT_TRUE(a.Failed);
  EXPECT_EQ(errors, 0);
}

}  // namespace
