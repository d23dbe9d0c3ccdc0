// The window's non-visual components as the window builds them: their order in its component
// list (the order the wiring walk visits), their classes, and the settings that tie each chain
// together.
#include <cstdint>
#include <utility>

#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "db/dataset/fields.h"
#include "db/sql/sql_connection.h"
#include "db/sql/sql_dataset.h"
#include "posting_form_fixture.h"

namespace {

std::string ClassOf(const TComponent* c) {
  if (dynamic_cast<const TSQLConnection*>(c)) return "TSQLConnection";
  if (dynamic_cast<const TSQLQuery*>(c)) return "TSQLQuery";
  if (dynamic_cast<const TSQLTable*>(c)) return "TSQLTable";
  if (dynamic_cast<const TDataSetProvider*>(c)) return "TDataSetProvider";
  if (dynamic_cast<const TClientDataSet*>(c)) return "TClientDataSet";
  if (dynamic_cast<const TIntegerField*>(c)) return "TIntegerField";
  if (dynamic_cast<const TDateField*>(c)) return "TDateField";
  if (dynamic_cast<const TFMTBCDField*>(c)) return "TFMTBCDField";
  return "?";
}

struct ComponentRow {
  const char* name;
  const char* class_name;
  // SQL dataset: its connection; provider: its dataset; cached dataset: ProviderName; field:
  // FieldName.
  const char* refers_to;
  // Query: SQL; table: TableName; cached dataset: CommandText; field: DisplayLabel.
  const char* text;
  TProviderOptions options;
  bool required;
  int precision, size;
};

// clang-format off
const ComponentRow kComponents[] = {
    {"Talvora",            "TSQLConnection",   "",              "",                                          0,                  false,  0, 0},
    {"SQLQuery1",          "TSQLQuery",        "Talvora",       "",                                          0,                  false,  0, 0},
    {"PRepArticulos",      "TDataSetProvider", "SQLQuery1",     "",                                          poAllowCommandText, false,  0, 0},
    {"CRepArticulos",      "TClientDataSet",   "PRepArticulos", "",                                          0,                  false,  0, 0},
    {"PBorrar",            "TDataSetProvider", "SQLQuery1",     "",                                          poAllowCommandText, false,  0, 0},
    {"Cborrar",            "TClientDataSet",   "PBorrar",       "",                                          0,                  false,  0, 0},
    {"TAjuste",            "TSQLTable",        "Talvora",       "AJUSTE_CIERRE",                             0,                  false,  0, 0},
    {"PAjuste",            "TDataSetProvider", "TAjuste",       "",                                          0,                  false,  0, 0},
    {"CAjuste",            "TClientDataSet",   "PAjuste",       "",                                          0,                  false,  0, 0},
    {"CAjusteAJCI_ID",     "TIntegerField",    "AJCI_ID",       "AJCI_ID",                                   0,                  true,   0, 0},
    {"CAjusteAJCI_FECINI", "TDateField",       "AJCI_FECINI",   "F.Desde",                                   0,                  false,  0, 0},
    {"CAjusteAJCI_FECFIN", "TDateField",       "AJCI_FECFIN",   "F.Hasta",                                   0,                  false,  0, 0},
    {"CAjusteAJCI_PORC",   "TFMTBCDField",     "AJCI_PORC",     "Porc",                                      0,                  false, 15, 4},
    {"CAjusteAJCI_FACTOR", "TFMTBCDField",     "AJCI_FACTOR",   "Factor",                                    0,                  false, 15, 4},
    {"QTarifas",           "TSQLQuery",        "Talvora",       "",                                          0,                  false,  0, 0},
    {"Ptarifiva",          "TDataSetProvider", "QTarifas",      "",                                          poAllowCommandText, false,  0, 0},
    {"CTarifas",           "TClientDataSet",   "Ptarifiva",     "SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA", 0,                  false,  0, 0},
};
// clang-format on

// Checks what `row` says of `c`, beyond name and class. `cached` is the last cached dataset met,
// `field_index` the count of fields met since.
void ExpectSettings(const ComponentRow& row, TComponent& c, TClientDataSet*& cached,
                    int& field_index) {
  if (auto* sql = dynamic_cast<TCustomSQLDataSet*>(&c)) {
    ASSERT_NE(sql->SQLConnection(), nullptr);
    EXPECT_EQ(sql->SQLConnection()->Name(), row.refers_to);
    EXPECT_FALSE(sql->Active());
    if (auto* query = dynamic_cast<TSQLQuery*>(sql)) {
      EXPECT_EQ(query->SQL(), row.text);
    }
    if (auto* table = dynamic_cast<TSQLTable*>(sql)) {
      EXPECT_EQ(table->TableName(), row.text);
      EXPECT_FALSE(table->GetMetadata);
    }
  } else if (auto* provider = dynamic_cast<TDataSetProvider*>(&c)) {
    ASSERT_NE(provider->DataSet(), nullptr);
    EXPECT_EQ(provider->DataSet()->Name(), row.refers_to);
    EXPECT_EQ(provider->Options(), row.options);
    EXPECT_EQ(provider->UpdateMode(), TUpdateMode::upWhereAll);
    EXPECT_FALSE(provider->ResolveToDataSet());
    EXPECT_EQ(provider->ComponentCount(), 0);
  } else if (auto* cds = dynamic_cast<TClientDataSet*>(&c)) {
    EXPECT_EQ(cds->ProviderName, row.refers_to);
    EXPECT_EQ(cds->CommandText(), row.text);
    EXPECT_EQ(cds->Params().Count(), 0);
    EXPECT_FALSE(cds->Active());
    EXPECT_EQ(cds->ComponentCount(), 0);
    cached = cds;
    field_index = 0;
  } else if (auto* field = dynamic_cast<TField*>(&c)) {
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(field->DataSet(), cached);
    ASSERT_LT(field_index, cached->FieldCount());
    EXPECT_EQ(&cached->Fields(field_index++), field);
    EXPECT_EQ(field->FieldName(), row.refers_to);
    EXPECT_EQ(field->DisplayLabel(), row.text);
    EXPECT_EQ(field->Required(), row.required);
    if (row.precision > 0) {
      EXPECT_EQ(field->Precision(), row.precision);
      EXPECT_EQ(field->Size(), row.size);
    }
  }
}

TEST_F(PostingFormTest, DataComponentsFollowTheConnectionInDefinitionOrder) {
  InstallDefault();
  RecordingPostingForm& form = Open();
  TComponent& window = form.Components();
  ASSERT_EQ(window.ComponentCount(), static_cast<int>(std::size(kComponents)));
  TClientDataSet* cached = nullptr;
  int field_index = 0;
  for (int i = 0; i < window.ComponentCount(); ++i) {
    const ComponentRow& row = kComponents[i];
    SCOPED_TRACE(row.name);
    TComponent& c = *window.Components(i);
    EXPECT_EQ(c.Name(), row.name);
    EXPECT_EQ(ClassOf(&c), row.class_name);
    EXPECT_EQ(c.Owner(), &window);
    ExpectSettings(row, c, cached, field_index);
  }
  EXPECT_EQ(form.CAjuste().FieldCount(), 5);
  EXPECT_FALSE(form.CAjuste().DefaultFields());
  for (TClientDataSet* none : {&form.CRepArticulos(), &form.Cborrar(), &form.CTarifas()}) {
    EXPECT_EQ(none->FieldCount(), 0) << none->Name();
  }

  const std::pair<const char*, const TComponent*> accessors[] = {
      {"SQLQuery1", &form.SQLQuery1()},
      {"PRepArticulos", &form.PRepArticulos()},
      {"CRepArticulos", &form.CRepArticulos()},
      {"PBorrar", &form.PBorrar()},
      {"Cborrar", &form.Cborrar()},
      {"TAjuste", &form.TAjuste()},
      {"PAjuste", &form.PAjuste()},
      {"CAjuste", &form.CAjuste()},
      {"QTarifas", &form.QTarifas()},
      {"Ptarifiva", &form.Ptarifiva()},
      {"CTarifas", &form.CTarifas()},
  };
  for (const auto& [name, component] : accessors) {
    EXPECT_EQ(component, window.FindComponent(name)) << name;
  }
}

}  // namespace
