#include "data/client/client_dataset.h"

#include <cctype>
#include <cstring>

#include "base/bcd.h"
#include "base/text.h"
#include "data/client/locate_expression.h"
#include "data/expr/expr_parser.h"
#include "data/provider/provider_options.h"

using engine::DSType;

namespace {

constexpr char kSReadOnlyDataSet[] = "Cannot modify a read-only dataset";
constexpr char kSNoEdits[] = "Modifications are not allowed";
constexpr char kSNoInserts[] = "Inserts are not allowed";
constexpr char kSNoDeletes[] = "Deletes are not allowed";
constexpr char kSEmptyDataSet[] = "Cannot perform this operation on an empty dataset";
constexpr char kSFieldRequired[] = "Field '%s' must have a value";
constexpr char kSFieldNotFound[] = "Field '%s' not found";
constexpr char kSFieldTypeMismatch[] = "Type mismatch for field '%s', expecting: %s actual: %s";
constexpr char kSInactive[] = "Cannot perform this operation on a closed dataset";
constexpr char kSNotEditing[] = "Dataset not in edit or insert mode";
constexpr char kSFieldReadOnly[] = "Field '%s' cannot be modified";

const char* TypeName(DSType type) {
  switch (type) {
    case DSType::kText:
      return "String";
    case DSType::kDate:
      return "Date";
    case DSType::kLogical:
      return "Boolean";
    case DSType::kSmallInt:
      return "Smallint";
    case DSType::kInteger:
      return "Integer";
    case DSType::kFloat:
      return "Float";
    case DSType::kBcd:
      return "FMTBcd";
    case DSType::kTime:
      return "Time";
    case DSType::kDateTime:
      return "DateTime";
    case DSType::kWord:
      return "Word";
    case DSType::kLargeInt:
      return "Largeint";
    case DSType::kBytes:
      return "Bytes";
    case DSType::kBlob:
      return "Blob";
    case DSType::kMemo:
      return "Memo";
  }
  return "Unknown";
}

ExprFieldType ExprTypeOf(DSType type) {
  switch (type) {
    case DSType::kText:
      return ExprFieldType::ftString;
    case DSType::kDate:
      return ExprFieldType::ftDate;
    case DSType::kLogical:
      return ExprFieldType::ftBoolean;
    case DSType::kSmallInt:
      return ExprFieldType::ftSmallint;
    case DSType::kInteger:
      return ExprFieldType::ftInteger;
    case DSType::kFloat:
      return ExprFieldType::ftFloat;
    case DSType::kBcd:
      return ExprFieldType::ftFMTBcd;
    case DSType::kTime:
      return ExprFieldType::ftTime;
    case DSType::kDateTime:
      return ExprFieldType::ftDateTime;
    case DSType::kWord:
      return ExprFieldType::ftWord;
    case DSType::kLargeInt:
      return ExprFieldType::ftLargeint;
    case DSType::kBytes:
      return ExprFieldType::ftBytes;
    case DSType::kBlob:
      return ExprFieldType::ftBlob;
    case DSType::kMemo:
      return ExprFieldType::ftMemo;
  }
  return ExprFieldType::ftUnknown;
}

LocateTerm::Kind LocateKindOf(DSType type) {
  switch (type) {
    case DSType::kText:
      return LocateTerm::Kind::kText;
    case DSType::kLogical:
    case DSType::kSmallInt:
    case DSType::kInteger:
    case DSType::kFloat:
    case DSType::kBcd:
    case DSType::kWord:
    case DSType::kLargeInt:
      return LocateTerm::Kind::kNumber;
    case DSType::kDate:
    case DSType::kTime:
    case DSType::kDateTime:
      return LocateTerm::Kind::kDate;
    default:
      return LocateTerm::Kind::kUnsupported;
  }
}

template <typename T>
T Read(const engine::DSValueView& v) {
  T out{};
  if (v.blank == engine::DSBlank::kValue && v.data != nullptr && v.size >= sizeof(T)) {
    std::memcpy(&out, v.data, sizeof(T));
  }
  return out;
}

// Decimals show without trailing fractional zeros.
std::string DecimalText(const TBcd& bcd, char separator) {
  std::string text = BcdToStr(bcd, separator);
  if (text.find(separator) != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == separator) text.pop_back();
  }
  return text;
}

}  // namespace

