#include "data/resolver/resolve_run.h"

#include <cstring>
#include <limits>

#include "base/bcd.h"
#include "base/exceptions.h"
#include "data/resolver/table_name.h"
#include "db/sql/sql_connection.h"
#include "db/sql/sql_dataset.h"

using engine::DSBlank;
using engine::DSValueView;

namespace {

constexpr char kSReadOnlyProvider[] = "Cannot apply updates to a ReadOnly provider";
constexpr char kSNoEdits[] = "Modifications are not allowed";
constexpr char kSNoInserts[] = "Inserts are not allowed";
constexpr char kSNoDeletes[] = "Deletes are not allowed";
constexpr char kSNoTableName[] = "Unable to resolve records.  Table name not found.";
constexpr char kSTooManyRecords[] = "Update affected more than 1 record.";
constexpr char kSRecordChanged[] = "Record not found or changed by another user";
constexpr char kSInvalidResponse[] = "Invalid response";
constexpr char kSErrorMapping[] = "SQL Error: Error mapping failed";
constexpr std::int32_t kUpdateErrorCode = 1;

// The table the statements write: the delta's own "TABLE_NAME", else the SQL dataset's.
std::string TableNameOf(const engine::IDSBase& delta, TCustomSQLDataSet& dataSet) {
  if (const engine::DSAttr* a = delta.GetAttribute("TABLE_NAME")) {
    if (const auto* text = std::get_if<std::string>(&a->value)) return *text;
  }
  if (const auto* table = dynamic_cast<const TSQLTable*>(&dataSet)) return table->TableName();
  if (const auto* query = dynamic_cast<const TSQLQuery*>(&dataSet)) {
    return TableNameOfStatement(query->SQL());
  }
  return {};
}

// The fields the SQL dataset marks as its key.
std::vector<std::string> KeyFieldsOf(const TDataSet& dataSet) {
  std::vector<std::string> keys;
  for (int i = 0; i < dataSet.FieldCount(); ++i) {
    if (dataSet.Fields(i).ProviderFlags() & pfInKey) keys.push_back(dataSet.Fields(i).FieldName());
  }
  return keys;
}

bool SameValue(const DSValueView& a, const DSValueView& b) {
  if (a.blank != b.blank) return false;
  if (a.blank != DSBlank::kValue) return true;
  if (a.type == engine::DSType::kBcd && a.size == sizeof(TBcd) && b.size == sizeof(TBcd)) {
    TBcd x, y;
    std::memcpy(&x, a.data, sizeof x);
    std::memcpy(&y, b.data, sizeof y);
    return BcdCompare(x, y) == 0;
  }
  return a.size == b.size && std::memcmp(a.data, b.data, a.size) == 0;
}

DSValueView Marker(DSBlank blank) {
  DSValueView v;
  v.blank = blank;
  return v;
}

}  // namespace

ResolveRun::ResolveRun(ResolverHost& host, TCustomSQLDataSet& dataSet, std::int32_t maxErrors)
    : host_(host),
      dataSet_(dataSet),
      connection_(*dataSet.SQLConnection()),
      policy_(host.Policy()),
      maxErrors_(maxErrors) {}

ResolveRun::~ResolveRun() = default;

void ResolveRun::Check(engine::DSStatus status) const {
  if (status != engine::kDSOk) throw EDBClient(delta_->ErrorText(status), status);
}

std::optional<engine::DSPacket> ResolveRun::Apply(const engine::DSPacket& delta,
                                                  std::int32_t& errorCount) {
  errorCount = 0;
  if (!connection_.InTransaction()) {
    connection_.StartTransaction();
    started_ = true;
  }
  std::optional<engine::DSPacket> results;
  bool commit = false;
  try {
    if (policy_.readOnly) DatabaseError(kSReadOnlyProvider);
    Load(delta);
    const bool walkedAll = Walk();
    commit = !rolledBack_ && (errorCount_ <= maxErrors_ || maxErrors_ == -1);
    // What a transaction left open by the save holds counts as written: it is the caller's.
    const bool kept = !rolledBack_ && (commit || !started_);
    if (errorCount_ > 0 || !kept || !walkedAll) {
      results = results_->Stream(kept ? lastRecordNo_ : 0);
    }
  } catch (...) {
    // Rows already sent are undone, so that the change log the caller keeps is still the truth.
    try {
      EndTransaction(false);
    } catch (...) {
      // The save's own failure is the one to report.
    }
    throw;
  }
  EndTransaction(commit);
  errorCount = errorCount_;
  return results;
}

