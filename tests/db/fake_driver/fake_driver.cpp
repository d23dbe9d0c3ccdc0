// A driver library for tests: it talks to no database. Every operation succeeds unless a test has
// scripted a failure for it, and each call is logged so a test can check what the layer passed.
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "db/driver/sql_driver.h"
#include "tests/db/fake_driver/fake_driver_control.h"

namespace {

struct Column {
  std::string name;
  SqlType type;
  SqlSubType subType;
  std::uint32_t length;
  std::int16_t precision;
  std::int16_t scale;
};

struct Script {
  std::map<std::string, std::pair<int, std::string>> failures;
  std::map<int, int> intOptions;
  std::vector<Column> columns;
  int rows = 0;
  int rowsAffected = 0;
  std::deque<int> rowsAffectedQueue;  // answered first, one per call, before rowsAffected
  std::string log;
  std::string logCopy;
  int connections = 0;
};

// The library's state lives as long as the library; tests reset it between cases.
Script& State() {
  static Script script;
  return script;
}

void Log(const std::string& line) {
  State().log += line;
  State().log += '\n';
}

template <typename Base>
class FakeObject : public Base {
 public:
  SQLResult setOption(std::int32_t option, std::int32_t value) override {
    Log("setOption " + std::to_string(option) + " " + std::to_string(value));
    return Outcome("setOption");
  }
  SQLResult setTextOption(std::int32_t option, const char* value) override {
    Log("setTextOption " + std::to_string(option) + " " + value);
    if (option == ConnectionOption::QualifiedName) qualified_ = value;
    return Outcome("setTextOption");
  }
  SQLResult getOption(std::int32_t option, void* buffer, std::int32_t bufferSize,
                      std::int32_t& length) override {
    Log("getOption " + std::to_string(option));
    if (SQLResult r = Outcome("getOption")) return r;
    if (option == ConnectionOption::QuotedObjectName || option == MetaDataOption::ObjectQuoteChar) {
      const std::string text =
          option == ConnectionOption::QuotedObjectName ? "\"" + qualified_ + "\"" : "\"";
      if (static_cast<std::int32_t>(text.size()) >= bufferSize) return kSqlInvalidLength;
      std::memcpy(buffer, text.c_str(), text.size() + 1);
      length = static_cast<std::int32_t>(text.size());
      return kSqlSuccess;
    }
    const auto it = State().intOptions.find(option);
    const std::int32_t value = it == State().intOptions.end() ? 0 : it->second;
    std::memcpy(buffer, &value, sizeof value);
    length = sizeof value;
    return kSqlSuccess;
  }
  SQLResult getErrorMessageLen(std::int32_t& length) override {
    length = static_cast<std::int32_t>(error_.size());
    return kSqlSuccess;
  }
  SQLResult getErrorMessage(char* buffer, std::int32_t bufferSize) override {
    if (bufferSize <= 0) return kSqlInvalidLength;
    const std::size_t n = std::min<std::size_t>(error_.size(), bufferSize - 1);
    std::memcpy(buffer, error_.data(), n);
    buffer[n] = '\0';
    return kSqlSuccess;
  }

 protected:
  // The scripted answer of `operation`, once; its text becomes this object's last error.
  SQLResult Outcome(const std::string& operation) {
    auto& failures = State().failures;
    const auto it = failures.find(operation);
    if (it == failures.end()) return kSqlSuccess;
    const auto [code, text] = it->second;
    failures.erase(it);
    error_ = text;
    return static_cast<SQLResult>(code);
  }

