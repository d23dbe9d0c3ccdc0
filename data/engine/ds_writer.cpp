#include "data/engine/ds_writer.h"

#include <utility>

#include "data/engine/packet_format.h"
#include "data/engine/text_util.h"

namespace engine {

namespace {

class DSWriter final : public IDSWriter {
 public:
  DSWriter() = default;
  DSWriter(const DSWriter&) = delete;  // blobSink_ points back at this object
  DSWriter& operator=(const DSWriter&) = delete;

  DSStatus DescribeColumns(std::vector<DSColumn> columns) override {
    builder_ = PacketBuilder();
    row_ = nullptr;
    layout_.reset();
    std::string why;
    if (RowLayout::Make(std::move(columns), layout_, why) != kDSOk) return Fail(kDSBadColumns, why);
    return kDSOk;
  }

  DSStatus AddAttribute(DSAttr attr) override {
    if (builder_.started()) return Fail(kDSWriterState, "attributes must precede the rows");
    for (DSAttr& a : attrs_) {
      if (EqualsIgnoreCase(a.name, attr.name)) {
        a = std::move(attr);
        return kDSOk;
      }
    }
    attrs_.push_back(std::move(attr));
    return kDSOk;
  }

  DSStatus PutRowAttribute(std::uint8_t attribute) override {
    if (!layout_) return Fail(kDSWriterState, "no columns described");
    if (RowIncomplete()) return Fail(kDSWriterState, "the previous row is incomplete");
    if (attribute != kRowUnchanged && attribute != kRowDeleted && attribute != kRowInserted &&
        attribute != kRowModified) {
      return Fail(kDSBadValue, "unknown row attribute");
    }
    if (!builder_.started()) builder_.Begin(layout_, attrs_);
    row_ = builder_.AddRow();
    row_[0] = attribute;
    next_ = 0;
    return kDSOk;
  }

  DSStatus PutField(const void* data, std::uint32_t size) override {
    if (!RowIncomplete()) return Fail(kDSWriterState, "no row expects a value");
    // Only blob columns need a sink; building one for every value costs a fetch dearly.
    const DSStatus s =
        layout_->IsBlob(next_)
            ? layout_->Encode(row_, next_, data, size,
                              [this](std::string_view b) { return builder_.AddBlob(b); })
            : layout_->Encode(row_, next_, data, size, nullptr);
    if (s != kDSOk) return Fail(s, "column '" + layout_->columns()[next_].name + "'");
    ++next_;
    return kDSOk;
  }

  DSStatus PutNull() override { return PutBlank(DSBlank::kNull); }

  DSStatus PutUnchanged() override {
    if (RowIncomplete() && row_[0] != kRowModified) {
      return Fail(kDSBadValue, "only a modified row has unchanged fields");
    }
    return PutBlank(DSBlank::kUnchanged);
  }

  std::uint32_t RowCount() const override {
    return builder_.rowCount() - (RowIncomplete() ? 1 : 0);
  }

  DSStatus GetPacket(DSPacket& out) override {
    if (!layout_) return Fail(kDSWriterState, "no columns described");
    if (RowIncomplete()) return Fail(kDSWriterState, "the last row is incomplete");
    if (!builder_.started()) builder_.Begin(layout_, attrs_);
    row_ = nullptr;
    if (builder_.Finish(out) != kDSOk) return Fail(kDSTooLarge, "more than 4 GiB");
    return kDSOk;
  }

  std::string ErrorText(DSStatus status) const override {
    std::string text = DSStatusText(status);
    if (status == lastStatus_ && !lastDetail_.empty()) text += ": " + lastDetail_;
    return text;
  }

 private:
  bool RowIncomplete() const { return row_ != nullptr && next_ < layout_->count(); }

  DSStatus PutBlank(DSBlank blank) {
    if (!RowIncomplete()) return Fail(kDSWriterState, "no row expects a value");
    RowLayout::SetBlank(row_, next_, blank);
    ++next_;
    return kDSOk;
  }

  DSStatus Fail(DSStatus status, std::string detail) {
    lastStatus_ = status;
    lastDetail_ = std::move(detail);
    return status;
  }

  std::shared_ptr<const RowLayout> layout_;
  std::vector<DSAttr> attrs_;
  PacketBuilder builder_;
  // Made once: a row of values must not pay for building it per field.
  const BlobSink blobSink_ = [this](std::string_view b) { return builder_.AddBlob(b); };
  std::uint8_t* row_ = nullptr;  // the slot being filled, inside the builder's bytes
  std::uint16_t next_ = 0;       // next column of row_
  DSStatus lastStatus_ = kDSOk;
  std::string lastDetail_;
};

}  // namespace

std::unique_ptr<IDSWriter> CreateDSWriter() {
  return std::make_unique<DSWriter>();
}

}  // namespace engine
