// The window's data chains on a real company database: once the window has connected Talvora,
// each cached dataset reads through its own provider and SQL dataset, in the window's regional
// settings; a failed post reaches the window's error handler; the window goes without saving
// what its cached datasets hold.
#include <QLineEdit>
#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "data/client/client_dataset.h"
#include "datamodule/posting_data_module.h"
#include "db/dataset/field.h"
#include "db/sql/sql_connection.h"
#include "errors/default_error_display.h"
#include "posting_form_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/test_database.h"

namespace {

class PostingFormChainsTest : public PostingFormTest {
 protected:
  PostingFormChainsTest() {
    database_.Execute(
        "INSERT INTO AJUSTE_CIERRE VALUES (1, '2026-10-01', '2026-10-31', 19, 0.8);"
        "INSERT INTO AJUSTE_CIERRE VALUES (2, '2026-10-01', '2026-10-31', 5, 0.9);"
        "INSERT INTO AJUSTE_CIERRE VALUES (3, '2026-11-01', '2026-11-30', 19, 1);");
  }

  // The window under dashed dates and comma decimals, connected to company 01 by leaving `Cia`.
  RecordingPostingForm& OpenConnected() {
    Install("[General]\nDirectorio=" + install_dir_.string() + "\n", database_.Folder() + "\r\n");
    FormatSettings settings;
    settings.ShortDateFormat = "dd-MM-yyyy";
    settings.DateSeparator = '-';
    settings.DecimalSeparator = ',';
    RecordingPostingForm& form = Open(settings);
    form.Cia()->setText("01");
    form.Tusua()->setText(test_server::kUser);
    form.TClave()->setText(test_server::kPassword);
    form.Cia()->setFocus(Qt::OtherFocusReason);
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(form.Talvora().Connected());
    return form;
  }

  // Every visible row of `ds` from the first, its fields' texts joined by blanks, sorted.
  static std::vector<std::string> Rows(TClientDataSet& ds) {
    std::vector<std::string> rows;
    for (ds.First(); !ds.Eof(); ds.Next()) {
      std::string row;
      for (int i = 0; i < ds.FieldCount(); ++i) row += (i ? " " : "") + ds.Fields(i).AsString();
      rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  TestDatabase database_;
};

TEST_F(PostingFormChainsTest, RatesAndAdjustmentRowsComeThroughTheWindowsChains) {
  RecordingPostingForm& form = OpenConnected();

  TClientDataSet& rates = form.Data().CTarifas();
  rates.Open();
  EXPECT_EQ(Rows(rates), (std::vector<std::string>{"0", "19", "5"}));
  EXPECT_EQ(rates.Fields(0).FieldName(), "TAIV_PORC");
  rates.Close();
  EXPECT_EQ(rates.FieldCount(), 0);

  // The filter reads its date, and the fields write theirs, with the window's settings.
  TClientDataSet& adjustments = form.Data().CAjuste();
  adjustments.SetFilter("AJCI_FECINI = '01-10-2026'");
  adjustments.SetFiltered(true);
  adjustments.Open();
  EXPECT_EQ(Rows(adjustments), (std::vector<std::string>{"1 01-10-2026 31-10-2026 19 0,8",
                                                         "2 01-10-2026 31-10-2026 5 0,9"}));
  EXPECT_EQ(adjustments.RowsInMemory(), 3);
  EXPECT_EQ(&adjustments.FieldByName("AJCI_FACTOR"),
            form.Components().FindComponent("CAjusteAJCI_FACTOR"));
}

TEST_F(PostingFormChainsTest, ANewAdjustmentWithoutItsIdIsLoggedWarnedAndShownOnce) {
  RecordingPostingForm& form = OpenConnected();
  TClientDataSet& adjustments = form.Data().CAjuste();
  adjustments.Open();
  adjustments.Insert();
  adjustments.FieldByName("AJCI_FECINI").SetAsString("01-10-2026");
  adjustments.FieldByName("AJCI_PORC").SetAsString("16");
  ui_.calls.clear();

  // As the window's commands run it: the silent abort after the handler shows nothing more.
  EXPECT_FALSE(RunHandler(ui_, [&] { adjustments.Post(); }));

  EXPECT_EQ(ui_.calls,
            (std::vector<UiCall>{
                {"beep", ""}, {"beep", ""}, {"error", "Los campos AJCI_ID,  son obligatorios."}}));
  EXPECT_EQ(form.BannerCaption(), "CAjuste: Field 'AJCI_ID' must have a value");
  EXPECT_FALSE(form.BannerVisible());
  const std::string log = FileBytes(install_dir_ / "ERRORES.TXT");
  // Today's date and the time by the window's settings, and the user typed into it.
  EXPECT_TRUE(std::regex_match(log, std::regex(R"(\d\d-\d\d-\d{4},\d\d:\d\d:\d\d,SYSDBA,)"
                                               "Field 'AJCI_ID' must have a value\r\n")))
      << log;
  EXPECT_EQ(adjustments.State(), TDataSetState::dsInsert);
  EXPECT_TRUE(adjustments.FieldByName("AJCI_ID").IsNull());
  EXPECT_EQ(adjustments.FieldByName("AJCI_FECINI").AsString(), "01-10-2026");
  EXPECT_EQ(adjustments.FieldByName("AJCI_PORC").AsString(), "16");
  EXPECT_EQ(adjustments.ChangeCount(), 0);
}

TEST_F(PostingFormChainsTest, TheWindowGoesWithoutSavingItsCachedDatasets) {
  RecordingPostingForm& form = OpenConnected();
  TClientDataSet& posting = form.Data().CRepArticulos();
  posting.SetCommandText("SELECT TAIV_ID FROM TARIFA_IVA");
  posting.Open();
  EXPECT_FALSE(posting.IsEmpty());

  TClientDataSet& adjustments = form.Data().CAjuste();
  adjustments.Open();
  adjustments.Delete();
  adjustments.Delete();
  EXPECT_EQ(adjustments.ChangeCount(), 2);

  PressKey(Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(posting.Active());

  form_.reset();  // CAjuste still open, its deletions never sent
  EXPECT_EQ(database_.Query("SELECT COUNT(*) FROM AJUSTE_CIERRE"), (std::vector<std::string>{"3"}));
}

}  // namespace