void ResolveRun::EndTransaction(bool commit) {
  if (!started_) return;
  started_ = false;
  if (!commit) {
    connection_.Rollback();
    return;
  }
  try {
    connection_.Commit();
  } catch (...) {
    try {
      connection_.Rollback();
    } catch (...) {
      // The commit's failure is the one to report.
    }
    throw;
  }
}

void ResolveRun::Load(const engine::DSPacket& delta) {
  delta_ = engine::CreateDSBase();
  if (!delta.empty()) Check(delta_->AppendPacket(delta.Clone(), true));
  delta_->SetChangeLogging(false);
  Check(delta_->CreateCursor(changed_));
  Check(delta_->CreateCursor(original_));
  quotedTable_ = QuotedTableName(TableNameOf(*delta_, dataSet_), connection_.QuoteChar());
  statements_.emplace(ResolveColumnsOf(delta_->Columns()), connection_.QuoteChar(), quotedTable_,
                      policy_.updateMode);
  statements_->MarkKeys(KeyFieldsOf(dataSet_));
  results_.emplace(*delta_);
}

bool ResolveRun::Walk() {
  errorLimit_ = maxErrors_ == -1 ? std::numeric_limits<std::int32_t>::max() : maxErrors_;
  errorCount_ = 0;
  previous_ = TResolverResponse::rrSkip;
  std::uint32_t recordNo = 0;
  std::optional<engine::DSBookmark> original;
  // The second cursor walks in step, one row back while a modified row shows its original.
  changed_->MoveToBof();
  original_->MoveToBof();
  while (changed_->MoveRelative(1) == engine::kDSOk) {
    Check(original_->MoveRelative(1));
    ++recordNo;
    Row row;
    std::uint8_t attribute = 0;
    Check(changed_->GetRowAttribute(attribute));
    Check(changed_->GetBookmark(row.changed));
    if (attribute == engine::kRowUnchanged) {
      // The original of a modified row: its changes follow.
      original = row.changed;
      continue;
    }
    if (attribute & engine::kRowModified) {
      row.kind = TUpdateKind::ukModify;
    } else if (attribute & engine::kRowInserted) {
      row.kind = TUpdateKind::ukInsert;
    } else {
      row.kind = TUpdateKind::ukDelete;
    }
    const bool behind = row.kind == TUpdateKind::ukModify && original;
    row.original = behind ? *original : row.changed;
    original.reset();
    row.recordNo = recordNo;
    lastRecordNo_ = recordNo;
    if (behind) Check(original_->MoveRelative(-1));
    if (!Process(row)) return false;
    if (behind) Check(original_->MoveRelative(1));
  }
  return true;
}

bool ResolveRun::Process(const Row& row) {
  row_ = row;
  useCurrent_ = false;
  hasCurrent_ = false;
  for (;;) {
    std::exception_ptr failure;
    try {
      Write();
    } catch (...) {
      failure = std::current_exception();
    }
    if (!failure || !HandleFailure(failure)) break;
    useCurrent_ = true;
  }
  previous_ = TResolverResponse::rrSkip;
  return errorCount_ <= errorLimit_;
}

void ResolveRun::Write() {
  switch (row_.kind) {
    case TUpdateKind::ukModify:
      if (policy_.disableEdits) DatabaseError(kSNoEdits);
      break;
    case TUpdateKind::ukInsert:
      if (policy_.disableInserts) DatabaseError(kSNoInserts);
      break;
    case TUpdateKind::ukDelete:
      if (policy_.disableDeletes) DatabaseError(kSNoDeletes);
      break;
  }
  if (quotedTable_.empty()) DatabaseError(kSNoTableName);
  switch (row_.kind) {
    case TUpdateKind::ukModify:
      statements_->Update(*this, sql_);
      break;
    case TUpdateKind::ukInsert:
      statements_->Insert(*this, sql_);
      break;
    case TUpdateKind::ukDelete:
      statements_->Delete(*this, sql_);
      break;
  }
  // A modified row none of whose changes can be written is done.
  if (sql_.text.empty()) return;
  const int rows = connection_.Execute(sql_.text, sql_.params);
  if (rows > 1 && !policy_.allowMultiRecordUpdates) {
    RollBackAtOnce();
    DatabaseError(kSTooManyRecords);
  }
  if (rows < 1) DatabaseError(kSRecordChanged);
}

