#include "db/sql/sql_statement.h"

SQLStatement::SQLStatement(std::unique_ptr<ISQLCommand> command, LastDriverError& last)
    : command_(std::move(command)), last_(last) {}

SQLStatement::~SQLStatement() {
  if (command_) command_->close();
}

void SQLStatement::Prepare(std::string_view sql, std::uint16_t paramCount,
                           std::int32_t rowsetSize) {
  CheckDriver(command_->setOption(CommandOption::RowsetSize, rowsetSize), command_.get(), last_);
  CheckDriver(command_->prepare(sql, paramCount), command_.get(), last_);
}

std::unique_ptr<ISQLCursor> SQLStatement::Execute(std::span<const SQLParamValue> params) {
  std::uint16_t position = 1;
  for (const SQLParamValue& p : params) {
    static constexpr std::uint8_t kNoBytes = 0;  // an empty text still needs an address
    const void* value = p.isNull ? nullptr : p.bytes.empty() ? &kNoBytes : p.bytes.data();
    CheckDriver(command_->setParameter(position, ParamDirection::Input, p.type, p.subType,
                                       static_cast<std::int32_t>(p.bytes.size()), p.precision,
                                       p.scale, value, p.isNull),
                command_.get(), last_);
    ++position;
  }
  std::unique_ptr<ISQLCursor> cursor;
  CheckDriver(command_->execute(cursor), command_.get(), last_);
  return cursor;
}

std::uint32_t SQLStatement::RowsAffected() {
  std::uint32_t rows = 0;
  CheckDriver(command_->getRowsAffected(rows), command_.get(), last_);
  return rows;
}