 private:
  std::string error_;
  std::string qualified_;
};

class FakeCursor : public FakeObject<ISQLCursor> {
 public:
  SQLResult getColumnCount(std::uint16_t& count) override {
    if (SQLResult r = Outcome("getColumnCount")) return r;
    count = static_cast<std::uint16_t>(State().columns.size());
    return kSqlSuccess;
  }
  SQLResult getColumnName(std::uint16_t c, std::string& name) override {
    return Describe(c, [&](const Column& col) { name = col.name; });
  }
  SQLResult getColumnType(std::uint16_t c, SqlType& type, SqlSubType& subType) override {
    return Describe(c, [&](const Column& col) {
      type = col.type;
      subType = col.subType;
    });
  }
  SQLResult getColumnLength(std::uint16_t c, std::uint32_t& length) override {
    return Describe(c, [&](const Column& col) { length = col.length; });
  }
  SQLResult getColumnPrecision(std::uint16_t c, std::int16_t& precision) override {
    return Describe(c, [&](const Column& col) { precision = col.precision; });
  }
  SQLResult getColumnScale(std::uint16_t c, std::int16_t& scale) override {
    return Describe(c, [&](const Column& col) { scale = col.scale; });
  }
  SQLResult isNullable(std::uint16_t c, bool& nullable) override {
    return Describe(c, [&](const Column&) { nullable = true; });
  }
  SQLResult isReadOnly(std::uint16_t c, bool& readOnly) override {
    return Describe(c, [&](const Column&) { readOnly = false; });
  }
  SQLResult next() override {
    if (SQLResult r = Outcome("next")) return r;
    if (row_ >= State().rows) return kSqlNoMoreRows;
    ++row_;
    return kSqlSuccess;
  }
  SQLResult getString(std::uint16_t, std::string& value, bool& isNull) override {
    value = "row " + std::to_string(row_);
    isNull = false;
    return kSqlSuccess;
  }
  SQLResult getShort(std::uint16_t, std::int16_t& value, bool& isNull) override {
    return Number(value, isNull);
  }
  SQLResult getLong(std::uint16_t, std::int32_t& value, bool& isNull) override {
    return Number(value, isNull);
  }
  SQLResult getInt64(std::uint16_t, std::int64_t& value, bool& isNull) override {
    return Number(value, isNull);
  }
  SQLResult getDouble(std::uint16_t, double& value, bool& isNull) override {
    return Number(value, isNull);
  }
  SQLResult getBcd(std::uint16_t, TBcd& value, bool& isNull) override {
    value = TBcd();
    isNull = true;
    return kSqlSuccess;
  }
  SQLResult getDate(std::uint16_t, std::int32_t& value, bool& isNull) override {
    return Number(value, isNull);
  }
  SQLResult getTime(std::uint16_t, std::int32_t& value, bool& isNull) override {
    return Number(value, isNull);
  }
  SQLResult getTimeStamp(std::uint16_t, SQLTimeStamp&, bool& isNull) override {
    isNull = true;
    return kSqlSuccess;
  }
  SQLResult getBytes(std::uint16_t, std::vector<std::uint8_t>& value, bool& isNull) override {
    value.assign(1, static_cast<std::uint8_t>(row_));
    isNull = false;
    return kSqlSuccess;
  }
  SQLResult getBlobSize(std::uint16_t, std::uint32_t& size, bool& isNull) override {
    size = 1;
    isNull = false;
    return kSqlSuccess;
  }
  SQLResult getBlob(std::uint16_t c, std::vector<std::uint8_t>& value, bool& isNull) override {
    return getBytes(c, value, isNull);
  }

 private:
  template <typename F>
  SQLResult Describe(std::uint16_t column, F read) {
    if (column < 1 || column > State().columns.size()) return kSqlOutOfRange;
    read(State().columns[column - 1]);
    return kSqlSuccess;
  }
  template <typename T>
  SQLResult Number(T& value, bool& isNull) {
    value = static_cast<T>(row_);
    isNull = false;
    return kSqlSuccess;
  }

  int row_ = 0;
};

class FakeCommand : public FakeObject<ISQLCommand> {
 public:
  SQLResult prepare(std::string_view sql, std::uint16_t paramCount) override {
    Log("prepare " + std::string(sql) + " |" + std::to_string(paramCount));
    std::string lower;
    for (char ch : sql) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const auto start = lower.find_first_not_of(' ');
    select_ = start != std::string::npos && lower.compare(start, 6, "select") == 0;
    return Outcome("prepare");
  }
  SQLResult setParameter(std::uint16_t position, ParamDirection direction, SqlType type,
                         SqlSubType subType, std::int32_t length, std::int32_t precision,
                         std::int32_t scale, const void*, bool isNull) override {
    Log("setParameter " + std::to_string(position) + " " +
        std::to_string(static_cast<int>(direction)) + " " + std::to_string(static_cast<int>(type)) +
        " " + std::to_string(static_cast<int>(subType)) + " " + std::to_string(length) + " " +
        std::to_string(precision) + " " + std::to_string(scale) + (isNull ? " null" : ""));
    return Outcome("setParameter");
  }
  SQLResult execute(std::unique_ptr<ISQLCursor>& cursor) override {
    Log("execute");
    if (SQLResult r = Outcome("execute")) return r;
    if (select_) cursor = std::make_unique<FakeCursor>();
    return kSqlSuccess;
  }
  SQLResult getRowsAffected(std::uint32_t& rows) override {
    if (SQLResult r = Outcome("getRowsAffected")) return r;
    auto& queue = State().rowsAffectedQueue;
    rows = static_cast<std::uint32_t>(queue.empty() ? State().rowsAffected : queue.front());
    if (!queue.empty()) queue.pop_front();
    return kSqlSuccess;
  }
  SQLResult close() override {
    Log("close command");
    return kSqlSuccess;
  }

