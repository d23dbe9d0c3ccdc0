#include "data/engine/ds_dataset.h"

#include <algorithm>
#include <cstring>

#include "data/engine/packet_format.h"
#include "data/engine/record_access.h"
#include "data/engine/text_util.h"

namespace engine {

namespace {

const std::vector<DSColumn> kNoColumns;

// Fetched row ids stay below the inserted-row bit.
constexpr std::uint32_t kMaxFetched = kInsertedId - 1;

}  // namespace

DSDataset::DSDataset(std::shared_ptr<const RowLayout> layout, std::vector<DSAttr> attrs)
    : layout_(std::move(layout)), attrs_(std::move(attrs)) {}

DSStatus DSDataset::Fail(DSStatus status, std::string detail) const {
  lastStatus_ = status;
  lastDetail_ = std::move(detail);
  return status;
}

std::string DSDataset::ErrorText(DSStatus status) const {
  std::string text = DSStatusText(status);
  if (status == lastStatus_ && !lastDetail_.empty()) text += ": " + lastDetail_;
  return text;
}

DSStatus DSDataset::AppendPacket(DSPacket packet, bool endOfData) {
  ParsedPacket parsed;
  std::string why;
  if (ParsePacket(packet.bytes(), parsed, why) != kDSOk) return Fail(kDSBadPacket, why);
  if (layout_ && !layout_->SameShape(*parsed.layout)) {
    return Fail(kDSLayoutMismatch, "columns differ from the first packet's");
  }
  if (parsed.rowCount > kMaxFetched - fetchedCount_) {
    return Fail(kDSTooLarge, "more rows than a dataset can hold");
  }
  if (!layout_) {
    layout_ = parsed.layout;
    attrs_ = std::move(parsed.attrs);
  }
  // Geometric growth: many small packets must not re-allocate the order for each one.
  const std::size_t needed = order_.size() + parsed.rowCount;
  if (needed > order_.capacity()) order_.reserve(std::max(needed, order_.capacity() * 2));
  for (std::uint32_t i = 0; i < parsed.rowCount; ++i) order_.push_back(fetchedCount_ + i);
  if (parsed.rowCount > 0) {
    chunks_.push_back(Chunk{std::move(packet), parsed.rowsOffset, fetchedCount_, parsed.rowCount,
                            parsed.blobOffset, parsed.blobSize});
    fetchedCount_ += parsed.rowCount;
  }
  endOfData_ = endOfData;
  return kDSOk;
}

const std::vector<DSColumn>& DSDataset::Columns() const {
  return layout_ ? layout_->columns() : kNoColumns;
}

const DSAttr* DSDataset::GetAttribute(std::string_view name) const {
  return FindAttr(attrs_, name);
}

void DSDataset::SetAttribute(DSAttr attr) {
  for (DSAttr& a : attrs_) {
    if (EqualsIgnoreCase(a.name, attr.name)) {
      a = std::move(attr);
      return;
    }
  }
  attrs_.push_back(std::move(attr));
}

std::uint32_t DSDataset::RowCount() const {
  return static_cast<std::uint32_t>(order_.size()) - deletedCount_;
}

std::uint32_t DSDataset::ChangeCount() const {
  return static_cast<std::uint32_t>(changes_.size());
}

std::size_t DSDataset::ChunkIndex(DSBookmark id) const {
  auto it = std::upper_bound(chunks_.begin(), chunks_.end(), id,
                             [](DSBookmark v, const Chunk& c) { return v < c.firstId; });
  return static_cast<std::size_t>(it - chunks_.begin()) - 1;
}

std::uint8_t* DSDataset::BaseSlot(DSBookmark id) {
  if (id & kInsertedId) return inserted_[id & ~kInsertedId].get();
  Chunk& c = chunks_[ChunkIndex(id)];
  return c.bytes.data() + c.rowsOffset + std::size_t{id - c.firstId} * layout_->width();
}

const std::uint8_t* DSDataset::OriginalSlot(DSBookmark id) const {
  return const_cast<DSDataset*>(this)->BaseSlot(id);
}

const std::uint8_t* DSDataset::CurrentSlot(DSBookmark id) const {
  if (!changes_.empty()) {
    auto it = changes_.find(id);
    if (it != changes_.end() && it->second.current) return it->second.current.get();
  }
  return OriginalSlot(id);
}

bool DSDataset::IsDeleted(DSBookmark id) const {
  if (changes_.empty()) return false;
  auto it = changes_.find(id);
  return it != changes_.end() && it->second.kind == kRowDeleted;
}

std::uint8_t DSDataset::Attribute(DSBookmark id) const {
  auto it = changes_.find(id);
  if (it != changes_.end()) return it->second.kind;
  return OriginalSlot(id)[0];
}

BlobResolver DSDataset::Blobs(DSBookmark id) const {
  return [this, id](std::uint32_t ref, std::uint32_t length) -> const std::uint8_t* {
    if (ref & kSideRef) {
      const std::uint32_t index = ref & ~kSideRef;
      if (index >= sideBlobs_.size() || sideBlobs_[index].size() != length) return nullptr;
      return reinterpret_cast<const std::uint8_t*>(sideBlobs_[index].data());
    }
    if (id & kInsertedId) return nullptr;
    const Chunk& c = chunks_[ChunkIndex(id)];
    if (std::uint64_t{ref} + length > c.blobSize) return nullptr;
    return c.bytes.data() + c.blobOffset + ref;
  };
}

DSValueView DSDataset::Field(DSBookmark id, const std::uint8_t* slot, std::uint16_t index) const {
  if (layout_->IsBlob(index)) return layout_->Decode(slot, index, Blobs(id));
  return layout_->Decode(slot, index, nullptr);
}

void DSDataset::FillRecord(DSBookmark id, const std::uint8_t* slot, DSRecord& out) const {
  RecordAccess::Shape(out, layout_);
  std::vector<std::uint8_t>& dst = RecordAccess::slot(out);
  std::memcpy(dst.data(), slot, layout_->width());
  dst[0] = 0;
  for (std::uint16_t i = 0; i < layout_->count(); ++i) {
    if (!layout_->IsBlob(i) || RowLayout::GetBlank(slot, i) != DSBlank::kValue) continue;
    const DSValueView v = Field(id, slot, i);
    std::vector<std::string>& blobs = RecordAccess::blobs(out);
    blobs.emplace_back(reinterpret_cast<const char*>(v.data), v.size);
    WriteU32(dst.data() + layout_->offset(i),
             kSideRef | static_cast<std::uint32_t>(blobs.size() - 1));
  }
  RecordAccess::SetRowInfo(out, id, Attribute(id));
}

DSStatus DSDataset::CheckRecord(const DSRecord& record) const {
  const auto& layout = RecordAccess::layout(record);
  if (!layout_ || !layout || (layout != layout_ && !layout->SameShape(*layout_))) {
    return Fail(kDSBadValue, "the record is not shaped for this dataset");
  }
  return kDSOk;
}

std::unique_ptr<std::uint8_t[]> DSDataset::SlotFromRecord(const DSRecord& record) {
  const std::uint32_t width = layout_->width();
  auto slot = std::make_unique<std::uint8_t[]>(width);
  std::memcpy(slot.get(), RecordAccess::slot(record).data(), width);
  slot[0] = 0;
  for (std::uint16_t i = 0; i < layout_->count(); ++i) {
    // A record never carries unchanged markers into the rows.
    if (RowLayout::GetBlank(slot.get(), i) == DSBlank::kUnchanged) {
      RowLayout::SetBlank(slot.get(), i, DSBlank::kNull);
    }
    if (!layout_->IsBlob(i) || RowLayout::GetBlank(slot.get(), i) != DSBlank::kValue) continue;
    std::uint8_t* field = slot.get() + layout_->offset(i);
    const std::uint32_t len = ReadU32(field + 4);
    const std::uint8_t* bytes = len ? RecordAccess::Blob(record, ReadU32(field), len) : nullptr;
    sideBlobs_.push_back(bytes ? std::string(reinterpret_cast<const char*>(bytes), len)
                               : std::string());
    WriteU32(field, kSideRef | static_cast<std::uint32_t>(sideBlobs_.size() - 1));
    WriteU32(field + 4, bytes ? len : 0);
  }
  return slot;
}

bool DSDataset::SameAsOriginal(DSBookmark id, const std::uint8_t* slot) const {
  const std::uint8_t* original = OriginalSlot(id);
  const BlobResolver blobs = Blobs(id);
  for (std::uint16_t i = 0; i < layout_->count(); ++i) {
    if (!layout_->SameValue(original, blobs, slot, blobs, i)) return false;
  }
  return true;
}

DSStatus DSDataset::Insert(std::size_t pos, const DSRecord& record, DSBookmark& id) {
  if (DSStatus s = CheckRecord(record); s != kDSOk) return s;
  if (inserted_.size() >= kMaxFetched) return Fail(kDSTooLarge, "too many inserted rows");
  id = kInsertedId | static_cast<DSBookmark>(inserted_.size());
  inserted_.push_back(SlotFromRecord(record));
  order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(std::min(pos, order_.size())), id);
  if (logging_) changes_[id] = Change{kRowInserted, nextSeq_++, nullptr};
  ++version_;
  return kDSOk;
}

