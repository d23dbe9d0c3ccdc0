#include "datamodule/posting_data_definition.h"

namespace {

// No password is stored: every connect supplies the typed one, and a dataset opened before
// any connect fails at login rather than entering with a built-in password.
constexpr const char* kTalvoraParams[] = {
    "DriverName=Interbase",
    "BlobSize=-1",
    "CommitRetain=False",
    "Database=C:\\TALvora\\sop\\talvora.fdb",
    "ErrorResourceFile=",
    "LocaleCode=0000",
    "Password=",
    "RoleName=RoleName",
    "ServerCharSet=",
    "SQLDialect=3",
    "Interbase TransIsolation=ReadCommited",
    "User_Name=sysdba",
    "WaitOnLocks=True",
};

constexpr ConnectionDefinition kTalvora{
    "Talvora",
    "Interbase",
    "dbexpint.dll",
    "getSQLDriverINTERBASE",
    "GDS32.DLL",
    /*login_prompt=*/false,
    /*keep_connection=*/true,
    kTalvoraParams,
};

using DK = DataComponentKind;
using FC = FieldClass;

// The columns of AJUSTE_CIERRE as the adjustment editor expects them.
// clang-format off
constexpr FieldDefinition kCAjusteFields[] = {
//   field name     class         label      required precision size
    {"AJCI_ID",     FC::kInteger, "",        true,   0,  0},
    {"AJCI_FECINI", FC::kDate,    "F.Desde", false,  0,  0},
    {"AJCI_FECFIN", FC::kDate,    "F.Hasta", false,  0,  0},
    {"AJCI_PORC",   FC::kFMTBCD,  "Porc",    false, 15,  4},
    {"AJCI_FACTOR", FC::kFMTBCD,  "Factor",  false, 15,  4},
};

// PBorrar and Cborrar are never opened, but the wiring walk meets them like the others.
constexpr DataComponentDefinition kDataComponents[] = {
//   name             kind                source           text                                         options             metadata fields
    {"SQLQuery1",     DK::kSQLQuery,      "Talvora",       "",                                          0,                  false,   {}},
    {"PRepArticulos", DK::kProvider,      "SQLQuery1",     "",                                          poAllowCommandText, false,   {}},
    {"CRepArticulos", DK::kClientDataSet, "PRepArticulos", "",                                          0,                  false,   {}},
    {"PBorrar",       DK::kProvider,      "SQLQuery1",     "",                                          poAllowCommandText, false,   {}},
    {"Cborrar",       DK::kClientDataSet, "PBorrar",       "",                                          0,                  false,   {}},
    {"TAjuste",       DK::kSQLTable,      "Talvora",       "AJUSTE_CIERRE",                             0,                  false,   {}},
    {"PAjuste",       DK::kProvider,      "TAjuste",       "",                                          0,                  false,   {}},
    {"CAjuste",       DK::kClientDataSet, "PAjuste",       "",                                          0,                  false,   kCAjusteFields},
    {"DAjuste",       DK::kDataSource,    "CAjuste",       "",                                          0,                  false,   {}},
    {"QTarifas",      DK::kSQLQuery,      "Talvora",       "",                                          0,                  false,   {}},
    {"Ptarifiva",     DK::kProvider,      "QTarifas",      "",                                          poAllowCommandText, false,   {}},
    {"CTarifas",      DK::kClientDataSet, "Ptarifiva",     "SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA", 0,                  false,   {}},
};
// clang-format on

}  // namespace

std::span<const DataComponentDefinition> PostingFormDataComponents() {
  return kDataComponents;
}

const ConnectionDefinition& TalvoraDefinition() {
  return kTalvora;
}
