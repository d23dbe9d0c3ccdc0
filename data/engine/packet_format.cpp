#include "data/engine/packet_format.h"

#include <cstring>
#include <limits>

namespace engine {

namespace {

constexpr char kMagic[4] = {'D', 'S', 'P', 'K'};
constexpr std::uint16_t kVersion = 2;  // 2: decimals of NUMERIC(<=18) columns kept in 12 bytes
constexpr std::uint8_t kAttrBool = 0;
constexpr std::uint8_t kAttrInt = 1;
constexpr std::uint8_t kAttrText = 2;
// Smallest encodings, used to bound counts by the bytes that remain.
constexpr std::size_t kMinColumnBytes = 2 + 1 + 1 + 4 + 2;
constexpr std::size_t kMinAttrBytes = 2 + 1 + 1;

void PutU16(DSPacket& p, std::uint16_t v) {
  const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
  p.Append(b, 2);
}

void PutU32(DSPacket& p, std::uint32_t v) {
  WriteU32(p.Grow(4), v);
}

void PutName(DSPacket& p, std::string_view s) {
  // Names longer than the format allows are cut; no real column or attribute name comes close.
  const std::size_t n = s.size() > 65535 ? 65535 : s.size();
  PutU16(p, static_cast<std::uint16_t>(n));
  p.Append(s.data(), n);
}

void PutAttrs(DSPacket& p, const std::vector<DSAttr>& attrs) {
  for (const DSAttr& a : attrs) {
    PutName(p, a.name);
    if (const bool* b = std::get_if<bool>(&a.value)) {
      const std::uint8_t v[2] = {kAttrBool, static_cast<std::uint8_t>(*b ? 1 : 0)};
      p.Append(v, 2);
    } else if (const std::int64_t* i = std::get_if<std::int64_t>(&a.value)) {
      const std::uint8_t kind = kAttrInt;
      p.Append(&kind, 1);
      const auto u = static_cast<std::uint64_t>(*i);
      PutU32(p, static_cast<std::uint32_t>(u));
      PutU32(p, static_cast<std::uint32_t>(u >> 32));
    } else {
      const std::string& s = std::get<std::string>(a.value);
      const std::uint8_t kind = kAttrText;
      p.Append(&kind, 1);
      PutU32(p, static_cast<std::uint32_t>(s.size()));
      p.Append(s.data(), s.size());
    }
  }
}

// A cursor over untrusted bytes; every read checks what remains.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> b) : b_(b) {}
  std::size_t remaining() const { return b_.size() - pos_; }
  std::size_t pos() const { return pos_; }
  bool Skip(std::size_t n) {
    if (n > remaining()) return false;
    pos_ += n;
    return true;
  }
  bool U8(std::uint8_t& v) {
    if (remaining() < 1) return false;
    v = b_[pos_++];
    return true;
  }
  bool U16(std::uint16_t& v) {
    if (remaining() < 2) return false;
    v = static_cast<std::uint16_t>(b_[pos_] | b_[pos_ + 1] << 8);
    pos_ += 2;
    return true;
  }
  bool U32(std::uint32_t& v) {
    if (remaining() < 4) return false;
    v = ReadU32(b_.data() + pos_);
    pos_ += 4;
    return true;
  }
  bool Text(std::size_t n, std::string& out) {
    if (n > remaining()) return false;
    out.assign(reinterpret_cast<const char*>(b_.data() + pos_), n);
    pos_ += n;
    return true;
  }
  bool Name(std::string& out) {
    std::uint16_t n = 0;
    return U16(n) && Text(n, out);
  }