DSStatus DSDataset::Modify(DSBookmark id, const DSRecord& record) {
  if (DSStatus s = CheckRecord(record); s != kDSOk) return s;
  if (IsDeleted(id)) return Fail(kDSNotVisible, "the row is deleted");
  auto slot = SlotFromRecord(record);
  auto it = changes_.find(id);
  if (it != changes_.end() && it->second.kind == kRowModified) {
    it->second.current = std::move(slot);
    if (SameAsOriginal(id, it->second.current.get())) changes_.erase(it);
    return kDSOk;
  }
  if (it == changes_.end() && logging_) {
    if (!SameAsOriginal(id, slot.get())) {
      changes_[id] = Change{kRowModified, nextSeq_++, std::move(slot)};
    }
    return kDSOk;
  }
  // An inserted row, or logging off: the values are replaced where they stand.
  std::uint8_t* base = BaseSlot(id);
  slot[0] = base[0];
  std::memcpy(base, slot.get(), layout_->width());
  return kDSOk;
}

DSStatus DSDataset::Delete(DSBookmark id) {
  auto it = changes_.find(id);
  if (it != changes_.end()) {
    switch (it->second.kind) {
      case kRowDeleted:
        return Fail(kDSNotVisible, "the row is deleted already");
      case kRowInserted:
        changes_.erase(it);
        break;  // nothing of it ever reached the fetched rows: it vanishes
      default:
        it->second.kind = kRowDeleted;
        it->second.current.reset();
        ++deletedCount_;
        return kDSOk;
    }
  } else if (logging_) {
    changes_[id] = Change{kRowDeleted, nextSeq_++, nullptr};
    ++deletedCount_;
    return kDSOk;
  }
  RemoveFromOrder({id});
  return kDSOk;
}

