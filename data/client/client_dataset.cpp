#include "data/client/client_dataset.h"

#include "base/text.h"
#include "data/client/field_mapping.h"
#include "data/client/locate_expression.h"
#include "data/expr/expr_parser.h"
#include "data/fields/packet_field_types.h"
#include "data/provider/param_packet.h"
#include "data/provider/provider_options.h"

namespace {

constexpr char kSNoEdits[] = "Modifications are not allowed";
constexpr char kSNoInserts[] = "Inserts are not allowed";
constexpr char kSNoDeletes[] = "Deletes are not allowed";

LocateTerm::Kind LocateKindOf(TFieldType type) {
  switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftFixedChar:
    case TFieldType::ftWideString:
      return LocateTerm::Kind::kText;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftBoolean:
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
    case TFieldType::ftFMTBcd:
    case TFieldType::ftLargeint:
    case TFieldType::ftAutoInc:
      return LocateTerm::Kind::kNumber;
    case TFieldType::ftDate:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp:
      return LocateTerm::Kind::kDate;
    default:
      return LocateTerm::Kind::kUnsupported;
  }
}

// A located value as the regional settings write it for a field of `type`.
std::string LocateValueText(const TLocateValue& v, TFieldType type, const FormatSettings& fs) {
  if (const auto* n = std::get_if<std::int64_t>(&v)) return IntToStr(*n);
  if (const auto* d = std::get_if<double>(&v)) return FloatToStr(*d, fs);
  if (const auto* c = std::get_if<Currency>(&v)) return CurrToStr(*c, fs);
  if (const auto* dt = std::get_if<TLocateDate>(&v)) {
    return type == TFieldType::ftDate ? DateToStr(dt->Value, fs) : DateTimeToStr(dt->Value, fs);
  }
  return std::get<std::string>(v);
}

}  // namespace

TClientDataSet::TClientDataSet(TComponent* owner) : TDataSet(owner), link_(*this, this) {}

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
  params_.ParseSQL(commandText_, true);
}

bool TClientDataSet::Attribute(const char* name) const {
  if (rows_ == nullptr) return false;
  const engine::DSAttr* a = rows_->Base().GetAttribute(name);
  if (a == nullptr) return false;
  if (const bool* b = std::get_if<bool>(&a->value)) return *b;
  if (const std::int64_t* n = std::get_if<std::int64_t>(&a->value)) return *n != 0;
  return true;
}

bool TClientDataSet::CanModify() const {
  return Active() && !Attribute("READONLY");
}

TPacketData TClientDataSet::Request(std::int32_t count, std::int32_t& recsOut, std::int32_t options,
                                    std::string_view commandText, bool withParams) {
  TPacketData params;
  if (withParams && params_.Count() > 0) params = engine::DSPacket::FromBytes(PackParams(params_));
  TOwnerData ownerData;
  return link_.GetRecords(count, recsOut, options, commandText, params, ownerData);
}

std::int64_t TClientDataSet::RowsInMemory() const {
  return rows_ == nullptr ? 0 : rows_->Base().RowCount();
}

std::int64_t TClientDataSet::ChangeCount() const {
  return rows_ == nullptr ? 0 : rows_->Base().ChangeCount();
}

// ---- open and close ------------------------------------------------------------------------

void TClientDataSet::InternalOpen() {
  link_.AppServer(ProviderName);
  std::int32_t recsOut = 0;
  TPacketData packet = Request(PacketRecords, recsOut, grMetaData, commandText_, true);
  const bool endOfData = recsOut != PacketRecords;
  if (!packet) DatabaseError(kSNoDataProvider, this);
  rows_ = std::make_unique<FetchedRows>(
      std::move(*packet), endOfData,
      [this](std::int32_t count, std::int32_t& out) { return Request(count, out, 0, {}); },
      [this] {
        return FetchedRows::Settings{PacketRecords, FetchOnDemand};
      });
  ReadFieldDefs(rows_->Base().Columns(), FieldDefs());
}

void TClientDataSet::InternalFieldsReady() {
  if (filtered_ && !filter_.empty()) {
    rows_->FetchAll();
    InstallFilter();
  }
}