std::vector<std::string> ParamNamesOf(std::string_view text) {
  std::vector<std::string> names;
  char quote = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ':') {
      if (i + 1 < text.size() && text[i + 1] == ':') {
        ++i;
        continue;
      }
      std::size_t end = i + 1;
      while (end < text.size() &&
             (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) {
        ++end;
      }
      if (end > i + 1) names.emplace_back(text.substr(i + 1, end - i - 1));
      i = end - 1;
    }
  }
  return names;
}

TClientDataSet::TClientDataSet(TComponent* owner) : TComponent(owner), link_(*this, this) {}

TClientDataSet::~TClientDataSet() {
  destroying_ = true;
  try {
    Close();
  } catch (...) {
    // Nothing can be reported while the window goes.
  }
}

void TClientDataSet::SetCommandText(std::string text) {
  commandText_ = std::move(text);
  paramNames_ = ParamNamesOf(commandText_);
}

void TClientDataSet::AddField(TClientField field) {
  fields_.push_back(std::move(field));
  persistent_ = true;
}

const TClientField* TClientDataSet::FindField(std::string_view name) const {
  for (const TClientField& f : fields_) {
    if (SameText(f.FieldName, name)) return &f;
  }
  return nullptr;
}

const TClientField& TClientDataSet::FieldByName(std::string_view name) const {
  const TClientField* f = FindField(name);
  if (f == nullptr) DatabaseErrorFmt(kSFieldNotFound, this, name);
  return *f;
}

void TClientDataSet::CheckActive() const {
  if (!Active()) DatabaseError(kSInactive, this);
}

bool TClientDataSet::Attribute(const char* name) const {
  if (rows_ == nullptr) return false;
  const engine::DSAttr* a = rows_->Base().GetAttribute(name);
  if (a == nullptr) return false;
  if (const bool* b = std::get_if<bool>(&a->value)) return *b;
  if (const std::int64_t* n = std::get_if<std::int64_t>(&a->value)) return *n != 0;
  return true;
}

bool TClientDataSet::Modifiable() const {
  return !Attribute("READONLY");
}

TPacketData TClientDataSet::Request(std::int32_t count, std::int32_t& recsOut, std::int32_t options,
                                    std::string_view commandText) {
  TPacketData params;
  TOwnerData ownerData;
  return link_.GetRecords(count, recsOut, options, commandText, params, ownerData);
}

// ---- open and close ------------------------------------------------------------------------

void TClientDataSet::Open() {
  if (Active()) return;
  try {
    DoOpen();
  } catch (...) {
    state_ = TDataSetState::dsBrowse;  // let the close steps run
    try {
      Close();
    } catch (...) {
      // The opening's own failure is the one to report.
    }
    throw;
  }
}

void TClientDataSet::DoOpen() {
  link_.AppServer(ProviderName);
  std::int32_t recsOut = 0;
  TPacketData packet = Request(PacketRecords, recsOut, grMetaData, commandText_);
  const bool endOfData = recsOut != PacketRecords;
  if (!packet) DatabaseError(kSNoDataProvider, this);
  rows_ = std::make_unique<FetchedRows>(
      std::move(*packet), endOfData,
      [this](std::int32_t count, std::int32_t& out) { return Request(count, out, 0, {}); });
  rows_->SetPacketRecords(PacketRecords);
  rows_->SetFetchOnDemand(FetchOnDemand);
  BindFields();
  state_ = TDataSetState::dsBrowse;
  if (filtered_ && !filter_.empty()) {
    rows_->FetchAll();
    InstallFilter();
  }
  First();
}

void TClientDataSet::BindFields() {
  const auto& columns = rows_->Base().Columns();
  if (persistent_) {
    for (TClientField& field : fields_) {
      std::size_t i = 0;
      while (i < columns.size() && !SameText(columns[i].name, field.FieldName)) ++i;
      if (i == columns.size()) DatabaseErrorFmt(kSFieldNotFound, this, field.Label());
      if (columns[i].type != field.DataType) {
        DatabaseErrorFmt(kSFieldTypeMismatch, this, field.Label(), TypeName(field.DataType),
                         TypeName(columns[i].type));
      }
      field.FieldNo = static_cast<std::uint16_t>(i + 1);
      field.Size = columns[i].size;
    }
    return;
  }
  fields_.clear();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const engine::DSColumn& c = columns[i];
    TClientField f;
    f.FieldName = c.name;
    f.DataType = c.type;
    f.Size = c.size;
    f.Required = (c.attrs & engine::kColRequired) != 0;
    f.ReadOnly = (c.attrs & (engine::kColReadOnly | engine::kColHidden)) != 0;
    f.FieldNo = static_cast<std::uint16_t>(i + 1);
    fields_.push_back(std::move(f));
  }
}

