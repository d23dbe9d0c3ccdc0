#include "data/provider/driver_query_source.h"

#include "base/bcd.h"
#include "base/date_time.h"
#include "base/exceptions.h"
#include "base/text.h"

using engine::DSType;

namespace {

constexpr char kSDataSetOpen[] = "Cannot perform this operation on an open dataset";
constexpr char kSNoStatement[] = "Missing query, table name or procedure name";

std::string ErrorText(ISQLObject& object) {
  std::int32_t length = 0;
  object.getErrorMessageLen(length);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  object.getErrorMessage(text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

DSType EngineType(SqlType type, SqlSubType subType) {
  switch (type) {
    case SqlType::Text:
      return DSType::kText;
    case SqlType::Date:
      return DSType::kDate;
    case SqlType::Blob:
      return subType == SqlSubType::Memo ? DSType::kMemo : DSType::kBlob;
    case SqlType::Boolean:
      return DSType::kLogical;
    case SqlType::Int16:
      return DSType::kSmallInt;
    case SqlType::Int32:
      return DSType::kInteger;
    case SqlType::Float:
      return DSType::kFloat;
    case SqlType::Bcd:
    case SqlType::FmtBcd:
      return DSType::kBcd;
    case SqlType::Time:
      return DSType::kTime;
    case SqlType::Timestamp:
      return DSType::kDateTime;
    case SqlType::UInt16:
      return DSType::kWord;
    case SqlType::Int64:
      return DSType::kLargeInt;
    default:
      return DSType::kBytes;
  }
}

}  // namespace

DriverQuerySource::DriverQuerySource(ISQLConnection& connection, std::string sql,
                                     std::int64_t localeCode)
    : connection_(connection), sql_(TrimLeft(sql)), localeCode_(localeCode) {}

DriverQuerySource::~DriverQuerySource() = default;

void DriverQuerySource::Check(ISQLObject& object, SQLResult result) const {
  if (result != kSqlSuccess) throw EDatabaseError(ErrorText(object));
}

void DriverQuerySource::SetCommandText(std::string_view text) {
  const std::string trimmed = TrimLeft(text);
  if (trimmed == sql_) return;
  if (Active()) DatabaseError(kSDataSetOpen);
  sql_ = trimmed;
}

void DriverQuerySource::Open() {
  if (Active()) return;
  if (sql_.empty()) DatabaseError(kSNoStatement);
  std::unique_ptr<ISQLCommand> command;
  Check(connection_, connection_.getSQLCommand(command));
  Check(*command, command->prepare(sql_, 0));
  std::unique_ptr<ISQLCursor> cursor;
  Check(*command, command->execute(cursor));
  if (cursor == nullptr) DatabaseError("Cursor not returned from Query");
  command_ = std::move(command);
  cursor_ = std::move(cursor);
  moved_ = false;
  try {
    ReadColumns();
    eof_ = false;
    Next();
    moved_ = false;
  } catch (...) {
    Close();
    throw;
  }
}

void DriverQuerySource::ReadColumns() {
  std::uint16_t count = 0;
  Check(*cursor_, cursor_->getColumnCount(count));
  columns_.clear();
  types_.clear();
  for (std::uint16_t i = 1; i <= count; ++i) {
    engine::DSColumn c;
    SqlType type;
    SqlSubType subType;
    std::uint32_t length = 0;
    bool nullable = true;
    Check(*cursor_, cursor_->getColumnName(i, c.name));
    Check(*cursor_, cursor_->getColumnType(i, type, subType));
    Check(*cursor_, cursor_->getColumnLength(i, length));
    cursor_->isNullable(i, nullable);
    c.type = EngineType(type, subType);
    c.size = c.type == DSType::kText || c.type == DSType::kBytes  ? length
             : c.type == DSType::kBlob || c.type == DSType::kMemo ? 0
                                                                  : engine::FixedTypeSize(c.type);
    if (!nullable) c.attrs |= engine::kColRequired;
    columns_.push_back(std::move(c));
    types_.push_back(type);
  }
}

void DriverQuerySource::Close() {
  cursor_.reset();
  if (command_) command_->close();
  command_.reset();
  eof_ = true;
}

void DriverQuerySource::First() {
  if (!Active() || !moved_) return;
  // Forward only: going back to the first row runs the statement again.
  Close();
  Open();
}

void DriverQuerySource::Next() {
  if (eof_) return;
  moved_ = true;
  const SQLResult r = cursor_->next();
  if (r == kSqlNoMoreRows || r == kSqlEof) {
    eof_ = true;
    return;
  }
  Check(*cursor_, r);
}

void DriverQuerySource::PutRow(engine::IDSWriter& writer) const {
  auto put = [&](bool isNull, const void* data, std::uint32_t size) {
    const engine::DSStatus s = isNull ? writer.PutNull() : writer.PutField(data, size);
    if (s != engine::kDSOk) throw EDSWriter(writer.ErrorText(s), s);
  };
  for (std::uint16_t i = 1; i <= columns_.size(); ++i) {
    bool isNull = true;
    switch (columns_[i - 1].type) {
      case DSType::kInteger: {
        std::int32_t v = 0;
        Check(*cursor_, cursor_->getLong(i, v, isNull));
        put(isNull, &v, sizeof v);
        break;
      }
      case DSType::kSmallInt:
      case DSType::kLogical: {
        std::int16_t v = 0;
        Check(*cursor_, cursor_->getShort(i, v, isNull));
        put(isNull, &v, sizeof v);
        break;
      }
      case DSType::kLargeInt: {
        std::int64_t v = 0;
        Check(*cursor_, cursor_->getInt64(i, v, isNull));
        put(isNull, &v, sizeof v);
        break;
      }
      case DSType::kFloat: {
        double v = 0;
        Check(*cursor_, cursor_->getDouble(i, v, isNull));
        put(isNull, &v, sizeof v);
        break;
      }
      case DSType::kBcd: {
        TBcd v{};
        Check(*cursor_, cursor_->getBcd(i, v, isNull));
        put(isNull, &v, sizeof v);
        break;
      }
      case DSType::kDate: {
        std::int32_t v = 0;
        Check(*cursor_, cursor_->getDate(i, v, isNull));
        put(isNull, &v, sizeof v);
        break;
      }
      case DSType::kTime: {
        std::int32_t v = 0;
        Check(*cursor_, cursor_->getTime(i, v, isNull));
        put(isNull, &v, sizeof v);
        break;
      }
      case DSType::kDateTime: {
        SQLTimeStamp ts;
        Check(*cursor_, cursor_->getTimeStamp(i, ts, isNull));
        double v = 0;
        if (!isNull) {
          const TDateTime day = EncodeDate(ts.Year, ts.Month, ts.Day);
          v = static_cast<double>(DateToDayNumber(day)) * 86400000.0 +
              ((ts.Hour * 60.0 + ts.Minute) * 60.0 + ts.Second) * 1000.0 + ts.Fraction;
        }
        put(isNull, &v, sizeof v);
        break;
      }
      case DSType::kText: {
        std::string v;
        Check(*cursor_, cursor_->getString(i, v, isNull));
        put(isNull, v.data(), static_cast<std::uint32_t>(v.size()));
        break;
      }
      case DSType::kBlob:
      case DSType::kMemo: {
        std::vector<std::uint8_t> v;
        Check(*cursor_, cursor_->getBlob(i, v, isNull));
        put(isNull, v.data(), static_cast<std::uint32_t>(v.size()));
        break;
      }
      default: {
        std::vector<std::uint8_t> v;
        Check(*cursor_, cursor_->getBytes(i, v, isNull));
        put(isNull, v.data(), static_cast<std::uint32_t>(v.size()));
        break;
      }
    }
  }
}
