#include "data/engine/row_layout.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "base/bcd.h"
#include "data/engine/text_util.h"

namespace engine {

namespace {

// Keeps a slot, and so a packet of a million rows, within sane bounds.
constexpr std::uint32_t kMaxTextSize = 32767;
constexpr std::uint32_t kMaxBytesSize = 65535;
constexpr std::uint32_t kMaxRowWidth = 1u << 20;

// A decimal of a column declared with at most 18 digits keeps 20 in its row: a 64-bit scaled
// integer has up to 19, and a row of two such decimals is a quarter smaller.
constexpr std::uint32_t kShortBcdWidth = 12;
constexpr std::int64_t kShortBcdDeclared = 18;

std::uint32_t ValueWidth(const DSColumn& c) {
  switch (c.type) {
    case DSType::kBcd: {
      const DSAttr* declared = FindAttr(c.items, "WIDTH");
      const auto* digits = declared ? std::get_if<std::int64_t>(&declared->value) : nullptr;
      return digits && *digits >= 1 && *digits <= kShortBcdDeclared ? kShortBcdWidth : sizeof(TBcd);
    }
    case DSType::kText:
      return c.size + 1;
    case DSType::kBytes:
      return c.size + 2;
    case DSType::kBlob:
    case DSType::kMemo:
      return 8;
    default:
      return FixedTypeSize(c.type);
  }
}

}  // namespace

std::uint32_t ReadU32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

void WriteU32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

DSStatus RowLayout::Make(std::vector<DSColumn> columns, std::shared_ptr<const RowLayout>& out,
                         std::string& why) {
  if (columns.empty() || columns.size() > 65535) {
    why = "a row needs 1 to 65535 columns";
    return kDSBadColumns;
  }
  auto layout = std::make_shared<RowLayout>();
  std::unordered_set<std::string> names;
  std::uint64_t offset = 1 + (columns.size() * 2 + 7) / 8;
  for (const DSColumn& c : columns) {
    if (c.name.empty() || !names.insert(UpperAscii(c.name)).second) {
      why = c.name.empty() ? "a column has no name" : "duplicate column name '" + c.name + "'";
      return kDSBadColumns;
    }
    if (!IsKnownType(static_cast<std::uint8_t>(c.type))) {
      why = "column '" + c.name + "' has an unknown type";
      return kDSBadColumns;
    }
    const std::uint32_t fixed = FixedTypeSize(c.type);
    bool sizeOk = true;
    if (c.type == DSType::kText)
      sizeOk = c.size >= 1 && c.size <= kMaxTextSize;
    else if (c.type == DSType::kBytes)
      sizeOk = c.size >= 1 && c.size <= kMaxBytesSize;
    else if (c.type == DSType::kBlob || c.type == DSType::kMemo)
      sizeOk = c.size == 0;
    else
      sizeOk = c.size == fixed;
    if (!sizeOk) {
      why = "column '" + c.name + "' has a size unfit for its type";
      return kDSBadColumns;
    }
    if (c.type == DSType::kText || c.type == DSType::kBytes || c.type == DSType::kBlob ||
        c.type == DSType::kMemo || c.type == DSType::kLogical) {
      layout->checked_.push_back(static_cast<std::uint16_t>(layout->offsets_.size()));
    }
    layout->offsets_.push_back(static_cast<std::uint32_t>(offset));
    layout->widths_.push_back(ValueWidth(c));
    offset += layout->widths_.back();
    if (offset > kMaxRowWidth) {
      why = "a row would be wider than 1 MiB";
      return kDSBadColumns;
    }
  }
  layout->width_ = static_cast<std::uint32_t>(offset);
  layout->columns_ = std::move(columns);
  out = std::move(layout);
  return kDSOk;
}

bool RowLayout::IsBlob(std::uint16_t index) const {
  return columns_[index].type == DSType::kBlob || columns_[index].type == DSType::kMemo;
}

bool RowLayout::SameShape(const RowLayout& other) const {
  if (columns_.size() != other.columns_.size()) return false;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const DSColumn& a = columns_[i];
    const DSColumn& b = other.columns_[i];
    if (a.type != b.type || a.size != b.size || widths_[i] != other.widths_[i] ||
        UpperAscii(a.name) != UpperAscii(b.name)) {
      return false;
    }
  }
  return true;
}