void TClientDataSet::Close() {
  if (!Active()) return;
  if (rows_ != nullptr) {
    try {
      rows_->DropFilter();
    } catch (...) {
      // The rows go anyway.
    }
  }
  if (!persistent_) fields_.clear();
  state_ = TDataSetState::dsInactive;
  hasRow_ = false;
  bof_ = eof_ = true;
  const bool reset = link_.Connected() && !destroying_ && !Attribute("NO_RESET_CALL");
  std::unique_ptr<FetchedRows> rows = std::move(rows_);
  struct ReleaseLink {
    ProviderLink& link;
    ~ReleaseLink() { link.Release(); }
  } release{link_};
  if (reset) {
    std::int32_t recsOut = 0;
    Request(0, recsOut, grReset, {});
  }
}

// ---- moves -----------------------------------------------------------------------------------

void TClientDataSet::ReadCurrent() {
  hasRow_ = rows_->Cursor().GetCurrentRecord(buffer_) == engine::kDSOk;
}

bool TClientDataSet::IsEmpty() const {
  return state_ != TDataSetState::dsInsert && !hasRow_;
}

void TClientDataSet::First() {
  CheckBrowseMode();
  const bool found = rows_->MoveFirst();
  ReadCurrent();
  bof_ = true;
  eof_ = !found;
}

void TClientDataSet::Next() {
  CheckBrowseMode();
  if (eof_) return;
  engine::DSBookmark mark = buffer_.bookmark();
  if (rows_->MoveNext()) {
    ReadCurrent();
    bof_ = false;
  } else {
    eof_ = true;
    if (hasRow_ && rows_->Cursor().MoveToBookmark(mark) != engine::kDSOk) hasRow_ = false;
  }
}

void TClientDataSet::Prior() {
  CheckBrowseMode();
  if (bof_) return;
  engine::DSBookmark mark = buffer_.bookmark();
  if (rows_->MovePrior()) {
    ReadCurrent();
    eof_ = false;
  } else {
    bof_ = true;
    if (hasRow_ && rows_->Cursor().MoveToBookmark(mark) != engine::kDSOk) hasRow_ = false;
  }
}

void TClientDataSet::Last() {
  CheckBrowseMode();
  const bool found = rows_->MoveLast();
  ReadCurrent();
  eof_ = true;
  bof_ = !found;
}

std::int64_t TClientDataSet::RecordCount() {
  CheckActive();
  rows_->FetchAll();
  std::uint32_t n = 0;
  rows_->Check(rows_->Cursor().GetRecordCount(n));
  return n;
}

std::int64_t TClientDataSet::RowsInMemory() const {
  return rows_ == nullptr ? 0 : rows_->Base().RowCount();
}

std::int64_t TClientDataSet::ChangeCount() const {
  return rows_ == nullptr ? 0 : rows_->Base().ChangeCount();
}

// ---- filter and locate --------------------------------------------------------------------

std::vector<std::uint8_t> TClientDataSet::Compile(const std::string& text, TFilterOptions options,
                                                  bool extended) const {
  ExprFieldList list;
  for (const TClientField& f : fields_) {
    list.push_back(
        {f.FieldName, f.FieldNo, ExprTypeOf(f.DataType), static_cast<std::int32_t>(f.Size), true});
  }
  return TExprParser(list, text, options, extended, Settings).FilterData();
}

void TClientDataSet::InstallFilter() {
  if (filter_.empty()) {
    rows_->DropFilter();
    return;
  }
  rows_->SetFilter(Compile(filter_, FilterOptions, true));
}

void TClientDataSet::SetFilter(std::string text) {
  filter_ = std::move(text);
  if (!Active() || !filtered_) return;
  CheckBrowseMode();
  rows_->FetchAll();
  InstallFilter();
  First();
}

void TClientDataSet::SetFiltered(bool on) {
  if (on == filtered_) return;
  filtered_ = on;
  if (!Active()) return;
  CheckBrowseMode();
  if (on) {
    rows_->FetchAll();
    InstallFilter();
  } else {
    rows_->DropFilter();
  }
  First();
}

