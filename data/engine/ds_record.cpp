#include "data/engine/ds_record.h"

#include "data/engine/record_access.h"

namespace engine {

DSRecord::DSRecord() = default;
DSRecord::~DSRecord() = default;
DSRecord::DSRecord(const DSRecord& other) = default;
DSRecord& DSRecord::operator=(const DSRecord& other) = default;
DSRecord::DSRecord(DSRecord&&) noexcept = default;
DSRecord& DSRecord::operator=(DSRecord&&) noexcept = default;

std::uint16_t DSRecord::FieldCount() const {
  return layout_ ? layout_->count() : 0;
}

DSValueView DSRecord::Field(std::uint16_t fieldNo) const {
  DSValueView v;
  GetField(fieldNo, v);
  return v;
}

DSStatus DSRecord::GetField(std::uint16_t fieldNo, DSValueView& out) const {
  if (fieldNo < 1 || fieldNo > FieldCount()) {
    out = DSValueView{};
    return kDSBadFieldNo;
  }
  out = layout_->Decode(slot_.data(), fieldNo - 1, [this](std::uint32_t ref, std::uint32_t len) {
    return RecordAccess::Blob(*this, ref, len);
  });
  return kDSOk;
}

DSStatus DSRecord::PutField(std::uint16_t fieldNo, const void* data, std::uint32_t size) {
  if (fieldNo < 1 || fieldNo > FieldCount()) return kDSBadFieldNo;
  return layout_->Encode(slot_.data(), fieldNo - 1, data, size, [this](std::string_view bytes) {
    blobs_.emplace_back(bytes);
    return kSideRef | static_cast<std::uint32_t>(blobs_.size() - 1);
  });
}

DSStatus DSRecord::PutNull(std::uint16_t fieldNo) {
  if (fieldNo < 1 || fieldNo > FieldCount()) return kDSBadFieldNo;
  RowLayout::SetBlank(slot_.data(), fieldNo - 1, DSBlank::kNull);
  return kDSOk;
}

}  // namespace engine
