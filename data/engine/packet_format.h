// The packet format shared by data packets, deltas and results packets (all little-endian):
//   header, 24 bytes: "DSPK", version u16 (2), flags u16 (0), total size u32, column count u16,
//                     dataset attribute count u16, row count u32, row slot width u32
//   columns:          name (u16 length + bytes), type u8, column attributes u8, size u32,
//                     item count u16, items
//   dataset attributes, items alike: name (u16 length + bytes), kind u8 (0 logical, 1 integer,
//                     2 text), value (u8 0/1 | i64 | u32 length + bytes)
//   rows:             row count slots of the row slot width (see RowLayout)
//   blob area:        u32 length + bytes, referenced from the slots' blob fields
// The header alone makes every packet longer than 21 bytes. The reader trusts nothing: each
// length and count is checked against the bytes that remain before it is used.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/engine/ds_packet.h"
#include "data/engine/ds_types.h"
#include "data/engine/row_layout.h"

namespace engine {

inline constexpr std::uint32_t kPacketHeaderSize = 24;

struct ParsedPacket {
  std::shared_ptr<const RowLayout> layout;
  std::vector<DSAttr> attrs;
  std::uint32_t rowsOffset = 0;
  std::uint32_t rowCount = 0;
  std::uint32_t blobOffset = 0;  // first byte of the blob area
  std::uint32_t blobSize = 0;
};

// Reads and checks a whole packet, every row included. kDSBadPacket with the reason in `why`.
DSStatus ParsePacket(std::span<const std::uint8_t> bytes, ParsedPacket& out, std::string& why);

// Builds a packet: preamble first, then rows appended slot by slot, then the blob area.
class PacketBuilder {
 public:
  // Starts a packet of `layout` rows with dataset attributes `attrs`.
  void Begin(std::shared_ptr<const RowLayout> layout, const std::vector<DSAttr>& attrs);
  bool started() const { return layout_ != nullptr; }
  const RowLayout& layout() const { return *layout_; }
  std::uint32_t rowCount() const { return rowCount_; }

  // A zeroed slot for the next row; valid until the next AddRow or Finish.
  std::uint8_t* AddRow();
  // Drops the row added last.
  void DropLastRow();
  // Stores blob bytes and answers their reference in this packet.
  std::uint32_t AddBlob(std::string_view bytes);
  // Copies a slot with attribute `attr`, its blob fields copied out through `blobs`; `copied`, if
  // given, receives the new slot (valid as AddRow's).
  DSStatus CopySlot(const std::uint8_t* slot, std::uint8_t attr, const BlobResolver& blobs,
                    std::uint8_t** copied = nullptr);
  // Completes the packet; kDSTooLarge when it outgrew the format. The builder is empty after.
  DSStatus Finish(DSPacket& out);

 private:
  std::shared_ptr<const RowLayout> layout_;
  DSPacket bytes_;
  std::string blobArea_;
  std::uint32_t rowCount_ = 0;
};

}  // namespace engine
