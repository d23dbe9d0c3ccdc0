// Parameters packed by a cached dataset and unpacked by its provider: every value type arrives as
// it left, and bytes that are not such a packet are refused without touching the list.
#include "data/provider/param_packet.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/exceptions.h"
#include "data/engine/ds_writer.h"

namespace {

TEST(ParamPacket, EveryValueTypeArrivesAsItLeft) {
  struct Case {
    const char* name;
    std::function<void(TParam&)> set;
    TFieldType type;
    std::string text;  // AsString after the trip
  };
  const Case cases[] = {
      {"I", [](TParam& p) { p.SetAsInteger(-42); }, TFieldType::ftInteger, "-42"},
      {"S", [](TParam& p) { p.SetAsSmallInt(7); }, TFieldType::ftSmallint, "7"},
      {"L", [](TParam& p) { p.SetAsLargeInt(9000000000LL); }, TFieldType::ftLargeint, "9000000000"},
      {"B", [](TParam& p) { p.SetAsBoolean(true); }, TFieldType::ftBoolean, "True"},
      {"F", [](TParam& p) { p.SetAsFloat(0.5); }, TFieldType::ftFloat, "0.5"},
      {"C", [](TParam& p) { p.SetAsCurrency(Currency::FromRaw(8000)); }, TFieldType::ftCurrency,
       "0.8"},
      {"D", [](TParam& p) { p.SetAsFMTBCD(StrToBcd("19.0001", '.')); }, TFieldType::ftFMTBcd,
       "19.0001"},
      {"FECHA", [](TParam& p) { p.SetAsDate(EncodeDate(2026, 11, 30)); }, TFieldType::ftDate,
       "30/11/2026"},
      {"T", [](TParam& p) { p.SetAsString("CAJ1 'x'"); }, TFieldType::ftString, "CAJ1 'x'"},
      {"E", [](TParam& p) { p.SetAsString(""); }, TFieldType::ftString, ""},
      {"N", [](TParam& p) { p.SetDataType(TFieldType::ftInteger); }, TFieldType::ftInteger, ""},
  };
  TParams params;
  for (const Case& c : cases) c.set(params.Add(c.name));
  TParams out;
  out.Add("OLD");
  UnpackParams(PackParams(params), out);
  ASSERT_EQ(out.Count(), params.Count());
  for (int i = 0; i < out.Count(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(out.Items(i).Name(), c.name);
    EXPECT_EQ(out.Items(i).DataType(), c.type);
    EXPECT_EQ(out.Items(i).IsNull(), params.Items(i).IsNull());
    EXPECT_EQ(out.Items(i).AsString(), c.text);
  }
  EXPECT_EQ(out.Items(5).AsCurrency(), Currency::FromRaw(8000));
}

TEST(ParamPacket, AnEmptyListPacksToNothing) {
  EXPECT_TRUE(PackParams(TParams()).empty());
}

TEST(ParamPacket, BytesThatAreNoParameterPacketAreRefused) {
  TParams params;
  params.Add("ID").SetAsInteger(9001);
  params.Add("PREF").SetAsString("CAJ1");
  const std::vector<std::uint8_t> good = PackParams(params);

  // A data packet of two rows, and one whose column lacks the parameter type.
  auto dataPacket = [](int rows, bool typed) {
    auto writer = engine::CreateDSWriter();
    engine::DSColumn c{"ID", engine::DSType::kInteger, 4, 0, {}};
    if (typed) c.items.push_back({"PARAMTYPE", std::int64_t{3}});
    writer->DescribeColumns({c});
    for (int i = 0; i < rows; ++i) {
      writer->PutRowAttribute(0);
      writer->PutField(&i, 4);
    }
    engine::DSPacket packet;
    writer->GetPacket(packet);
    return std::vector<std::uint8_t>(packet.bytes().begin(), packet.bytes().end());
  };
  std::vector<std::vector<std::uint8_t>> bad = {dataPacket(2, true), dataPacket(1, false), {}};
  for (std::size_t n = 1; n < good.size(); n += 7) bad.emplace_back(good.begin(), good.begin() + n);
  std::vector<std::uint8_t> lying = good;
  lying[8] ^= 0x40;  // the total size
  bad.push_back(lying);

  for (const auto& bytes : bad) {
    SCOPED_TRACE(bytes.size());
    TParams out;
    out.Add("KEEP").SetAsInteger(1);
    try {
      UnpackParams(bytes, out);
      ADD_FAILURE() << "accepted";
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message().rfind("Invalid parameter packet: ", 0), 0u) << e.Message();
    }
    ASSERT_EQ(out.Count(), 1);
    EXPECT_EQ(out.Items(0).Name(), "KEEP");
  }
  TParams out;
  UnpackParams(dataPacket(1, true), out);
  EXPECT_EQ(out.Items(0).AsInteger(), 0);
}

}  // namespace
