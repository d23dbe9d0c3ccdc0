#include "bench/cached_open/cached_open.h"

#include "base/format_settings.h"
#include "bench/cached_open/bench_database.h"
#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "db/dataset/fields.h"
#include "db/sql/sql_connection.h"
#include "db/sql/sql_dataset.h"

std::int64_t OpenCAjusteOnce(const std::string& path, int dayIndex) {
  std::int64_t visible = 0;
  TComponent window;
  TSQLConnection talvora(&window);
  talvora.SetName("Talvora");
  talvora.DriverName = "Interbase";
  talvora.LibraryName = "dbexpint.dll";
  talvora.GetDriverFunc = "getSQLDriverINTERBASE";
  talvora.VendorLib = "GDS32.DLL";
  for (const char* line :
       {"DriverName=Interbase", "BlobSize=-1", "CommitRetain=False", "LocaleCode=0000",
        "SQLDialect=3", "Interbase TransIsolation=ReadCommited", "WaitOnLocks=True"})
    talvora.Params().Add(line);
  talvora.Params().SetValue("Database", path);
  talvora.Params().SetValue("User_Name", "SYSDBA");
  talvora.Params().SetValue("Password", "masterkey");
  {
    TSQLTable tAjuste(&window);
    tAjuste.SetName("TAjuste");
    tAjuste.SetSQLConnection(&talvora);
    tAjuste.SetTableName("AJUSTE_CIERRE");
    TDataSetProvider pAjuste(&window);
    pAjuste.SetName("PAjuste");
    pAjuste.SetDataSet(&tAjuste);
    TClientDataSet cAjuste(&window);
    cAjuste.SetName("CAjuste");
    cAjuste.ProviderName = "PAjuste";
    cAjuste.PacketRecords = 1000;
    cAjuste.AddField<TIntegerField>("AJCI_ID").SetRequired(true);
    cAjuste.AddField<TDateField>("AJCI_FECINI").SetDisplayLabel("F.Desde");
    cAjuste.AddField<TDateField>("AJCI_FECFIN").SetDisplayLabel("F.Hasta");
    cAjuste.AddField<TFMTBCDField>("AJCI_PORC").SetDisplayLabel("Porc");
    cAjuste.AddField<TFMTBCDField>("AJCI_FACTOR").SetDisplayLabel("Factor");
    FormatSettings fs;
    const TDateTime day = EncodeDate(kBenchYear, kBenchMonth, kBenchDay) + dayIndex;
    cAjuste.Settings = fs;
    cAjuste.SetFilter("AJCI_FECINI = '" + DateToStr(day, fs) + "'");
    cAjuste.SetFiltered(true);
    cAjuste.Open();
    for (cAjuste.First(); !cAjuste.Eof(); cAjuste.Next()) ++visible;
    cAjuste.Close();
  }
  talvora.Close();
  return visible;
}