 private:
  std::span<const std::uint8_t> b_;
  std::size_t pos_ = 0;
};

bool ReadAttrs(Reader& r, std::uint16_t count, std::vector<DSAttr>& out, std::string& why) {
  if (std::size_t{count} * kMinAttrBytes > r.remaining()) {
    why = "attribute count exceeds the packet";
    return false;
  }
  out.reserve(count);
  for (std::uint16_t i = 0; i < count; ++i) {
    DSAttr a;
    std::uint8_t kind = 0;
    if (!r.Name(a.name) || !r.U8(kind)) {
      why = "truncated attribute";
      return false;
    }
    if (kind == kAttrBool) {
      std::uint8_t v = 0;
      if (!r.U8(v) || v > 1) {
        why = "bad logical attribute '" + a.name + "'";
        return false;
      }
      a.value = v == 1;
    } else if (kind == kAttrInt) {
      std::uint32_t lo = 0, hi = 0;
      if (!r.U32(lo) || !r.U32(hi)) {
        why = "truncated attribute '" + a.name + "'";
        return false;
      }
      a.value = static_cast<std::int64_t>(std::uint64_t{hi} << 32 | lo);
    } else if (kind == kAttrText) {
      std::uint32_t n = 0;
      std::string s;
      if (!r.U32(n) || !r.Text(n, s)) {
        why = "truncated attribute '" + a.name + "'";
        return false;
      }
      a.value = std::move(s);
    } else {
      why = "unknown attribute kind";
      return false;
    }
    out.push_back(std::move(a));
  }
  return true;
}

}  // namespace

DSStatus ParsePacket(std::span<const std::uint8_t> bytes, ParsedPacket& out, std::string& why) {
  const auto fail = [&](std::string reason) {
    why = std::move(reason);
    return kDSBadPacket;
  };
  if (bytes.size() < kPacketHeaderSize) return fail("shorter than its header");
  if (std::memcmp(bytes.data(), kMagic, 4) != 0) return fail("not a data packet");
  Reader r(bytes);
  r.Skip(4);
  std::uint16_t version = 0, flags = 0, columnCount = 0, attrCount = 0;
  std::uint32_t total = 0, rowCount = 0, rowWidth = 0;
  r.U16(version);
  r.U16(flags);
  r.U32(total);
  r.U16(columnCount);
  r.U16(attrCount);
  r.U32(rowCount);
  r.U32(rowWidth);
  if (version != kVersion) return fail("unsupported version " + std::to_string(version));
  if (flags != 0) return fail("unknown flags");
  if (total != bytes.size()) return fail("size does not match its header");
  if (columnCount == 0) return fail("no columns");
  if (std::size_t{columnCount} * kMinColumnBytes > r.remaining()) {
    return fail("column count exceeds the packet");
  }
  std::vector<DSColumn> columns(columnCount);
  for (DSColumn& c : columns) {
    std::uint8_t type = 0;
    std::uint16_t itemCount = 0;
    if (!r.Name(c.name) || !r.U8(type) || !r.U8(c.attrs) || !r.U32(c.size) || !r.U16(itemCount)) {
      return fail("truncated column description");
    }
    if (!IsKnownType(type)) return fail("column '" + c.name + "' has an unknown type");
    if (c.attrs & ~(kColReadOnly | kColRequired | kColHidden)) {
      return fail("column '" + c.name + "' has unknown attributes");
    }
    c.type = static_cast<DSType>(type);
    if (!ReadAttrs(r, itemCount, c.items, why)) return kDSBadPacket;
  }
  if (!ReadAttrs(r, attrCount, out.attrs, why)) return kDSBadPacket;
  std::string layoutWhy;
  if (RowLayout::Make(std::move(columns), out.layout, layoutWhy) != kDSOk) return fail(layoutWhy);
  if (rowWidth != out.layout->width()) return fail("row width does not match its columns");
  const std::uint64_t rowBytes = std::uint64_t{rowCount} * rowWidth;
  if (rowBytes > r.remaining()) return fail("row count exceeds the packet");
  out.rowsOffset = static_cast<std::uint32_t>(r.pos());
  out.rowCount = rowCount;
  r.Skip(static_cast<std::size_t>(rowBytes));
  std::uint32_t blobSize = 0;
  if (!r.U32(blobSize)) return fail("truncated blob area");
  out.blobOffset = static_cast<std::uint32_t>(r.pos());
  out.blobSize = blobSize;
  if (blobSize != r.remaining()) return fail("blob area does not end the packet");
  const std::uint8_t* slot = bytes.data() + out.rowsOffset;
  for (std::uint32_t i = 0; i < rowCount; ++i, slot += rowWidth) {
    if (!out.layout->CheckSlot(slot, blobSize, why)) {
      why = "row " + std::to_string(i + 1) + ": " + why;
      return kDSBadPacket;
    }
  }
  return kDSOk;
}