DSStatus RowLayout::Encode(std::uint8_t* slot, std::uint16_t index, const void* data,
                           std::uint32_t size, const BlobSink& sink) const {
  const DSColumn& c = columns_[index];
  std::uint8_t* dst = slot + offsets_[index];
  const auto* src = static_cast<const std::uint8_t*>(data);
  if (size > 0 && src == nullptr) return kDSBadValue;
  switch (c.type) {
    case DSType::kText: {
      // A terminating zero, if given, ends the text; nothing after it counts.
      const void* zero = size ? std::memchr(src, 0, size) : nullptr;
      const std::uint32_t len =
          zero ? static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(zero) - src) : size;
      if (len > c.size) return kDSBadValue;
      std::memset(dst, 0, c.size + 1);
      if (len) std::memcpy(dst, src, len);
      break;
    }
    case DSType::kBytes:
      if (size > c.size) return kDSBadValue;
      std::memset(dst, 0, c.size + 2);
      dst[0] = static_cast<std::uint8_t>(size);
      dst[1] = static_cast<std::uint8_t>(size >> 8);
      if (size) std::memcpy(dst + 2, src, size);
      break;
    case DSType::kBlob:
    case DSType::kMemo:
      WriteU32(dst, sink(std::string_view(reinterpret_cast<const char*>(src), size)));
      WriteU32(dst + 4, size);
      break;
    case DSType::kLogical:
      if (size != 2 || src[1] != 0 || src[0] > 1) return kDSBadValue;
      std::memcpy(dst, src, 2);
      break;
    case DSType::kBcd:
      if (size != sizeof(TBcd)) return kDSBadValue;
      if (widths_[index] == sizeof(TBcd)) {
        std::memcpy(dst, src, sizeof(TBcd));
      } else {
        static constexpr std::uint8_t kZeros[sizeof(TBcd) - kShortBcdWidth] = {};
        if (std::memcmp(src + kShortBcdWidth, kZeros, sizeof kZeros) != 0) {
          return kDSBadValue;  // more digits than the row keeps
        }
        std::memcpy(dst, src, kShortBcdWidth);
      }
      break;
    default:  // 2, 4 or 8 bytes, spelled out so that each copy is a move, not a library call
      if (size != FixedTypeSize(c.type)) return kDSBadValue;
      if (size == 8)
        std::memcpy(dst, src, 8);
      else if (size == 4)
        std::memcpy(dst, src, 4);
      else
        std::memcpy(dst, src, 2);
      break;
  }
  SetBlank(slot, index, DSBlank::kValue);
  return kDSOk;
}

DSValueView RowLayout::Decode(const std::uint8_t* slot, std::uint16_t index,
                              const BlobResolver& blobs) const {
  const DSColumn& c = columns_[index];
  DSValueView v;
  v.type = c.type;
  v.blank = GetBlank(slot, index);
  if (v.blank != DSBlank::kValue) return v;
  const std::uint8_t* p = slot + offsets_[index];
  switch (c.type) {
    case DSType::kText:
      v.data = p;
      v.size = static_cast<std::uint32_t>(strnlen(reinterpret_cast<const char*>(p), c.size)) + 1;
      break;
    case DSType::kBytes:
      v.data = p + 2;
      v.size = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
      break;
    case DSType::kBlob:
    case DSType::kMemo: {
      static const std::uint8_t kEmpty = 0;
      v.size = ReadU32(p + 4);
      v.data = v.size ? blobs(ReadU32(p), v.size) : &kEmpty;
      if (v.data == nullptr) {
        v.blank = DSBlank::kNull;
        v.size = 0;
      }
      break;
    }
    case DSType::kBcd:
      v.size = sizeof(TBcd);
      if (widths_[index] == sizeof(TBcd)) {
        v.data = p;
      } else {
        std::memcpy(v.own, p, widths_[index]);
        v.data = v.own;
      }
      break;
    default:
      v.data = p;
      v.size = FixedTypeSize(c.type);
      break;
  }
  return v;
}

bool RowLayout::SameValue(const std::uint8_t* a, const BlobResolver& blobsA, const std::uint8_t* b,
                          const BlobResolver& blobsB, std::uint16_t index) const {
  const DSValueView va = Decode(a, index, blobsA);
  const DSValueView vb = Decode(b, index, blobsB);
  if (va.blank != vb.blank) return false;
  if (va.blank != DSBlank::kValue) return true;
  return va.size == vb.size && (va.size == 0 || std::memcmp(va.data, vb.data, va.size) == 0);
}

bool RowLayout::CheckSlot(const std::uint8_t* slot, std::uint64_t blobAreaSize,
                          std::string& why) const {
  const std::uint8_t attr = slot[0];
  if (attr != kRowUnchanged && attr != kRowDeleted && attr != kRowInserted &&
      attr != kRowModified) {
    why = "unknown row attribute";
    return false;
  }
  // Blank indicators, four to a byte: 3 is never valid, 2 (unchanged) only in a modified row.
  const std::size_t blankBytes = (std::size_t{count()} * 2 + 7) / 8;
  for (std::size_t b = 0; b < blankBytes; ++b) {
    const std::uint8_t bits = slot[1 + b];
    const bool bad = attr == kRowModified ? (bits & (bits >> 1) & 0x55) != 0 : (bits & 0xAA) != 0;
    if (bad) {
      why = "invalid blank indicator in column '" +
            columns_[std::min<std::size_t>(b * 4, count() - 1)].name + "'";
      return false;
    }
  }
  for (std::uint16_t i : checked_) {
    if (GetBlank(slot, i) != DSBlank::kValue) continue;
    const DSColumn& c = columns_[i];
    const std::uint8_t* p = slot + offsets_[i];
    bool ok = true;
    switch (c.type) {
      case DSType::kText:
        ok = std::memchr(p, 0, c.size + 1) != nullptr;
        break;
      case DSType::kBytes:
        ok = (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8) <= c.size;
        break;
      case DSType::kBlob:
      case DSType::kMemo: {
        const std::uint32_t ref = ReadU32(p);
        const std::uint64_t len = ReadU32(p + 4);
        ok = (ref & kSideRef) == 0 && std::uint64_t{ref} + len <= blobAreaSize;
        break;
      }
      default:  // kLogical
        ok = p[1] == 0 && p[0] <= 1;
        break;
    }
    if (!ok) {
      why = "invalid value in column '" + c.name + "'";
      return false;
    }
  }
  return true;
}

}  // namespace engine
