// DSDataset: the engine's dataset. Fetched rows stay in the packets they arrived in (the dataset
// owns those bytes); inserted rows and the new values of modified rows live in slots of their
// own; the change log maps a row id to its one net change. The visible order is a vector of row
// ids, so a million fetched rows cost four bytes each beyond their packet slots.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "data/engine/ds_base.h"
#include "data/engine/row_layout.h"

namespace engine {

inline constexpr DSBookmark kInsertedId = 0x80000000u;

class DSDataset final : public IDSBase {
 public:
  DSDataset() = default;
  DSDataset(std::shared_ptr<const RowLayout> layout, std::vector<DSAttr> attrs);

  DSStatus AppendPacket(DSPacket packet, bool endOfData) override;
  bool EndOfData() const override { return endOfData_; }
  const std::vector<DSColumn>& Columns() const override;
  const std::vector<DSAttr>& Attributes() const override { return attrs_; }
  const DSAttr* GetAttribute(std::string_view name) const override;
  void SetAttribute(DSAttr attr) override;
  std::uint32_t RowCount() const override;
  std::uint32_t ChangeCount() const override;
  void SetChangeLogging(bool on) override { logging_ = on; }
  bool ChangeLogging() const override { return logging_; }
  DSStatus GetDeltaPacket(DSPacket& out) const override;
  DSStatus GetDelta(std::unique_ptr<IDSBase>& out) const override;
  DSStatus StreamPacket(DSPacket& out) const override;
  DSStatus MergeChangeLog() override;
  DSStatus Reconcile(const DSPacket& results, const DSReconcileCallback& callback) override;
  DSStatus CloneStructure(std::unique_ptr<IDSBase>& out) const override;
  DSStatus CreateCursor(std::unique_ptr<IDSCursor>& out) override;
  std::string ErrorText(DSStatus status) const override;

  // For cursors.
  const std::shared_ptr<const RowLayout>& layout() const { return layout_; }
  const std::vector<DSBookmark>& order() const { return order_; }
  // Changes whenever rows leave or enter the order other than at its end.
  std::uint64_t version() const { return version_; }
  bool IsDeleted(DSBookmark id) const;
  const std::uint8_t* CurrentSlot(DSBookmark id) const;
  const std::uint8_t* OriginalSlot(DSBookmark id) const;
  std::uint8_t Attribute(DSBookmark id) const;
  DSValueView Field(DSBookmark id, const std::uint8_t* slot, std::uint16_t index) const;
  void FillRecord(DSBookmark id, const std::uint8_t* slot, DSRecord& out) const;
  // Inserts before order position `pos`; answers the new id.
  DSStatus Insert(std::size_t pos, const DSRecord& record, DSBookmark& id);
  DSStatus Modify(DSBookmark id, const DSRecord& record);
  DSStatus Delete(DSBookmark id);
  DSStatus Revert(DSBookmark id);
  DSStatus Fail(DSStatus status, std::string detail) const;

 private:
  struct Chunk {
    DSPacket bytes;
    std::uint32_t rowsOffset = 0;
    std::uint32_t firstId = 0;
    std::uint32_t rowCount = 0;
    std::uint32_t blobOffset = 0;
    std::uint32_t blobSize = 0;
  };
  struct Change {
    std::uint8_t kind = 0;                    // kRowInserted, kRowModified or kRowDeleted
    std::uint64_t seq = 0;                    // when the row was first changed
    std::unique_ptr<std::uint8_t[]> current;  // new values of a modified row
  };
  // A change in delta order, with the delta record numbers it occupies.
  struct DeltaEntry {
    DSBookmark id;
    std::uint32_t firstRecNo;
    std::uint32_t lastRecNo;
  };

  // REQUIRES: id names a fetched row.
  std::size_t ChunkIndex(DSBookmark id) const;
  std::uint8_t* BaseSlot(DSBookmark id);
  BlobResolver Blobs(DSBookmark id) const;
  std::unique_ptr<std::uint8_t[]> SlotFromRecord(const DSRecord& record);
  DSStatus CheckRecord(const DSRecord& record) const;
  bool SameAsOriginal(DSBookmark id, const std::uint8_t* slot) const;
  std::vector<DeltaEntry> DeltaOrder() const;
  // Folds a row's change into its fetched values and drops it from the log; deleted rows are
  // collected into `removed` for one pass over the order.
  void MergeOne(DSBookmark id, std::unordered_set<DSBookmark>& removed);
  void RevertOne(DSBookmark id, std::unordered_set<DSBookmark>& removed);
  void RemoveFromOrder(const std::unordered_set<DSBookmark>& removed);
  // Replaces a row's fetched values by the server values of the results row at `at`, if any.
  DSStatus RefreshFromResults(DSBookmark id, const IDSCursor& at);

  std::shared_ptr<const RowLayout> layout_;
  std::vector<DSAttr> attrs_;
  std::vector<Chunk> chunks_;
  std::uint32_t fetchedCount_ = 0;
  std::vector<std::unique_ptr<std::uint8_t[]>> inserted_;
  std::vector<std::string> sideBlobs_;
  std::vector<DSBookmark> order_;
  std::unordered_map<DSBookmark, Change> changes_;
  std::uint64_t nextSeq_ = 1;
  std::uint32_t deletedCount_ = 0;
  std::uint64_t version_ = 1;
  bool endOfData_ = false;
  bool logging_ = true;
  mutable DSStatus lastStatus_ = kDSOk;
  mutable std::string lastDetail_;
};

}  // namespace engine