 private:
  bool select_ = false;
};

class FakeMetaData : public FakeObject<ISQLMetaData> {};

class FakeConnection : public FakeObject<ISQLConnection> {
 public:
  FakeConnection() : id_(++State().connections) {}
  SQLResult connect(std::string_view location, std::string_view user,
                    std::string_view password) override {
    Log("connect " + std::string(location) + "|" + std::string(user) + "|" + std::string(password));
    return Outcome("connect");
  }
  SQLResult disconnect() override {
    Log("disconnect");
    return kSqlSuccess;
  }
  SQLResult getSQLCommand(std::unique_ptr<ISQLCommand>& command) override {
    Log("getSQLCommand from connection " + std::to_string(id_));
    if (SQLResult r = Outcome("getSQLCommand")) return r;
    command = std::make_unique<FakeCommand>();
    return kSqlSuccess;
  }
  SQLResult getSQLMetaData(std::unique_ptr<ISQLMetaData>& metaData) override {
    Log("getSQLMetaData");
    if (SQLResult r = Outcome("getSQLMetaData")) return r;
    metaData = std::make_unique<FakeMetaData>();
    return kSqlSuccess;
  }
  SQLResult beginTransaction(const TTransactionDesc& desc) override {
    return Transaction("beginTransaction", desc);
  }
  SQLResult commit(const TTransactionDesc& desc) override { return Transaction("commit", desc); }
  SQLResult rollback(const TTransactionDesc& desc) override {
    return Transaction("rollback", desc);
  }

 private:
  SQLResult Transaction(const std::string& name, const TTransactionDesc& d) {
    Log(name + " " + std::to_string(d.TransactionID) + " " + std::to_string(d.GlobalID) + " " +
        std::to_string(d.IsolationLevel) + " " + std::to_string(d.CustomIsolation));
    return Outcome(name);
  }

  int id_;
};

class FakeDriver : public FakeObject<ISQLDriver> {
 public:
  SQLResult getSQLConnection(std::unique_ptr<ISQLConnection>& connection) override {
    Log("getSQLConnection");
    if (SQLResult r = Outcome("getSQLConnection")) return r;
    connection = std::make_unique<FakeConnection>();
    return kSqlSuccess;
  }
  SQLResult Entry() { return Outcome("entry"); }
};

}  // namespace

extern "C" {

SQL_DRIVER_EXPORT SQLResult getSQLDriverINTERBASE(const char* vendorLib, const char* resourceFile,
                                                  ISQLDriver** driver) {
  Log(std::string("entry ") + vendorLib + "|" + resourceFile);
  auto fake = std::make_unique<FakeDriver>();
  if (SQLResult r = fake->Entry()) return r;
  *driver = fake.release();
  return kSqlSuccess;
}

SQL_DRIVER_EXPORT void fake_reset() {
  State() = Script();
}

SQL_DRIVER_EXPORT void fake_fail(const char* operation, int code, const char* text) {
  State().failures[operation] = {code, text};
}

SQL_DRIVER_EXPORT void fake_set_int_option(int option, int value) {
  State().intOptions[option] = value;
}

SQL_DRIVER_EXPORT void fake_add_column(const char* name, int type, int subType, int length,
                                       int precision, int scale) {
  State().columns.push_back({name, static_cast<SqlType>(type), static_cast<SqlSubType>(subType),
                             static_cast<std::uint32_t>(length),
                             static_cast<std::int16_t>(precision),
                             static_cast<std::int16_t>(scale)});
}

SQL_DRIVER_EXPORT void fake_set_rows(int rows) {
  State().rows = rows;
}

SQL_DRIVER_EXPORT void fake_set_rows_affected(int rows) {
  State().rowsAffected = rows;
}

SQL_DRIVER_EXPORT void fake_queue_rows_affected(int rows) {
  State().rowsAffectedQueue.push_back(rows);
}

SQL_DRIVER_EXPORT const char* fake_log() {
  State().logCopy = State().log;
  return State().logCopy.c_str();
}
}
