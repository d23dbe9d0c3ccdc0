#include "db/sql/sql_dataset.h"

#include <cstring>

#include "base/date_time.h"
#include "base/exceptions.h"
#include "base/text.h"
#include "db/sql/sql_params.h"

TCustomSQLDataSet::TCustomSQLDataSet(TComponent* owner) : TDataSet(owner) {}

TCustomSQLDataSet::~TCustomSQLDataSet() {
  Close();
  statement_.reset();
  if (connection_) connection_->RemoveClient(this);
}

void TCustomSQLDataSet::SetSQLConnection(TSQLConnection* connection) {
  if (connection == connection_) return;
  UnPrepare();
  if (connection_) connection_->RemoveClient(this);
  connection_ = connection;
  if (connection_) connection_->AddClient(this);
}

void TCustomSQLDataSet::UnPrepare() {
  Close();
  statement_.reset();
  prepared_text_.clear();
}

std::int64_t TCustomSQLDataSet::LocaleCode() const {
  return connection_ ? connection_->LocaleCode() : 0;
}

void TCustomSQLDataSet::ConnectionClosing() {
  UnPrepare();
}

void TCustomSQLDataSet::ConnectionDestroyed() {
  UnPrepare();
  connection_ = nullptr;
}

void TCustomSQLDataSet::InternalOpen() {
  if (!connection_) DatabaseError("Missing SQLConnection property", this);
  std::string text = StatementText();
  if (text.empty()) DatabaseError("Missing query, table name or procedure name");
  connection_->Open();
  if (!statement_ || prepared_text_ != text) {
    statement_.reset();
    const TParsedSQL parsed = ParseSQL(text);
    auto statement = std::make_unique<SQLStatement>(connection_->NewCommand(), last_error_);
    statement->Prepare(parsed.Text, static_cast<std::uint16_t>(parsed.Names.size()),
                       connection_->RowsetSize());
    connection_->NoteSelectPrepared();
    statement_ = std::move(statement);
    prepared_text_ = std::move(text);
    param_names_ = parsed.Names;
  }
  Execute();

  const std::vector<SQLColumnDesc> columns = DescribeColumns(*cursor_, last_error_);
  FieldDefs().Clear();
  values_.clear();
  values_.reserve(columns.size());
  for (std::size_t i = 0; i < columns.size(); ++i) {
    TFieldDef def = ColumnFieldDef(columns[i]);
    def.Name = UniqueFieldName(FieldDefs(), columns[i].name);
    FieldDefs().Add(std::move(def));
    values_.emplace_back(static_cast<std::uint16_t>(i + 1), columns[i].type, columns[i].subType);
  }
}

void TCustomSQLDataSet::Execute() {
  cursor_.reset();
  rows_fetched_ = 0;
  at_end_ = false;
  const std::vector<SQLParamValue> params = BoundParams();
  cursor_ = statement_->Execute(params);
  if (!cursor_) DatabaseError("Cursor not returned from Query");
}

std::vector<SQLParamValue> TCustomSQLDataSet::BoundParams() const {
  std::vector<SQLParamValue> values;
  values.reserve(param_names_.size());
  for (const std::string& name : param_names_) {
    const TParam* param = params_.FindParam(name);
    values.push_back(param ? ToSQLParamValue(*param) : SQLParamValue{});
  }
  return values;
}

void TCustomSQLDataSet::InternalClose() {
  cursor_.reset();
  values_.clear();
  rows_fetched_ = 0;
  at_end_ = false;
}

TGetResult TCustomSQLDataSet::InternalFirst() {
  // Forward only: the first row is at hand only while nothing has moved past it.
  if (rows_fetched_ == 1 && !at_end_) return TGetResult::grOK;
  if (rows_fetched_ > 0 || at_end_) Execute();
  return Fetch();
}

TGetResult TCustomSQLDataSet::InternalNext() {
  if (at_end_) return TGetResult::grEOF;
  return Fetch();
}

TGetResult TCustomSQLDataSet::Fetch() {
  const SQLResult r = cursor_->next();
  if (r == kSqlEof || r == kSqlNoMoreRows) {
    at_end_ = true;
    return TGetResult::grEOF;
  }
  CheckDriver(r, cursor_.get(), last_error_);
  for (ColumnValue& value : values_) value.Read(*cursor_, last_error_);
  ++rows_fetched_;
  return TGetResult::grOK;
}

bool TCustomSQLDataSet::GetFieldData(const TField& field, TFieldData& out) const {
  const int no = field.FieldNo();
  if (rows_fetched_ == 0 || no < 1 || no > static_cast<int>(values_.size())) return false;
  const ColumnValue& value = values_[no - 1];
  if (value.IsNull()) return false;
  out.Data = value.Data();
  out.Size = value.Size();
  return true;
}

void TCustomSQLDataSet::SetFieldData(const TField&, const void*, std::uint32_t) {
  DatabaseError("Cannot modify a read-only dataset", this);
}

TSQLQuery::~TSQLQuery() {
  Close();
}

void TSQLQuery::SetSQL(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && static_cast<unsigned char>(text[start]) <= 32) ++start;
  text.remove_prefix(start);
  if (text == sql_) return;
  CheckInactive();
  UnPrepare();
  sql_ = std::string(text);
  Params().ParseSQL(sql_, true);
}

TSQLTable::~TSQLTable() {
  Close();
}

void TSQLTable::SetTableName(std::string_view name) {
  if (name == table_name_) return;
  CheckInactive();
  UnPrepare();
  table_name_ = std::string(name);
}

std::string TSQLTable::StatementText() {
  if (table_name_.empty() || !SQLConnection()) return {};
  SQLConnection()->Open();
  return " select * from " + SQLConnection()->QuotedObjectName(table_name_);
}