void PacketBuilder::Begin(std::shared_ptr<const RowLayout> layout,
                          const std::vector<DSAttr>& attrs) {
  layout_ = std::move(layout);
  bytes_ = DSPacket();
  blobArea_.clear();
  rowCount_ = 0;
  bytes_.Append(kMagic, 4);
  PutU16(bytes_, kVersion);
  PutU16(bytes_, 0);
  PutU32(bytes_, 0);  // total size, set by Finish
  PutU16(bytes_, layout_->count());
  PutU16(bytes_, static_cast<std::uint16_t>(attrs.size()));
  PutU32(bytes_, 0);  // row count, set by Finish
  PutU32(bytes_, layout_->width());
  for (const DSColumn& c : layout_->columns()) {
    PutName(bytes_, c.name);
    const std::uint8_t typeAndAttrs[2] = {static_cast<std::uint8_t>(c.type), c.attrs};
    bytes_.Append(typeAndAttrs, 2);
    PutU32(bytes_, c.size);
    PutU16(bytes_, static_cast<std::uint16_t>(c.items.size()));
    PutAttrs(bytes_, c.items);
  }
  PutAttrs(bytes_, attrs);
}

std::uint8_t* PacketBuilder::AddRow() {
  ++rowCount_;
  return bytes_.Grow(layout_->width());
}

void PacketBuilder::DropLastRow() {
  --rowCount_;
  bytes_.Truncate(bytes_.size() - layout_->width());
}

std::uint32_t PacketBuilder::AddBlob(std::string_view b) {
  const auto ref = static_cast<std::uint32_t>(blobArea_.size());
  blobArea_.append(b);
  return ref;
}

DSStatus PacketBuilder::CopySlot(const std::uint8_t* slot, std::uint8_t attr,
                                 const BlobResolver& blobs, std::uint8_t** copied) {
  std::uint8_t* dst = AddRow();
  if (copied) *copied = dst;
  std::memcpy(dst, slot, layout_->width());
  dst[0] = attr;
  for (std::uint16_t i = 0; i < layout_->count(); ++i) {
    // Only a modified row may say "unchanged"; a slot that came from a delta says it elsewhere.
    if (attr != kRowModified && RowLayout::GetBlank(dst, i) == DSBlank::kUnchanged) {
      RowLayout::SetBlank(dst, i, DSBlank::kNull);
    }
    if (!layout_->IsBlob(i) || RowLayout::GetBlank(dst, i) != DSBlank::kValue) continue;
    std::uint8_t* field = dst + layout_->offset(i);
    const std::uint32_t len = ReadU32(field + 4);
    const std::uint8_t* src = len ? blobs(ReadU32(field), len) : nullptr;
    if (len && src == nullptr) return kDSBadValue;
    WriteU32(field, AddBlob(std::string_view(reinterpret_cast<const char*>(src), len)));
  }
  return kDSOk;
}

DSStatus PacketBuilder::Finish(DSPacket& out) {
  const std::uint64_t total = std::uint64_t{bytes_.size()} + 4 + blobArea_.size();
  if (total > std::numeric_limits<std::uint32_t>::max()) {
    layout_.reset();
    return kDSTooLarge;
  }
  PutU32(bytes_, static_cast<std::uint32_t>(blobArea_.size()));
  bytes_.Append(blobArea_.data(), blobArea_.size());
  WriteU32(bytes_.data() + 8, static_cast<std::uint32_t>(total));
  WriteU32(bytes_.data() + 16, rowCount_);
  out = std::move(bytes_);
  blobArea_.clear();
  rowCount_ = 0;
  layout_.reset();
  return kDSOk;
}

}  // namespace engine
