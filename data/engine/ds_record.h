// DSRecord: a caller-owned record buffer shaped like the rows of one dataset. Filled from the
// current row (IDSCursor::GetCurrentRecord) or blank (IDSCursor::InitRecord), changed field by
// field, and handed back to insert or modify a row. Holds its own copy of every value.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/engine/ds_types.h"

namespace engine {

class RowLayout;

// A read-only view of one row, as filters and find predicates see it.
class DSRowView {
 public:
  virtual ~DSRowView() = default;
  virtual std::uint16_t FieldCount() const = 0;
  // REQUIRES: 1 <= fieldNo <= FieldCount(); otherwise a null value is returned.
  virtual DSValueView Field(std::uint16_t fieldNo) const = 0;
};

class DSRecord : public DSRowView {
 public:
  DSRecord();
  ~DSRecord() override;
  DSRecord(const DSRecord& other);
  DSRecord& operator=(const DSRecord& other);
  DSRecord(DSRecord&&) noexcept;
  DSRecord& operator=(DSRecord&&) noexcept;

  // False until a cursor shaped it.
  bool IsShaped() const { return layout_ != nullptr; }
  std::uint16_t FieldCount() const override;
  DSValueView Field(std::uint16_t fieldNo) const override;

  // Reads a field; kDSBadFieldNo outside 1..FieldCount().
  DSStatus GetField(std::uint16_t fieldNo, DSValueView& out) const;
  // Stores native bytes (see DSType). Text: the characters, with or without a terminating
  // zero, at most the column size; a longer value is refused with kDSBadValue, as is a fixed-size
  // value of the wrong size or a logical other than 0/1.
  DSStatus PutField(std::uint16_t fieldNo, const void* data, std::uint32_t size);
  DSStatus PutNull(std::uint16_t fieldNo);

  // Set when filled from a row: the row's bookmark and attribute bits (0 for a blank record).
  DSBookmark bookmark() const { return bookmark_; }
  std::uint8_t attribute() const { return attribute_; }

 private:
  friend class RecordAccess;
  std::shared_ptr<const RowLayout> layout_;
  std::vector<std::uint8_t> slot_;
  std::vector<std::string> blobs_;  // values of kBlob/kMemo fields, indexed from the slot
  DSBookmark bookmark_ = 0;
  std::uint8_t attribute_ = 0;
};

}  // namespace engine
