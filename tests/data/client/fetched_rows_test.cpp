// Fetching on demand over engine packets: a fake provider hands out packets of an integer
// column, and the tests check which requests were made and where the cursor ends up.
#include "data/client/fetched_rows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/exceptions.h"
#include "data/engine/ds_writer.h"
#include "data/expr/expr_parser.h"

namespace {

// Serves the rows 1..total in packets, recording every count asked for.
class FakeSource {
 public:
  explicit FakeSource(int total) : total_(total) {}

  TPacketData Packet(std::int32_t count, std::int32_t& recsOut) {
    requests.push_back(count);
    auto writer = engine::CreateDSWriter();
    writer->DescribeColumns({engine::DSColumn{"N", engine::DSType::kInteger, 4, 0, {}}});
    recsOut = 0;
    while (next_ <= total_ && (count < 0 || recsOut < count)) {
      writer->PutRowAttribute(engine::kRowUnchanged);
      const std::int32_t v = next_++;
      writer->PutField(&v, sizeof v);
      ++recsOut;
    }
    engine::DSPacket packet;
    writer->GetPacket(packet);
    return packet;
  }

  std::unique_ptr<FetchedRows> Open(std::int32_t packetRecords) {
    settings.packetRecords = packetRecords;
    std::int32_t recsOut = 0;
    TPacketData first = Packet(packetRecords, recsOut);
    return std::make_unique<FetchedRows>(
        std::move(*first), recsOut != packetRecords,
        [this](std::int32_t count, std::int32_t& out) { return Packet(count, out); },
        [this] { return settings; });
  }

  std::vector<std::int32_t> requests;
  // The owner's settings; the rows read them at every request.
  FetchedRows::Settings settings;

 private:
  int total_;
  std::int32_t next_ = 1;
};

std::int32_t Current(const FetchedRows& rows) {
  engine::DSValueView v;
  EXPECT_EQ(rows.Cursor().GetField(1, v), engine::kDSOk);
  std::int32_t n = 0;
  std::memcpy(&n, v.data, sizeof n);
  return n;
}

int WalkToEnd(FetchedRows& rows) {
  int seen = 0;
  if (!rows.MoveFirst()) return 0;
  do ++seen;
  while (rows.MoveNext());
  return seen;
}

TEST(FetchedRows, RequestsPacketsAsTheWalkNeedsThem) {
  struct Case {
    int total;
    std::int32_t packetRecords;
    std::vector<std::int32_t> requests;  // the opening request first
    int walked;
  };
  const Case cases[] = {
      {0, 10, {10}, 0},            // empty result: data ran out at once
      {7, 10, {10}, 7},            // short first packet ends the data
      {10, 10, {10, 10}, 10},      // exactly full: one more (empty) packet to learn the end
      {25, 10, {10, 10, 10}, 25},  // walking forward fetches one packet at a time
      {25, -1, {-1}, 25},          // all rows at once
      {25, 0, {0}, 0},             // packet size 0: nothing is ever fetched
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.total << " rows by " << c.packetRecords);
    FakeSource source(c.total);
    auto owned = source.Open(c.packetRecords);
    FetchedRows& rows = *owned;
    EXPECT_EQ(WalkToEnd(rows), c.walked);
    EXPECT_EQ(source.requests, c.requests);
    EXPECT_TRUE(rows.Cursor().AtEof());
  }
}

TEST(FetchedRows, SettingsChangedWhileOpenActFromTheNextRequest) {
  struct Case {
    const char* what;
    FetchedRows::Settings after;  // in force from the 15th row on, the first 20 being fetched
    std::vector<std::int32_t> requests;
    int walked;
  };
  const Case cases[] = {
      {"a larger packet", {25, true}, {10, 10, 25, 25}, 50},
      {"a smaller packet", {5, true}, {10, 10, 5, 5, 5, 5, 5, 5, 5}, 50},
      {"all remaining rows", {-1, true}, {10, 10, -1}, 50},
      {"packet size 0", {0, true}, {10, 10}, 20},
      {"fetching off", {10, false}, {10, 10}, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSource source(50);
    auto owned = source.Open(10);
    FetchedRows& rows = *owned;
    ASSERT_TRUE(rows.MoveFirst());
    int walked = 1;
    for (; walked < 15; ++walked) ASSERT_TRUE(rows.MoveNext());
    source.settings = c.after;
    while (rows.MoveNext()) ++walked;
    EXPECT_EQ(walked, c.walked);
    EXPECT_EQ(source.requests, c.requests);
    // Last, filters and locates ask for nothing either while fetching is stopped.
    const std::size_t asked = source.requests.size();
    rows.MoveLast();
    EXPECT_EQ(source.requests.size(), asked);
  }
}

TEST(FetchedRows, MoveLastFetchesEverythingRemainingInOneRequest) {
  FakeSource source(2500);
  auto owned = source.Open(1000);
  FetchedRows& rows = *owned;
  ASSERT_TRUE(rows.MoveLast());
  EXPECT_EQ(Current(rows), 2500);
  EXPECT_EQ(source.requests, (std::vector<std::int32_t>{1000, -1}));
  EXPECT_TRUE(rows.EndOfData());
  EXPECT_EQ(rows.Base().RowCount(), 2500u);
}

TEST(FetchedRows, FetchingKeepsTheCursorOnItsRow) {
  FakeSource source(30);
  auto owned = source.Open(10);
  FetchedRows& rows = *owned;
  ASSERT_TRUE(rows.MoveFirst());
  ASSERT_TRUE(rows.MoveNext());
  rows.FetchAll();
  EXPECT_EQ(Current(rows), 2);
  EXPECT_FALSE(rows.FetchMore(10));  // the data ran out: no further request
  EXPECT_EQ(source.requests.size(), 2u);
}

TEST(FetchedRows, FindAndFilterSeeOnlyMatchingRows) {
  const ExprFieldList fields = {{"N", 1, ExprFieldType::ftInteger, 4, true}};
  const std::vector<std::uint8_t> record =
      TExprParser(fields, "[N]=7", 0, false, FormatSettings{}).FilterData();
  FakeSource source(20);
  auto owned = source.Open(-1);
  FetchedRows& rows = *owned;
  ASSERT_TRUE(rows.MoveFirst());
  ASSERT_TRUE(rows.MoveNext());
  ASSERT_TRUE(rows.FindFirst(record));
  EXPECT_EQ(Current(rows), 7);

  rows.SetFilter(record);
  EXPECT_TRUE(rows.HasFilter());
  EXPECT_EQ(WalkToEnd(rows), 1);
  rows.DropFilter();
  EXPECT_EQ(WalkToEnd(rows), 20);
}

TEST(FetchedRows, AFailingFetchLeavesTheRowsAsTheyWere) {
  FakeSource source(30);
  std::int32_t recsOut = 0;
  TPacketData first = source.Packet(10, recsOut);
  FetchedRows rows(
      std::move(*first), false,
      [](std::int32_t, std::int32_t&) -> TPacketData { throw EOleException("Connection lost"); },
      [] {
        return FetchedRows::Settings{10, true};
      });
  EXPECT_THROW(rows.MoveLast(), EOleException);
  EXPECT_EQ(rows.Base().RowCount(), 10u);
  EXPECT_FALSE(rows.EndOfData());
}

}  // namespace
