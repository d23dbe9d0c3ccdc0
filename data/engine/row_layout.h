// RowLayout: how one row of a dataset sits in a fixed-width slot, the unit in which packets
// carry rows and datasets keep them. A slot is: the attribute byte, two blank-indicator bits per
// column, then one fixed-width value area per column:
//   fixed-size types  their native bytes, except:
//   kBcd              the first 12 of its 18 bytes (20 digits) when the column declares at most
//                     18 digits ("WIDTH" item, what a 64-bit scaled integer holds), else all 18
//   kText             size + 1 bytes: the characters, a terminating zero, zero padding
//   kBytes            uint16 length, then size bytes
//   kBlob, kMemo      uint32 reference, uint32 length; the bytes live outside the slot
// A blob reference is an offset into the blob area of the packet the row came from, or, with
// kSideRef set, an index into a store owned by whoever owns the slot.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/engine/ds_types.h"

namespace engine {

inline constexpr std::uint32_t kSideRef = 0x80000000u;

// Resolves a blob reference of a slot to its bytes; null when the reference is dangling.
using BlobResolver = std::function<const std::uint8_t*(std::uint32_t ref, std::uint32_t length)>;
// Stores blob bytes and answers the reference to write into the slot.
using BlobSink = std::function<std::uint32_t(std::string_view bytes)>;

class RowLayout {
 public:
  // kDSBadColumns with a reason when the columns cannot form a row.
  static DSStatus Make(std::vector<DSColumn> columns, std::shared_ptr<const RowLayout>& out,
                       std::string& why);

  const std::vector<DSColumn>& columns() const { return columns_; }
  std::uint16_t count() const { return static_cast<std::uint16_t>(columns_.size()); }
  std::uint32_t width() const { return width_; }
  std::uint32_t offset(std::uint16_t index) const { return offsets_[index]; }
  std::uint32_t valueWidth(std::uint16_t index) const { return widths_[index]; }
  bool IsBlob(std::uint16_t index) const;
  // Same names, types, sizes and value widths, so slots of one fit the other.
  bool SameShape(const RowLayout& other) const;

  static DSBlank GetBlank(const std::uint8_t* slot, std::uint16_t index) {
    return static_cast<DSBlank>((slot[1 + index / 4] >> ((index % 4) * 2)) & 3);
  }
  static void SetBlank(std::uint8_t* slot, std::uint16_t index, DSBlank blank) {
    std::uint8_t& byte = slot[1 + index / 4];
    const int shift = (index % 4) * 2;
    byte = static_cast<std::uint8_t>((byte & ~(3 << shift)) | (static_cast<int>(blank) << shift));
  }

  // Writes a value into a slot (see DSRecord::PutField for the rules); blob bytes go to `sink`.
  DSStatus Encode(std::uint8_t* slot, std::uint16_t index, const void* data, std::uint32_t size,
                  const BlobSink& sink) const;
  // Reads a value; blob bytes through `blobs`.
  DSValueView Decode(const std::uint8_t* slot, std::uint16_t index,
                     const BlobResolver& blobs) const;
  // True when the field holds the same blank state and value in both slots.
  bool SameValue(const std::uint8_t* a, const BlobResolver& blobsA, const std::uint8_t* b,
                 const BlobResolver& blobsB, std::uint16_t index) const;
  // Checks a slot read from outside: attribute, blank bits, text terminators, logical values,
  // byte lengths, and blob references against a blob area of `blobAreaSize` bytes.
  bool CheckSlot(const std::uint8_t* slot, std::uint64_t blobAreaSize, std::string& why) const;

 private:
  std::vector<DSColumn> columns_;
  std::vector<std::uint32_t> offsets_;
  std::vector<std::uint32_t> widths_;
  std::vector<std::uint16_t> checked_;  // columns whose values need more than a size check
  std::uint32_t width_ = 0;
};

std::uint32_t ReadU32(const std::uint8_t* p);
void WriteU32(std::uint8_t* p, std::uint32_t v);

}  // namespace engine
