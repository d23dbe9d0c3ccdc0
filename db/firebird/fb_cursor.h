// FbCursor: ISQLCursor over the rows of one execution of a statement. When the rows run out, or
// when the cursor is released first, the statement's own transaction is committed, so a selectable
// procedure that writes keeps what it wrote.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/firebird/fb_object.h"
#include "db/firebird/fb_statement.h"

class FbCursor : public FbObject<ISQLCursor> {
 public:
  // `singleRow`: the one row is in the buffers already (an executed procedure's outputs).
  FbCursor(std::shared_ptr<FbStatement> statement, bool singleRow);
  ~FbCursor() override;

  SQLResult getColumnCount(std::uint16_t& count) override;
  SQLResult getColumnName(std::uint16_t column, std::string& name) override;
  SQLResult getColumnType(std::uint16_t column, SqlType& type, SqlSubType& subType) override;
  SQLResult getColumnLength(std::uint16_t column, std::uint32_t& length) override;
  SQLResult getColumnPrecision(std::uint16_t column, std::int16_t& precision) override;
  SQLResult getColumnScale(std::uint16_t column, std::int16_t& scale) override;
  SQLResult isNullable(std::uint16_t column, bool& nullable) override;
  SQLResult isReadOnly(std::uint16_t column, bool& readOnly) override;

  SQLResult next() override;

  SQLResult getString(std::uint16_t column, std::string& value, bool& isNull) override;
  SQLResult getShort(std::uint16_t column, std::int16_t& value, bool& isNull) override;
  SQLResult getLong(std::uint16_t column, std::int32_t& value, bool& isNull) override;
  SQLResult getInt64(std::uint16_t column, std::int64_t& value, bool& isNull) override;
  SQLResult getDouble(std::uint16_t column, double& value, bool& isNull) override;
  SQLResult getBcd(std::uint16_t column, TBcd& value, bool& isNull) override;
  SQLResult getDate(std::uint16_t column, std::int32_t& value, bool& isNull) override;
  SQLResult getTime(std::uint16_t column, std::int32_t& value, bool& isNull) override;
  SQLResult getTimeStamp(std::uint16_t column, SQLTimeStamp& value, bool& isNull) override;
  SQLResult getBytes(std::uint16_t column, std::vector<std::uint8_t>& value, bool& isNull) override;
  SQLResult getBlobSize(std::uint16_t column, std::uint32_t& size, bool& isNull) override;
  SQLResult getBlob(std::uint16_t column, std::vector<std::uint8_t>& value, bool& isNull) override;

 private:
  enum class State { BeforeFirst, OnRow, AtEnd };

  bool Current() const { return statement_->generation == generation_; }
  // The column's entry when `column` is valid; null with the failure in `result` otherwise.
  const XSQLVAR* Column(std::uint16_t column, SQLResult& result);
  // As Column, and also requires a current row; sets isNull.
  const XSQLVAR* Value(std::uint16_t column, bool& isNull, SQLResult& result);
  // The integer value of an integer column (scaled ones unscaled), false for other types.
  static bool IntegerOf(const XSQLVAR& var, std::int64_t& value);
  SQLResult ReadBlob(std::uint16_t column, const XSQLVAR& var);

  std::shared_ptr<FbStatement> statement_;
  int generation_;
  State state_;
  bool singleRow_;
  // The last blob read, kept so that a size query and a read of the same value fetch it once.
  int blobColumn_ = -1;
  std::vector<std::uint8_t> blob_;
};
