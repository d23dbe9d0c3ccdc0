// FbCommand: ISQLCommand over one statement of an attachment. Parameters are kept as given and
// converted when the statement runs, since blob values need the transaction it runs in.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/firebird/fb_object.h"
#include "db/firebird/fb_statement.h"

class FbCommand : public FbObject<ISQLCommand> {
 public:
  explicit FbCommand(std::shared_ptr<FbSession> session);

  SQLResult prepare(std::string_view sql, std::uint16_t paramCount) override;
  SQLResult setParameter(std::uint16_t position, ParamDirection direction, SqlType type,
                         SqlSubType subType, std::int32_t length, std::int32_t precision,
                         std::int32_t scale, const void* value, bool isNull) override;
  SQLResult execute(std::unique_ptr<ISQLCursor>& cursor) override;
  SQLResult getRowsAffected(std::uint32_t& rows) override;
  SQLResult close() override;

 private:
  struct Parameter {
    bool set = false;
    bool isNull = true;
    SqlType type = SqlType::Unknown;
    std::vector<char> bytes;
  };

  SQLResult ServerFailure(const ISC_STATUS* status);
  // Fills the input description from the parameters; false with the failure in `result`.
  bool BindParameters(SQLResult& result);
  bool BindOne(int index, const Parameter& p, SQLResult& result);
  bool WriteBlob(const std::vector<char>& bytes, short subType, ISC_QUAD& id, SQLResult& result);
  bool DescribeColumns(SQLResult& result);
  // The declared precision of a NUMERIC/DECIMAL column, looked up once per attachment.
  int DeclaredPrecision(const XSQLVAR& var);
  bool ReadRowsAffected(SQLResult& result);

  std::shared_ptr<FbSession> session_;
  std::shared_ptr<FbStatement> statement_;
  std::vector<Parameter> params_;
  std::uint32_t rowsAffected_ = 0;
  isc_tr_handle* prepareTransaction_ = nullptr;  // set while columns are described
};