void TClientDataSet::InternalClose() {
  hasRow_ = false;
  appending_ = false;
  const bool reset = link_.Connected() && !destroying_ && !Attribute("NO_RESET_CALL");
  // Rows, change log and link go whatever the reset request does.
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

bool TClientDataSet::ReadCurrent() {
  hasRow_ = rows_->Cursor().GetCurrentRecord(buffer_) == engine::kDSOk;
  return hasRow_;
}

TGetResult TClientDataSet::InternalFirst() {
  rows_->MoveFirst();
  return ReadCurrent() ? TGetResult::grOK : TGetResult::grEOF;
}

TGetResult TClientDataSet::InternalNext() {
  const engine::DSBookmark mark = buffer_.bookmark();
  if (rows_->MoveNext()) {
    ReadCurrent();
    return TGetResult::grOK;
  }
  // The current row stays current.
  if (hasRow_ && rows_->Cursor().MoveToBookmark(mark) != engine::kDSOk) hasRow_ = false;
  return TGetResult::grEOF;
}

TGetResult TClientDataSet::InternalPrior() {
  const engine::DSBookmark mark = buffer_.bookmark();
  if (rows_->MovePrior()) {
    ReadCurrent();
    return TGetResult::grOK;
  }
  if (hasRow_ && rows_->Cursor().MoveToBookmark(mark) != engine::kDSOk) hasRow_ = false;
  return TGetResult::grBOF;
}

TGetResult TClientDataSet::InternalLast() {
  rows_->MoveLast();
  return ReadCurrent() ? TGetResult::grOK : TGetResult::grEOF;
}

std::int64_t TClientDataSet::GetRecNo() const {
  if (rows_ == nullptr || !hasRow_) return 0;
  std::uint32_t n = 0;
  return rows_->Cursor().GetRecordNumber(n) == engine::kDSOk ? n : 0;
}

void TClientDataSet::VisitRecords(const std::function<bool()>& visit) {
  if (rows_ == nullptr) return;
  engine::IDSCursor& cursor = rows_->Cursor();
  engine::DSBookmark mark = 0;
  const bool onRow = cursor.GetBookmark(mark) == engine::kDSOk;
  const bool atBof = cursor.AtBof();
  // The cursor goes back to its row (or end) and the fields to the active row, however the
  // visit ends.
  struct Restore {
    TClientDataSet& self;
    engine::IDSCursor& cursor;
    bool onRow, atBof;
    engine::DSBookmark mark;
    ~Restore() {
      self.visiting_ = false;
      if (onRow && cursor.MoveToBookmark(mark) == engine::kDSOk) return;
      if (atBof) {
        cursor.MoveToBof();
      } else {
        cursor.MoveToEof();
      }
    }
  } restore{*this, cursor, onRow, atBof, mark};
  visiting_ = true;
  for (bool more = rows_->MoveFirst(); more; more = rows_->MoveNext()) {
    rows_->Check(cursor.GetCurrentRecord(visited_));
    if (!visit()) return;
  }
}

std::int64_t TClientDataSet::GetRecordCount() {
  rows_->FetchAll();
  std::uint32_t n = 0;
  rows_->Check(rows_->Cursor().GetRecordCount(n));
  return n;
}

// ---- values ----------------------------------------------------------------------------------

bool TClientDataSet::GetFieldData(const TField& field, TFieldData& out) const {
  if (rows_ == nullptr || field.FieldNo() <= 0) return false;
  if (visiting_) {
    fieldView_ = visited_.Field(static_cast<std::uint16_t>(field.FieldNo()));
  } else {
    if (!hasRow_ && State() != TDataSetState::dsInsert) return false;
    fieldView_ = buffer_.Field(static_cast<std::uint16_t>(field.FieldNo()));
  }
  if (fieldView_.blank != engine::DSBlank::kValue || fieldView_.data == nullptr) return false;
  out = {fieldView_.data, fieldView_.size};
  return true;
}

void TClientDataSet::SetFieldData(const TField& field, const void* data, std::uint32_t size) {
  if (field.FieldNo() <= 0) {
    DatabaseErrorFmt("Field '%s' cannot be modified", nullptr, field.DisplayName());
  }
  const auto fieldNo = static_cast<std::uint16_t>(field.FieldNo());
  const engine::DSStatus status =
      data == nullptr ? buffer_.PutNull(fieldNo) : buffer_.PutField(fieldNo, data, size);
  if (status != engine::kDSOk) throw EDBClient(engine::DSStatusText(status), status);
}

// ---- filter and locate --------------------------------------------------------------------

std::vector<std::uint8_t> TClientDataSet::Compile(const std::string& text, TFilterOptions options,
                                                  bool extended) const {
  return TExprParser(ExprFieldsOf(*this), text, options, extended, Settings).FilterData();
}

void TClientDataSet::InstallFilter() {
  if (filter_.empty()) {
    rows_->DropFilter();
    return;
  }
  rows_->SetFilter(Compile(filter_, FilterOptions, true));
}

void TClientDataSet::RefilterOpen() {
  CheckBrowseMode();
  if (filtered_) {
    rows_->FetchAll();
    InstallFilter();
  } else {
    rows_->DropFilter();
  }
  First();
  DataEvent(TDataEvent::deDataSetChange);
}

void TClientDataSet::SetFilter(std::string text) {
  filter_ = std::move(text);
  if (Active() && filtered_) RefilterOpen();
}

void TClientDataSet::SetFiltered(bool on) {
  if (on == filtered_) return;
  filtered_ = on;
  if (Active()) RefilterOpen();
}

bool TClientDataSet::Locate(std::string_view keyFields, const std::vector<TLocateValue>& values,
                            std::uint32_t options) {
  CheckBrowseMode();
  rows_->FetchAll();
  const std::vector<std::string> names = SplitKeyFields(std::string(keyFields));
  std::vector<LocateTerm> terms;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const TField& field = FieldByName(names[i]);
    LocateTerm term{field.FieldName(), LocateKindOf(field.DataType()), false, {}};
    const TLocateValue& v = i < values.size() ? values[i] : TLocateValue{};
    if (std::holds_alternative<std::monostate>(v)) {
      term.IsNull = true;
    } else {
      term.ValueText = LocateValueText(v, field.DataType(), Settings);
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
  SetBofEof(false, false);
  DataEvent(TDataEvent::deDataSetScroll);
  return true;
}

// ---- editing ---------------------------------------------------------------------------------

void TClientDataSet::InternalEdit() {
  if (Attribute("DISABLE_EDITS")) DatabaseError(kSNoEdits, this);
}

void TClientDataSet::InternalInsert(bool append) {
  if (Attribute("DISABLE_INSERTS")) DatabaseError(kSNoInserts, this);
  rows_->Cursor().InitRecord(buffer_);
  appending_ = append;
}

TGetResult TClientDataSet::InternalPost() {
  engine::IDSCursor& cursor = rows_->Cursor();
  if (State() == TDataSetState::dsInsert) {
    if (appending_) {
      rows_->FetchAll();
      cursor.MoveToEof();
    }
    rows_->Check(cursor.InsertRecord(buffer_));
    appending_ = false;
  } else {
    rows_->Check(cursor.ModifyRecord(buffer_));
  }
  // A row written outside the filter has left the view; the cursor stands on the visible row that
  // took its place, or on none.
  return ReadCurrent() ? TGetResult::grOK : TGetResult::grEOF;
}

void TClientDataSet::InternalCancel() {
  appending_ = false;
  ReadCurrent();
}

TGetResult TClientDataSet::InternalDelete() {
  if (Attribute("DISABLE_DELETES")) DatabaseError(kSNoDeletes, this);
  engine::IDSCursor& cursor = rows_->Cursor();
  // The row after the deleted one becomes current, so it has to be fetched when the deleted row
  // is the last one fetched so far.
  const engine::DSBookmark mark = buffer_.bookmark();
  rows_->MoveNext();
  rows_->Check(cursor.MoveToBookmark(mark));
  rows_->Check(cursor.DeleteRecord());
  return ReadCurrent() ? TGetResult::grOK : TGetResult::grEOF;
}

engine::DSPacket TClientDataSet::Delta() const {
  CheckActive();
  engine::DSPacket delta;
  rows_->Check(rows_->Base().GetDeltaPacket(delta));
  return delta;
}

std::int32_t TClientDataSet::ApplyUpdates(std::int32_t maxErrors) {
  CheckBrowseMode();
  if (rows_->Base().ChangeCount() == 0) return 0;
  const engine::DSPacket delta = Delta();
  link_.AppServer(ProviderName);
  std::int32_t errorCount = 0;
  TOwnerData ownerData;
  TPacketData results = link_.ApplyUpdates(delta, maxErrors, errorCount, ownerData);
  if (!results) {
    rows_->Check(rows_->Base().MergeChangeLog());
  } else {
    ReconcileChanges(rows_->Base(), *results, *this, OnReconcileError, ShowException);
  }
  // The current row may have left with a change that was undone.
  if (!ReadCurrent()) SetBofEof(true, InternalFirst() != TGetResult::grOK);
  DataEvent(TDataEvent::deDataSetChange);
  return errorCount;
}