bool TClientDataSet::Locate(std::string_view keyFields, const std::vector<TLocateValue>& values,
                            std::uint32_t options) {
  CheckActive();
  CheckBrowseMode();
  rows_->FetchAll();
  const std::vector<std::string> names = SplitKeyFields(std::string(keyFields));
  std::vector<LocateTerm> terms;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const TClientField& field = FieldByName(names[i]);
    LocateTerm term{field.FieldName, LocateKindOf(field.DataType), false, {}};
    const TLocateValue& v = i < values.size() ? values[i] : TLocateValue{};
    if (std::holds_alternative<std::monostate>(v)) {
      term.IsNull = true;
    } else if (const auto* n = std::get_if<std::int64_t>(&v)) {
      term.ValueText = IntToStr(*n);
    } else if (const auto* d = std::get_if<double>(&v)) {
      term.ValueText = FloatToStr(*d, Settings);
    } else if (const auto* c = std::get_if<Currency>(&v)) {
      term.ValueText = CurrToStr(*c, Settings);
    } else if (const auto* dt = std::get_if<TLocateDate>(&v)) {
      term.ValueText = field.DataType == DSType::kDate ? DateToStr(dt->Value, Settings)
                                                       : DateTimeToStr(dt->Value, Settings);
    } else {
      term.ValueText = std::get<std::string>(v);
    }
    terms.push_back(std::move(term));
  }
  const bool partial = (options & static_cast<std::uint32_t>(TLocateOption::loPartialKey)) != 0;
  TFilterOptions filterOptions = partial ? 0 : foNoPartialCompare;
  if (options & static_cast<std::uint32_t>(TLocateOption::loCaseInsensitive)) {
    filterOptions |= foCaseInsensitive;
  }
  const std::string text = BuildLocateExpression(terms, partial);
  if (!rows_->FindFirst(Compile(text, filterOptions, false))) return false;
  ReadCurrent();
  bof_ = eof_ = false;
  return true;
}

// ---- editing ---------------------------------------------------------------------------------

void TClientDataSet::RunProtected(const std::function<void()>& step,
                                  const TClientDataSetErrorEvent& event) {
  for (;;) {
    try {
      step();
      return;
    } catch (EDatabaseError& e) {
      TDataAction action = TDataAction::daFail;
      if (event) event(*this, e, action);
      if (action == TDataAction::daFail) throw;
      if (action == TDataAction::daAbort) Abort();
    }
  }
}

void TClientDataSet::CheckBrowseMode() {
  CheckActive();
  if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
    if (modified_) {
      Post();
    } else {
      Cancel();
    }
  }
}

void TClientDataSet::Edit() {
  if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return;
  CheckActive();
  if (IsEmpty()) {
    Insert();
    return;
  }
  if (!Modifiable()) DatabaseError(kSReadOnlyDataSet, this);
  RunProtected(
      [this] {
        if (Attribute("DISABLE_EDITS")) DatabaseError(kSNoEdits, this);
      },
      OnEditError);
  state_ = TDataSetState::dsEdit;
  modified_ = false;
}

void TClientDataSet::Insert() {
  CheckBrowseMode();
  if (!Modifiable()) DatabaseError(kSReadOnlyDataSet, this);
  if (Attribute("DISABLE_INSERTS")) DatabaseError(kSNoInserts, this);
  rows_->Cursor().InitRecord(buffer_);
  state_ = TDataSetState::dsInsert;
  modified_ = false;
}

void TClientDataSet::Post() {
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
  RunProtected(
      [this] {
        for (const TClientField& f : fields_) {
          if (f.Required && !f.ReadOnly && buffer_.Field(f.FieldNo).IsNull()) {
            DatabaseErrorFmt(kSFieldRequired, nullptr, f.Label());
          }
        }
        engine::IDSCursor& cursor = rows_->Cursor();
        rows_->Check(state_ == TDataSetState::dsInsert ? cursor.InsertRecord(buffer_)
                                                       : cursor.ModifyRecord(buffer_));
      },
      OnPostError);
  state_ = TDataSetState::dsBrowse;
  modified_ = false;
  ReadCurrent();
  bof_ = eof_ = false;
}

void TClientDataSet::Cancel() {
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
  state_ = TDataSetState::dsBrowse;
  modified_ = false;
  ReadCurrent();
}

void TClientDataSet::Delete() {
  CheckActive();
  if (state_ == TDataSetState::dsInsert) {
    Cancel();
    return;
  }
  if (IsEmpty()) DatabaseError(kSEmptyDataSet, this);
  if (state_ == TDataSetState::dsEdit) Cancel();
  RunProtected(
      [this] {
        if (Attribute("DISABLE_DELETES")) DatabaseError(kSNoDeletes, this);
        rows_->Check(rows_->Cursor().DeleteRecord());
      },
      OnDeleteError);
  ReadCurrent();
  if (!hasRow_ && rows_->MoveNext()) ReadCurrent();  // the rows after it were not fetched yet
  bof_ = eof_ = !hasRow_;
}

