#include "tests/data/resolver/resolver_test_util.h"

#include <gtest/gtest.h>

#include <cstring>

#include "base/bcd.h"
#include "data/engine/ds_results.h"
#include "data/engine/ds_writer.h"

namespace resolvertest {

using engine::DSType;

std::vector<engine::DSColumn> AjusteColumns() {
  const std::vector<engine::DSAttr> decimal = {{"WIDTH", std::int64_t{15}},
                                               {"DECIMALS", std::int64_t{4}}};
  return {{"AJCI_ID", DSType::kInteger, 4, engine::kColRequired, {}},
          {"AJCI_FECINI", DSType::kDate, 4, 0, {}},
          {"AJCI_FECFIN", DSType::kDate, 4, 0, {}},
          {"AJCI_PORC", DSType::kBcd, 18, 0, decimal},
          {"AJCI_FACTOR", DSType::kBcd, 18, 0, decimal}};
}

namespace {

void PutDecimal(engine::DSRecord& r, std::uint16_t field, const char* text) {
  const TBcd v = StrToBcd(text, '.');
  ASSERT_EQ(r.PutField(field, &v, sizeof v), engine::kDSOk);
}

}  // namespace

DeltaBuilder::DeltaBuilder(int fetchedRows, std::vector<engine::DSColumn> columns) {
  auto writer = engine::CreateDSWriter();
  EXPECT_EQ(writer->DescribeColumns(columns), engine::kDSOk);
  const TBcd rate = StrToBcd("19", '.'), factor = StrToBcd("0.8", '.');
  for (std::int32_t id = 1; id <= fetchedRows; ++id) {
    writer->PutRowAttribute(engine::kRowUnchanged);
    writer->PutField(&id, sizeof id);
    writer->PutNull();
    writer->PutNull();
    writer->PutField(&rate, sizeof rate);
    writer->PutField(&factor, sizeof factor);
  }
  engine::DSPacket packet;
  EXPECT_EQ(writer->GetPacket(packet), engine::kDSOk);
  rows_ = engine::CreateDSBase();
  EXPECT_EQ(rows_->AppendPacket(std::move(packet), true), engine::kDSOk);
  EXPECT_EQ(rows_->CreateCursor(cursor_), engine::kDSOk);
}

void DeltaBuilder::Seek(std::int32_t id) {
  cursor_->MoveToBof();
  while (cursor_->MoveRelative(1) == engine::kDSOk) {
    engine::DSValueView v;
    cursor_->GetField(1, v);
    std::int32_t at = 0;
    std::memcpy(&at, v.data, 4);
    if (at == id) return;
  }
  ADD_FAILURE() << "no row " << id;
}

DeltaBuilder& DeltaBuilder::Insert(std::int32_t id, const char* factor) {
  engine::DSRecord r;
  cursor_->InitRecord(r);
  EXPECT_EQ(r.PutField(1, &id, sizeof id), engine::kDSOk);
  PutDecimal(r, 4, "19");
  PutDecimal(r, 5, factor);
  cursor_->MoveToEof();
  EXPECT_EQ(cursor_->InsertRecord(r), engine::kDSOk);
  return *this;
}

DeltaBuilder& DeltaBuilder::SetFactor(std::int32_t id, const char* factor) {
  Seek(id);
  engine::DSRecord r;
  EXPECT_EQ(cursor_->GetCurrentRecord(r), engine::kDSOk);
  PutDecimal(r, 5, factor);
  EXPECT_EQ(cursor_->ModifyRecord(r), engine::kDSOk);
  return *this;
}

DeltaBuilder& DeltaBuilder::Remove(std::int32_t id) {
  Seek(id);
  EXPECT_EQ(cursor_->DeleteRecord(), engine::kDSOk);
  return *this;
}

engine::DSPacket DeltaBuilder::Packet() const {
  engine::DSPacket delta;
  EXPECT_EQ(rows_->GetDeltaPacket(delta), engine::kDSOk);
  return delta;
}

Results ReadResults(const engine::DSPacket& packet) {
  Results out;
  auto errors = engine::CreateDSBase();
  if (errors->AppendPacket(packet.Clone(), true) != engine::kDSOk) {
    ADD_FAILURE() << "the results packet is refused";
    return out;
  }
  if (const engine::DSAttr* a = errors->GetAttribute(engine::kAppliedThrough)) {
    out.appliedThrough = std::get<std::int64_t>(a->value);
  }
  std::unique_ptr<engine::IDSCursor> c;
  errors->CreateCursor(c);
  while (c->MoveRelative(1) == engine::kDSOk) {
    Failure f{};
    engine::DSValueView v;
    c->GetField(1, v);
    std::memcpy(&f.recordNo, v.data, 4);
    c->GetField(2, v);
    std::memcpy(&f.response, v.data, 4);
    c->GetField(3, v);
    f.message = std::string(v.AsText());
    out.failures.push_back(f);
  }
  return out;
}

}  // namespace resolvertest