DSStatus DSDataset::Revert(DSBookmark id) {
  auto it = changes_.find(id);
  if (it == changes_.end()) return kDSOk;
  std::unordered_set<DSBookmark> removed;
  RevertOne(id, removed);
  RemoveFromOrder(removed);
  return kDSOk;
}

void DSDataset::RemoveFromOrder(const std::unordered_set<DSBookmark>& removed) {
  if (removed.empty()) return;
  std::erase_if(order_, [&](DSBookmark id) { return removed.count(id) != 0; });
  for (DSBookmark id : removed) {
    if (id & kInsertedId) inserted_[id & ~kInsertedId].reset();
  }
  ++version_;
}

void DSDataset::MergeOne(DSBookmark id, std::unordered_set<DSBookmark>& removed) {
  auto it = changes_.find(id);
  if (it == changes_.end()) return;
  Change& c = it->second;
  if (c.kind == kRowModified) {
    std::uint8_t* base = BaseSlot(id);
    c.current[0] = base[0];
    std::memcpy(base, c.current.get(), layout_->width());
  } else if (c.kind == kRowDeleted) {
    --deletedCount_;
    removed.insert(id);
  }
  changes_.erase(it);
}

void DSDataset::RevertOne(DSBookmark id, std::unordered_set<DSBookmark>& removed) {
  auto it = changes_.find(id);
  if (it == changes_.end()) return;
  if (it->second.kind == kRowInserted) removed.insert(id);
  if (it->second.kind == kRowDeleted) --deletedCount_;
  changes_.erase(it);
}

DSStatus DSDataset::MergeChangeLog() {
  std::unordered_set<DSBookmark> removed;
  std::vector<DSBookmark> ids;
  ids.reserve(changes_.size());
  for (const auto& [id, change] : changes_) ids.push_back(id);
  for (DSBookmark id : ids) MergeOne(id, removed);
  RemoveFromOrder(removed);
  ++version_;
  return kDSOk;
}

