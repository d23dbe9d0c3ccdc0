// RecordAccess: the engine's way into a DSRecord's slot and blob values, for the dataset and
// cursor that fill records and take them back.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/engine/ds_record.h"
#include "data/engine/row_layout.h"

namespace engine {

class RecordAccess {
 public:
  static void Shape(DSRecord& r, std::shared_ptr<const RowLayout> layout) {
    r.slot_.assign(layout->width(), 0);
    for (std::uint16_t i = 0; i < layout->count(); ++i) {
      RowLayout::SetBlank(r.slot_.data(), i, DSBlank::kNull);
    }
    r.layout_ = std::move(layout);
    r.blobs_.clear();
    r.bookmark_ = 0;
    r.attribute_ = 0;
  }
  static const std::shared_ptr<const RowLayout>& layout(const DSRecord& r) { return r.layout_; }
  static std::vector<std::uint8_t>& slot(DSRecord& r) { return r.slot_; }
  static const std::vector<std::uint8_t>& slot(const DSRecord& r) { return r.slot_; }
  static std::vector<std::string>& blobs(DSRecord& r) { return r.blobs_; }
  static const std::vector<std::string>& blobs(const DSRecord& r) { return r.blobs_; }
  static void SetRowInfo(DSRecord& r, DSBookmark bookmark, std::uint8_t attribute) {
    r.bookmark_ = bookmark;
    r.attribute_ = attribute;
  }
  // Resolves the record's own blob references.
  static const std::uint8_t* Blob(const DSRecord& r, std::uint32_t ref, std::uint32_t length) {
    if ((ref & kSideRef) == 0) return nullptr;
    const std::uint32_t index = ref & ~kSideRef;
    if (index >= r.blobs_.size() || r.blobs_[index].size() != length) return nullptr;
    return reinterpret_cast<const std::uint8_t*>(r.blobs_[index].data());
  }
};

}  // namespace engine