std::int32_t TClientDataSet::ApplyUpdates(std::int32_t maxErrors) {
  CheckBrowseMode();
  if (rows_->Base().ChangeCount() == 0) return 0;
  engine::DSPacket delta;
  rows_->Check(rows_->Base().GetDeltaPacket(delta));
  link_.AppServer(ProviderName);
  std::int32_t errorCount = 0;
  TOwnerData ownerData;
  TPacketData results = link_.ApplyUpdates(delta, maxErrors, errorCount, ownerData);
  if (!results) {
    rows_->Check(rows_->Base().MergeChangeLog());
  } else {
    // Without a reconcile handler every failed row keeps the answer the provider recorded.
    rows_->Check(rows_->Base().Reconcile(
        *results, [](const engine::DSReconcileInfo& info) { return info.response == 1 ? 1 : 2; }));
  }
  ReadCurrent();
  return errorCount;
}

// ---- values ----------------------------------------------------------------------------------

engine::DSValueView TClientDataSet::Value(std::string_view field) const {
  const TClientField& f = FieldByName(field);
  if (!hasRow_ && state_ != TDataSetState::dsInsert) return {};
  return buffer_.Field(f.FieldNo);
}

bool TClientDataSet::IsNull(std::string_view field) const {
  return Value(field).IsNull();
}

std::int32_t TClientDataSet::AsInteger(std::string_view field) const {
  const engine::DSValueView v = Value(field);
  switch (v.type) {
    case DSType::kSmallInt:
      return Read<std::int16_t>(v);
    case DSType::kWord:
      return Read<std::uint16_t>(v);
    case DSType::kLargeInt:
      return static_cast<std::int32_t>(Read<std::int64_t>(v));
    default:
      return Read<std::int32_t>(v);
  }
}

Currency TClientDataSet::AsCurrency(std::string_view field) const {
  const engine::DSValueView v = Value(field);
  if (v.IsNull()) return {};
  switch (v.type) {
    case DSType::kBcd:
      return BcdToCurrency(Read<TBcd>(v));
    case DSType::kFloat:
      return Currency::FromDouble(Read<double>(v));
    default:
      return Currency::FromInt(AsInteger(field));
  }
}

TDateTime TClientDataSet::AsDate(std::string_view field) const {
  const engine::DSValueView v = Value(field);
  if (v.IsNull()) return 0;
  return DayNumberToDate(Read<std::int32_t>(v));
}

std::string TClientDataSet::AsString(std::string_view field) const {
  const engine::DSValueView v = Value(field);
  if (v.IsNull()) return {};
  switch (v.type) {
    case DSType::kText:
    case DSType::kMemo:
      return std::string(v.AsText());
    case DSType::kBcd:
      return DecimalText(Read<TBcd>(v), Settings.DecimalSeparator);
    case DSType::kFloat:
      return FloatToStr(Read<double>(v), Settings);
    case DSType::kDate:
      return DateToStr(AsDate(field), Settings);
    default:
      return IntToStr(AsInteger(field));
  }
}

void TClientDataSet::PutValue(std::string_view field, const void* data, std::uint32_t size) {
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) {
    DatabaseError(kSNotEditing, this);
  }
  const TClientField& f = FieldByName(field);
  if (f.ReadOnly) DatabaseErrorFmt(kSFieldReadOnly, this, f.Label());
  const engine::DSStatus status =
      data == nullptr ? buffer_.PutNull(f.FieldNo) : buffer_.PutField(f.FieldNo, data, size);
  if (status != engine::kDSOk) throw EDBClient(engine::DSStatusText(status), status);
  modified_ = true;
}

void TClientDataSet::SetInteger(std::string_view field, std::int32_t value) {
  PutValue(field, &value, sizeof value);
}

void TClientDataSet::SetCurrency(std::string_view field, Currency value) {
  if (FieldByName(field).DataType == DSType::kFloat) {
    const double d = value.ToDouble();
    PutValue(field, &d, sizeof d);
    return;
  }
  const TBcd bcd = CurrencyToBcd(value);
  PutValue(field, &bcd, sizeof bcd);
}

void TClientDataSet::SetDate(std::string_view field, TDateTime value) {
  const std::int32_t day = DateToDayNumber(value);
  PutValue(field, &day, sizeof day);
}

void TClientDataSet::SetString(std::string_view field, std::string_view value) {
  PutValue(field, value.data(), static_cast<std::uint32_t>(value.size()));
}

void TClientDataSet::SetNull(std::string_view field) {
  PutValue(field, nullptr, 0);
}
