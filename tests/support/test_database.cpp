#include "tests/support/test_database.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status;
  std::string output;
};

// Runs the interactive SQL tool on a script file, stopping at the first failing statement.
ToolRun RunIsql(const std::string& folder, const std::string& script, const std::string& database) {
  const std::string file = folder + "/script.sql";
  std::ofstream(file, std::ios::binary) << script;
  std::string command = "isql-fb -q -b -ch UTF8 -user SYSDBA -i '" + file + "'";
  if (!database.empty()) command += " '" + database + "'";
  command += " 2>&1";
  ToolRun run{0, {}};
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("cannot start isql-fb");
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
  run.status = pclose(pipe);
  fs::remove(file);
  return run;
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

TestDatabase::TestDatabase(Contents contents, const std::string& charSet) {
  char pattern[] = "/tmp/talvora-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  folder_ = pattern;
  fs::create_directories(folder_ + "/datos/01");
  path_ = folder_ + "/datos/01/talvora.fdb";
  const std::string sql = TALVORA_SQL_DIR;
  std::string script = "CREATE DATABASE '" + path_ +
                       "' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET " + charSet +
                       ";\n"
                       "INPUT '" +
                       sql + "/schema.sql';\nINPUT '" + sql + "/procedure.sql';\n";
  if (contents == Contents::kDemo) script += "INPUT '" + sql + "/demo_data.sql';\n";
  const ToolRun run = RunIsql(folder_, script, "");
  if (run.status != 0) {
    fs::remove_all(folder_);
    throw std::runtime_error("cannot create the test database: " + run.output);
  }
}

TestDatabase::~TestDatabase() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

void TestDatabase::Execute(const std::string& statements) const {
  const ToolRun run = RunIsql(folder_, statements + "\nCOMMIT;\n", path_);
  if (run.status != 0) throw std::runtime_error("statements failed: " + run.output);
}

std::vector<std::string> TestDatabase::Query(const std::string& select) const {
  const ToolRun run = RunIsql(folder_, "SET HEADING OFF;\n" + select + ";\nCOMMIT;\n", path_);
  if (run.status != 0) throw std::runtime_error("query failed: " + run.output);
  std::vector<std::string> rows;
  size_t start = 0;
  while (start < run.output.size()) {
    size_t end = run.output.find('\n', start);
    if (end == std::string::npos) end = run.output.size();
    const std::string line = Trim(run.output.substr(start, end - start));
    if (!line.empty()) rows.push_back(line);
    start = end + 1;
  }
  return rows;
}

std::string TestDatabase::QueryOne(const std::string& select) const {
  const std::vector<std::string> rows = Query(select);
  return rows.size() == 1 ? rows[0] : "<" + std::to_string(rows.size()) + " rows>";
}

void TestDatabase::FillAjusteCierre(int rows) const {
  Execute(
      "SET TERM ^ ;\n"
      "EXECUTE BLOCK AS\n"
      "  DECLARE I INTEGER = 0;\n"
      "  DECLARE BASE INTEGER;\n"
      "BEGIN\n"
      "  BASE = COALESCE((SELECT MAX(AJCI_ID) FROM AJUSTE_CIERRE), 0);\n"
      "  WHILE (I < " +
      std::to_string(rows) +
      ") DO\n"
      "  BEGIN\n"
      "    I = I + 1;\n"
      "    INSERT INTO AJUSTE_CIERRE VALUES (:BASE + :I,\n"
      "      DATE '2026-01-01' + MOD(:I, 365), DATE '2026-01-01' + MOD(:I, 365) + 30,\n"
      "      DECODE(MOD(:I, 3), 0, 19, 1, 5, 0), 0.5 + MOD(:I, 5001) / 10000.0);\n"
      "  END\n"
      "END^\n"
      "SET TERM ; ^");
}

std::string test_server::Location(const std::string& path) {
  return std::string(kHost) + "/" + kPort + ":" + path;
}
