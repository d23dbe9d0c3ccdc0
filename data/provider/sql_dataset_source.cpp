// The provider over a dataset of the connection layer: column descriptions from its fields, row
// values as the fields' native bytes (which are the engine's own), command texts handed to a
// query's SQL or a table's name.
#include <algorithm>
#include <cstring>

#include "base/exceptions.h"
#include "base/text.h"
#include "data/fields/packet_field_types.h"
#include "data/provider/dataset_provider.h"
#include "data/provider/param_packet.h"
#include "db/dataset/dataset.h"
#include "db/sql/sql_dataset.h"

using engine::DSType;

namespace {

class SqlDataSetSource final : public ProviderSource {
 public:
  explicit SqlDataSetSource(TDataSet& dataSet) : dataSet_(dataSet) {}

  bool Active() const override { return dataSet_.Active(); }
  void Open() override { dataSet_.Open(); }
  void Close() override { dataSet_.Close(); }
  void First() override { dataSet_.First(); }
  void Next() override { dataSet_.Next(); }
  bool Eof() const override { return dataSet_.Eof(); }
  void CheckBrowseMode() override {
    if (dataSet_.Active()) dataSet_.CheckBrowseMode();
  }

  void SetCommandText(std::string_view text) override {
    if (auto* query = dynamic_cast<TSQLQuery*>(&dataSet_)) {
      query->SetSQL(text);
    } else if (auto* table = dynamic_cast<TSQLTable*>(&dataSet_)) {
      // A table's command text is its name.
      table->SetTableName(TrimLeft(text));
    } else {
      DatabaseError("CommandText changes are not allowed");
    }
  }
  void SetParams(const std::vector<std::uint8_t>& packed) override {
    auto* sql = dynamic_cast<TCustomSQLDataSet*>(&dataSet_);
    if (sql == nullptr) return;
    TParams params;
    UnpackParams(packed, params);
    if (PackParams(sql->Params()) == packed) return;
    // New values call for running the statement again.
    sql->Close();
    sql->Params() = std::move(params);
  }
  // The statements this provider runs have no output parameters.
  std::vector<std::uint8_t> GetParams() const override { return {}; }

  std::vector<engine::DSColumn> Columns() const override;
  void PutRow(engine::IDSWriter& writer) const override;

  std::int64_t LocaleCode() const override {
    const auto* sql = dynamic_cast<const TCustomSQLDataSet*>(&dataSet_);
    return sql != nullptr ? sql->LocaleCode() : 0;
  }

 private:
  TDataSet& dataSet_;
};

std::vector<engine::DSColumn> SqlDataSetSource::Columns() const {
  std::vector<engine::DSColumn> columns;
  columns.reserve(static_cast<std::size_t>(dataSet_.FieldCount()));
  for (int i = 0; i < dataSet_.FieldCount(); ++i) {
    const TField& field = dataSet_.Fields(i);
    engine::DSColumn c;
    c.name = field.FieldName();
    const PacketFieldType travel = PacketFieldTypeOf(field.DataType());
    c.type = travel.type;
    const bool isData = field.FieldKind() == TFieldKind::fkData;
    switch (c.type) {
      case DSType::kText:
      case DSType::kBytes:
        c.size = static_cast<std::uint32_t>(std::max(field.Size(), 0));
        break;
      case DSType::kBlob:
      case DSType::kMemo:
        c.size = 0;
        break;
      default:
        c.size = engine::FixedTypeSize(c.type);
        break;
    }
    if (field.ReadOnly() || !isData) c.attrs |= engine::kColReadOnly;
    if (field.Required() && field.DataType() != TFieldType::ftAutoInc) {
      c.attrs |= engine::kColRequired;
    }
    if (field.ProviderFlags() & pfHidden) c.attrs |= engine::kColHidden | engine::kColReadOnly;
    if (!isData) c.items.push_back({"SERVER_CALC", true});
    if (field.ProviderFlags() != (pfInUpdate | pfInWhere)) {
      c.items.push_back({"PROVFLAGS", std::int64_t{field.ProviderFlags()}});
    }
    if (!field.Origin().empty()) c.items.push_back({"ORIGIN", field.Origin()});
    if (c.type == DSType::kBcd) {
      c.items.push_back({"WIDTH", std::int64_t{field.Precision()}});
      c.items.push_back({"DECIMALS", std::int64_t{field.Size()}});
    }
    if (!travel.subtype.empty()) c.items.push_back({kSubtypeItem, std::string(travel.subtype)});
    columns.push_back(std::move(c));
  }
  return columns;
}

void SqlDataSetSource::PutRow(engine::IDSWriter& writer) const {
  for (int i = 0; i < dataSet_.FieldCount(); ++i) {
    const TField& field = dataSet_.Fields(i);
    TFieldData data;
    engine::DSStatus s;
    if (!field.GetData(data)) {
      s = writer.PutNull();
    } else {
      std::uint32_t size = data.Size;
      if (PacketFieldTypeOf(field.DataType()).type == DSType::kText) {
        // A terminating zero, when the record keeps one, ends the characters.
        const void* zero = std::memchr(data.Data, 0, size);
        if (zero != nullptr)
          size = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(zero) - data.Data);
      }
      s = writer.PutField(data.Data, size);
    }
    if (s != engine::kDSOk) throw EDSWriter(writer.ErrorText(s), s);
  }
}

}  // namespace

std::unique_ptr<ProviderSource> MakeProviderSource(TDataSet& dataSet) {
  return std::make_unique<SqlDataSetSource>(dataSet);
}

void TDataSetProvider::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_ && source_ != nullptr) return;
  dataSet_ = dataSet;
  source_ = dataSet != nullptr ? MakeProviderSource(*dataSet) : nullptr;
  openedByProvider_ = false;
  rowsSent_ = 0;
}
