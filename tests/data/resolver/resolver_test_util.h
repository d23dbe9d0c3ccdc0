// Helpers of the resolver tests: a delta of AJUSTE_CIERRE made through the engine as a cached
// dataset makes it, and a results packet read back.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "data/engine/ds_base.h"

namespace resolvertest {

// The statements of AJUSTE_CIERRE under the quote character ": a row inserted, a row whose factor
// alone changed, and a row deleted whose end date is null (6, 5 and 4 parameters).
inline constexpr char kAjusteInsert[] =
    "insert into \"AJUSTE_CIERRE\"\r\n"
    "  (\"AJCI_ID\", \"AJCI_FECINI\", \"AJCI_FECFIN\", \"AJCI_PORC\", \"AJCI_FACTOR\")\r\n"
    "values\r\n"
    "  (?, ?, ?, ?, ?)\r\n";
inline constexpr char kAjusteFactorUpdate[] =
    "update \"AJUSTE_CIERRE\"  set\r\n"
    " \"AJCI_FACTOR\" = ?\r\n"
    "where\r\n"
    " \"AJCI_ID\" = ? and\r\n"
    " \"AJCI_FECINI\" = ? and\r\n"
    " \"AJCI_FECFIN\" = ? and\r\n"
    " \"AJCI_PORC\" = ? and\r\n"
    " \"AJCI_FACTOR\" = ?\r\n";
inline constexpr char kAjusteDeleteWithoutEnd[] =
    "delete from \"AJUSTE_CIERRE\" \r\n"
    "where\r\n"
    " \"AJCI_ID\" = ? and\r\n"
    " \"AJCI_FECINI\" = ? and\r\n"
    " \"AJCI_FECFIN\" is null and\r\n"
    " \"AJCI_PORC\" = ? and\r\n"
    " \"AJCI_FACTOR\" = ?\r\n";

// The five columns of AJUSTE_CIERRE as the provider writes them.
std::vector<engine::DSColumn> AjusteColumns();

// Fetched rows of AJUSTE_CIERRE (ids 1..n, factor 0.8, rate 19, no dates) and changes made to
// them, in order; Packet() is the delta.
class DeltaBuilder {
 public:
  explicit DeltaBuilder(int fetchedRows, std::vector<engine::DSColumn> columns = AjusteColumns());
  DeltaBuilder& Insert(std::int32_t id, const char* factor = "0.8");
  DeltaBuilder& SetFactor(std::int32_t id, const char* factor);
  DeltaBuilder& Remove(std::int32_t id);
  engine::DSPacket Packet() const;

 private:
  void Seek(std::int32_t id);
  std::unique_ptr<engine::IDSBase> rows_;
  std::unique_ptr<engine::IDSCursor> cursor_;
};

// A failed row as the results packet records it.
struct Failure {
  std::int32_t recordNo;
  std::int32_t response;  // 1 skip, 2 abort
  std::string message;
  bool operator==(const Failure&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Failure& f) {
    return out << "{" << f.recordNo << ", " << f.response << ", \"" << f.message << "\"}";
  }
};

struct Results {
  std::vector<Failure> failures;
  std::int64_t appliedThrough = -1;  // -1: no attribute
};

Results ReadResults(const engine::DSPacket& packet);

}  // namespace resolvertest