void ResolveRun::RollBackAtOnce() {
  rolledBack_ = true;
  try {
    connection_.Rollback();
    started_ = false;
  } catch (...) {
    // The transaction stays the save's to end, and it is never committed now.
  }
}

bool ResolveRun::HandleFailure(const std::exception_ptr& failure) {
  std::string message;
  std::exception_ptr original = failure;
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
    message = kSErrorMapping;
    original = std::make_exception_ptr(EDatabaseError(kSErrorMapping));
  }
  const bool retry =
      previous_ == TResolverResponse::rrMerge || previous_ == TResolverResponse::rrApply;
  EUpdateError error(message, {}, kUpdateErrorCode, retry ? kUpdateErrorCode : 0, original);
  TResolverResponse response =
      errorCount_ >= errorLimit_ ? TResolverResponse::rrAbort : TResolverResponse::rrSkip;
  ReadCurrentValues();
  View().ShowRow(row_.original, row_.changed);
  host_.UpdateError(View(), error, row_.kind, response);
  // The transaction is gone: going on would send rows outside of it.
  if (rolledBack_) response = TResolverResponse::rrAbort;
  previous_ = response;
  switch (response) {
    case TResolverResponse::rrSkip:
    case TResolverResponse::rrAbort:
      ++errorCount_;
      if (errorCount_ > errorLimit_) response = TResolverResponse::rrAbort;
      if (response == TResolverResponse::rrAbort) errorLimit_ = errorCount_ - 1;
      results_->Record(row_.recordNo, response, error.Message(), error.ErrorCode(),
                       hasCurrent_ ? &current_ : nullptr);
      return false;
    case TResolverResponse::rrMerge:
    case TResolverResponse::rrApply:
      if (!CanRetry(response)) DatabaseError(kSInvalidResponse);
      return true;
    case TResolverResponse::rrIgnore:
      return false;
  }
  return false;
}

void ResolveRun::ReadCurrentValues() {
  hasCurrent_ = false;
  try {
    SQLText select;
    std::vector<std::uint16_t> selected;
    statements_->SelectCurrent(*this, select, selected);
    std::vector<ColumnValue> values;
    if (!connection_.SelectFirstRow(select.text, select.params, values)) return;
    original_->InitRecord(current_);
    for (std::size_t i = 0; i < selected.size() && i < values.size(); ++i) {
      if (values[i].IsNull()) continue;
      const auto field = static_cast<std::uint16_t>(selected[i] + 1);
      if (current_.PutField(field, values[i].Data(), values[i].Size()) != engine::kDSOk) {
        current_.PutNull(field);
      }
    }
    hasCurrent_ = true;
  } catch (...) {
    // Without the server's values the failure is handled as it stands.
  }
}

bool ResolveRun::CanRetry(TResolverResponse response) const {
  // An inserted row has nothing on the server to go by, and without the server's values a retry
  // would send the very statement that failed.
  if (row_.kind == TUpdateKind::ukInsert || !hasCurrent_) return false;
  if (response != TResolverResponse::rrMerge) return true;
  for (std::uint16_t i = 0; i < statements_->Columns().size(); ++i) {
    const DSValueView changedTo = New(i);
    if (changedTo.blank == DSBlank::kUnchanged) continue;
    DSValueView was;
    original_->GetField(i + 1, was);
    const DSValueView server = current_.Field(i + 1);
    // Someone else changed the column to something else.
    if (!SameValue(server, was) && !SameValue(server, changedTo)) return false;
  }
  return true;
}

TPacketDataSet& ResolveRun::View() {
  if (!view_) view_ = std::make_unique<TPacketDataSet>(*delta_);
  return *view_;
}

DSValueView ResolveRun::Old(std::uint16_t column) const {
  const auto field = static_cast<std::uint16_t>(column + 1);
  if (useCurrent_ && hasCurrent_) return current_.Field(field);
  if (row_.kind == TUpdateKind::ukInsert) return Marker(DSBlank::kNull);
  DSValueView v;
  original_->GetField(field, v);
  return v;
}

DSValueView ResolveRun::New(std::uint16_t column) const {
  if (row_.kind == TUpdateKind::ukDelete) return Marker(DSBlank::kUnchanged);
  DSValueView v;
  changed_->GetField(static_cast<std::uint16_t>(column + 1), v);
  return v;
}