std::vector<DSDataset::DeltaEntry> DSDataset::DeltaOrder() const {
  std::vector<std::pair<std::uint64_t, DSBookmark>> bySeq;
  bySeq.reserve(changes_.size());
  for (const auto& [id, change] : changes_) bySeq.emplace_back(change.seq, id);
  std::sort(bySeq.begin(), bySeq.end());
  std::vector<DeltaEntry> entries;
  entries.reserve(bySeq.size());
  std::uint32_t recNo = 1;
  for (const auto& [seq, id] : bySeq) {
    const std::uint32_t rows = changes_.at(id).kind == kRowModified ? 2 : 1;
    entries.push_back(DeltaEntry{id, recNo, recNo + rows - 1});
    recNo += rows;
  }
  return entries;
}

DSStatus DSDataset::GetDeltaPacket(DSPacket& out) const {
  out = DSPacket();
  if (changes_.empty()) return kDSOk;
  std::vector<DSAttr> attrs;
  for (const DSAttr& a : attrs_) {
    if (!EqualsIgnoreCase(a.name, "LCID")) attrs.push_back(a);
  }
  PacketBuilder builder;
  builder.Begin(layout_, attrs);
  for (const DeltaEntry& e : DeltaOrder()) {
    const Change& c = changes_.at(e.id);
    const BlobResolver blobs = Blobs(e.id);
    DSStatus s = kDSOk;
    if (c.kind == kRowModified) {
      s = builder.CopySlot(OriginalSlot(e.id), kRowUnchanged, blobs);
      std::uint8_t* row = nullptr;
      if (s == kDSOk) s = builder.CopySlot(c.current.get(), kRowModified, blobs, &row);
      for (std::uint16_t i = 0; s == kDSOk && i < layout_->count(); ++i) {
        if (layout_->SameValue(OriginalSlot(e.id), blobs, c.current.get(), blobs, i)) {
          RowLayout::SetBlank(row, i, DSBlank::kUnchanged);
        }
      }
    } else {
      s = builder.CopySlot(OriginalSlot(e.id), c.kind, blobs);
    }
    if (s != kDSOk) return Fail(s, "a row's blob value is missing");
  }
  if (builder.Finish(out) != kDSOk) return Fail(kDSTooLarge, "the delta exceeds 4 GiB");
  return kDSOk;
}

DSStatus DSDataset::GetDelta(std::unique_ptr<IDSBase>& out) const {
  auto delta = std::make_unique<DSDataset>(layout_, attrs_);
  std::erase_if(delta->attrs_, [](const DSAttr& a) { return EqualsIgnoreCase(a.name, "LCID"); });
  delta->logging_ = false;
  delta->endOfData_ = true;
  if (!changes_.empty()) {
    DSPacket packet;
    if (DSStatus s = GetDeltaPacket(packet); s != kDSOk) return s;
    if (DSStatus s = delta->AppendPacket(std::move(packet), true); s != kDSOk) {
      return Fail(s, delta->lastDetail_);
    }
  }
  out = std::move(delta);
  return kDSOk;
}

DSStatus DSDataset::StreamPacket(DSPacket& out) const {
  if (!layout_) return Fail(kDSBadColumns, "the dataset has no columns yet");
  PacketBuilder builder;
  builder.Begin(layout_, attrs_);
  for (DSBookmark id : order_) {
    if (IsDeleted(id)) continue;
    if (builder.CopySlot(CurrentSlot(id), Attribute(id), Blobs(id)) != kDSOk) {
      return Fail(kDSBadValue, "a row's blob value is missing");
    }
  }
  if (builder.Finish(out) != kDSOk) return Fail(kDSTooLarge, "the packet exceeds 4 GiB");
  return kDSOk;
}

DSStatus DSDataset::CloneStructure(std::unique_ptr<IDSBase>& out) const {
  if (!layout_) return Fail(kDSBadColumns, "the dataset has no columns yet");
  out = std::make_unique<DSDataset>(layout_, attrs_);
  return kDSOk;
}

std::unique_ptr<IDSBase> CreateDSBase() {
  return std::make_unique<DSDataset>();
}

DSStatus CreateDSBase(std::vector<DSColumn> columns, std::vector<DSAttr> attrs,
                      std::unique_ptr<IDSBase>& out) {
  std::shared_ptr<const RowLayout> layout;
  std::string why;
  if (DSStatus s = RowLayout::Make(std::move(columns), layout, why); s != kDSOk) return s;
  out = std::make_unique<DSDataset>(std::move(layout), std::move(attrs));
  return kDSOk;
}

}  // namespace engine
