// The window's data module as built from its definition: what ties each chain together, so
// that every cached dataset reaches Talvora through its own provider, and what the adjustment
// editor and the error handling rely on. Whether the chains really read and write the company
// tables is shown on real databases by the window's chain tests.
#include "datamodule/posting_data_module.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "db/dataset/data_source.h"
#include "db/dataset/fields.h"
#include "db/sql/sql_connection.h"
#include "db/sql/sql_dataset.h"

namespace {

TEST(PostingDataModuleTest, EveryCachedDatasetReachesTalvoraThroughAProviderCreatedBeforeIt) {
  TPostingDataModule module("PostingForm", FormatSettings::Default(), nullptr);
  TComponent& owner = module.Components();
  EXPECT_EQ(owner.Name(), "PostingForm");
  ASSERT_GT(owner.ComponentCount(), 0);
  EXPECT_EQ(owner.Components(0), &module.Talvora());

  std::set<std::string> seen;
  int cached_datasets = 0;
  for (int i = 0; i < owner.ComponentCount(); ++i) {
    TComponent& c = *owner.Components(i);
    SCOPED_TRACE(c.Name());
    EXPECT_TRUE(seen.insert(c.Name()).second) << "two components share a name";
    EXPECT_EQ(c.ComponentCount(), 0) << "the wiring walk would pass over its owner";
    auto* cached = dynamic_cast<TClientDataSet*>(&c);
    if (!cached) continue;
    ++cached_datasets;
    EXPECT_FALSE(cached->Active());
    auto* provider = dynamic_cast<TDataSetProvider*>(owner.FindComponent(cached->ProviderName));
    ASSERT_NE(provider, nullptr);
    EXPECT_TRUE(seen.count(provider->Name()));
    auto* sql = dynamic_cast<TCustomSQLDataSet*>(provider->DataSet());
    ASSERT_NE(sql, nullptr);
    EXPECT_EQ(sql->SQLConnection(), &module.Talvora());
    EXPECT_TRUE(seen.count(sql->Name()));
    // A command text reaches the SQL dataset only through a provider that accepts one.
    const bool sends_text = cached == &module.CRepArticulos() || !cached->CommandText().empty();
    if (sends_text) {
      EXPECT_NE(provider->Options() & poAllowCommandText, 0u);
    }
  }
  EXPECT_EQ(cached_datasets, 4);
}

TEST(PostingDataModuleTest, AdjustmentRowsHaveTheFieldsTheEditorShows) {
  TPostingDataModule module("PostingForm", FormatSettings::Default(), nullptr);
  TClientDataSet& rows = module.CAjuste();
  EXPECT_EQ(module.TAjuste().TableName(), "AJUSTE_CIERRE");
  EXPECT_EQ(module.CTarifas().CommandText(), "SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA");
  ASSERT_EQ(rows.FieldCount(), 5);
  EXPECT_FALSE(rows.DefaultFields());
  std::string labels;
  for (int i = 0; i < rows.FieldCount(); ++i) labels += rows.Fields(i).DisplayLabel() + "|";
  EXPECT_EQ(labels, "AJCI_ID|F.Desde|F.Hasta|Porc|Factor|");
  // Only the key is required: posting a row without it is what the error handling translates.
  for (int i = 0; i < rows.FieldCount(); ++i) {
    EXPECT_EQ(rows.Fields(i).Required(), i == 0) << rows.Fields(i).FieldName();
  }
  for (const char* name : {"AJCI_PORC", "AJCI_FACTOR"}) {
    auto* decimal = dynamic_cast<TFMTBCDField*>(&rows.FieldByName(name));
    ASSERT_NE(decimal, nullptr) << name;
    EXPECT_EQ(decimal->Precision(), 15);
    EXPECT_EQ(decimal->Size(), 4);
  }
  EXPECT_NE(dynamic_cast<TDateField*>(&rows.FieldByName("AJCI_FECINI")), nullptr);
  // The editor reaches the rows through the data source alone.
  EXPECT_EQ(module.DAjuste().DataSet(), &rows);
  EXPECT_EQ(module.Components().FindComponent("DAjuste"), &module.DAjuste());
}

TEST(PostingDataModuleTest, TheConnectionShowsTheWaitCursorWhileItLoadsAndFails) {
  std::string busy;
  TPostingDataModule module("PostingForm", FormatSettings::Default(),
                            [&busy](bool on) { busy += on ? "+" : "-"; });
  module.Talvora().LibraryName = "no-such-driver.so";
  EXPECT_ANY_THROW(module.Talvora().Open());
  EXPECT_EQ(busy, "+-");
}

}  // namespace
