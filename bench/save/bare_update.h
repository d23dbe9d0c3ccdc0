// The yardstick of the save benchmark: the UPDATE a save sends for each changed row, run with a
// bare loop on the Firebird client library in one transaction.
#pragma once

#include <ibase.h>

#include <cstdint>
#include <string>
#include <vector>

// One row of AJUSTE_CIERRE as the UPDATE's where clause names it, with its new factor (values as
// the client library takes them: Firebird day numbers, decimals scaled by 10,000).
struct BareRow {
  std::int32_t id = 0;
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::int64_t rate = 0;
  std::int64_t factor = 0;
  std::int64_t newFactor = 0;
};

// An embedded attachment to one database. Failures throw std::runtime_error with the client
// library's text.
class BareConnection {
 public:
  explicit BareConnection(const std::string& path);
  ~BareConnection();
  BareConnection(const BareConnection&) = delete;
  BareConnection& operator=(const BareConnection&) = delete;

  // Every row of AJUSTE_CIERRE, each with the new factor `newFactor` gives for its id.
  std::vector<BareRow> ReadRows(std::int64_t (*newFactor)(std::int32_t));
  // The sum of AJCI_FACTOR, scaled by 10,000.
  std::int64_t FactorSum();
  // Runs a statement without parameters in a transaction of its own.
  void Execute(const std::string& sql);
  // Runs `sql` (the new factor, then the five old values as parameters) once per row in one
  // transaction, committed at the end; prepared once, or again for every row.
  void Update(const std::string& sql, const std::vector<BareRow>& rows, bool prepareEveryRow);

 private:
  isc_db_handle db_ = 0;
};
