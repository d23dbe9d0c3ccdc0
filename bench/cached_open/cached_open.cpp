#include "bench/cached_open/cached_open.h"

#include <memory>
#include <stdexcept>

#include "base/format_settings.h"
#include "bench/cached_open/bench_database.h"
#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "data/provider/driver_query_source.h"
#include "db/driver/dynamic_library.h"

std::int64_t OpenCAjusteOnce(const std::string& path, int dayIndex) {
  auto library = DynamicLibrary::Load(kDriverLibraryAlias);
  if (!library) throw std::runtime_error("driver library not found");
  auto entry = reinterpret_cast<SQLDriverEntry>(library->Symbol("getSQLDriverINTERBASE"));
  ISQLDriver* raw = nullptr;
  if (entry == nullptr || entry(std::string(kClientLibraryAlias).c_str(), "", &raw) != 0) {
    throw std::runtime_error("driver entry failed");
  }
  std::unique_ptr<ISQLDriver> driver(raw);
  std::unique_ptr<ISQLConnection> connection;
  driver->getSQLConnection(connection);
  connection->setOption(ConnectionOption::SqlDialect, 3);
  if (connection->connect(path, "SYSDBA", "masterkey") != 0) {
    throw std::runtime_error("connect failed");
  }
  std::int64_t visible = 0;
  {
    TComponent window;
    TDataSetProvider pAjuste(&window);
    pAjuste.SetName("PAjuste");
    pAjuste.SetSource(
        std::make_unique<DriverQuerySource>(*connection, " select * from AJUSTE_CIERRE"));
    TClientDataSet cAjuste(&window);
    cAjuste.SetName("CAjuste");
    cAjuste.ProviderName = "PAjuste";
    cAjuste.PacketRecords = 1000;
    using engine::DSType;
    cAjuste.AddField({"AJCI_ID", DSType::kInteger, 0, true, false, ""});
    cAjuste.AddField({"AJCI_FECINI", DSType::kDate, 0, false, false, "F.Desde"});
    cAjuste.AddField({"AJCI_FECFIN", DSType::kDate, 0, false, false, "F.Hasta"});
    cAjuste.AddField({"AJCI_PORC", DSType::kBcd, 0, false, false, "Porc"});
    cAjuste.AddField({"AJCI_FACTOR", DSType::kBcd, 0, false, false, "Factor"});
    FormatSettings fs;
    const TDateTime day = EncodeDate(kBenchYear, kBenchMonth, kBenchDay) + dayIndex;
    cAjuste.Settings = fs;
    cAjuste.SetFilter("AJCI_FECINI = '" + DateToStr(day, fs) + "'");
    cAjuste.SetFiltered(true);
    cAjuste.Open();
    for (cAjuste.First(); !cAjuste.Eof(); cAjuste.Next()) ++visible;
    cAjuste.Close();
  }
  connection->disconnect();
  return visible;
}
