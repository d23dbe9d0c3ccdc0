// Saving the adjustment rows in the real window on embedded company databases, with F5 and F2
// as a user would: what the table holds afterwards, the factors a posting then uses, and what a
// save that cannot write every row leaves for the user.
#include <QDateEdit>
#include <QLineEdit>
#include <algorithm>
#include <string>
#include <vector>

#include "data/client/client_dataset.h"
#include "datamodule/posting_data_module.h"
#include "db/dataset/field.h"
#include "db/sql/sql_connection.h"
#include "posting_form_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/test_database.h"

namespace {

class AdjustmentSaveTest : public PostingFormTest {
 protected:
  AdjustmentSaveTest() : database_(TestDatabase::Contents::kDemo) { program_commands_ = true; }

  // Connected, the period October 2026, prefix CAJ1.
  RecordingPostingForm& Connected() {
    RecordingPostingForm& form = OpenConnected(database_.Folder());
    form.EFecIni()->setDate(QDate(2026, 10, 1));
    form.EFecFin()->setDate(QDate(2026, 10, 31));
    form.Pref()->setText("CAJ1");
    return form;
  }

  // The table's rows of a start date, sorted: "id fecfin porc factor".
  std::vector<std::string> RowsOf(const char* start) {
    std::vector<std::string> rows = database_.Query(
        std::string("SELECT AJCI_ID || ' ' || COALESCE(AJCI_FECFIN, '-') || ' ' || AJCI_PORC || "
                    "' ' || AJCI_FACTOR FROM AJUSTE_CIERRE WHERE AJCI_FECINI = '") +
        start + "'");
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  // Sets the factor of the visible row of rate `porc`.
  static void SetFactor(TClientDataSet& rows, const char* porc, const char* factor) {
    for (rows.First(); !rows.Eof(); rows.Next()) {
      if (rows.FieldByName("AJCI_PORC").AsString() != porc) continue;
      rows.Edit();
      rows.FieldByName("AJCI_FACTOR").SetAsString(factor);
      rows.Post();
      return;
    }
    FAIL() << "no row of rate " << porc;
  }

  const std::vector<std::string> kPrepared = {"0 2026-10-31 0.0000 0.8000",
                                              "0 2026-10-31 19.0000 0.8000",
                                              "0 2026-10-31 5.0000 0.8000"};
  TestDatabase database_;
};

TEST_F(AdjustmentSaveTest, F5F5ReplacesTheRowsOfTheStartDateAndLeavesOtherDates) {
  database_.Execute("INSERT INTO AJUSTE_CIERRE VALUES (9, '2026-09-15', '2026-10-15', 19, 0.7);");
  RecordingPostingForm& form = Connected();
  PressKey(Qt::Key_F5);
  PressKey(Qt::Key_F5);
  EXPECT_TRUE(ui_.Texts("failure").empty());
  EXPECT_TRUE(ui_.Texts("error").empty());
  EXPECT_FALSE(form.AdjustmentPanelVisible());
  EXPECT_FALSE(form.Data().CAjuste().Active());

  // Twice more without an edit: the deletions and insertions are sent again, so the table
  // still holds each rate once.
  PressKey(Qt::Key_F5);
  EXPECT_EQ(form.Data().CAjuste().ChangeCount(), 6);
  PressKey(Qt::Key_F5);
  form_.reset();
  EXPECT_EQ(RowsOf("2026-10-01"), kPrepared);
  EXPECT_EQ(RowsOf("2026-09-15"), std::vector<std::string>{"9 2026-10-15 19.0000 0.7000"});
}

TEST_F(AdjustmentSaveTest, AnEmptyRateListOpensAnEmptyEditorWhoseSaveDeletesTheStartDate) {
  database_.Execute("DELETE FROM TARIFA_IVA;");
  RecordingPostingForm& form = Connected();
  PressKey(Qt::Key_F5);
  EXPECT_TRUE(form.AdjustmentPanelVisible());
  EXPECT_TRUE(form.Data().CAjuste().IsEmpty());
  PressKey(Qt::Key_F5);
  form_.reset();
  EXPECT_TRUE(RowsOf("2026-10-01").empty());
}

TEST_F(AdjustmentSaveTest, OpeningAgainAfterASaveRebuildsTheSameRows) {
  RecordingPostingForm& form = Connected();
  PressKey(Qt::Key_F5);
  SetFactor(form.Data().CAjuste(), "19", "0.5");
  PressKey(Qt::Key_F5);
  PressKey(Qt::Key_F5);  // every rate visited again, factors back to 0.8
  TClientDataSet& rows = form.Data().CAjuste();
  EXPECT_TRUE(form.AdjustmentPanelVisible());
  std::vector<std::string> factors;
  for (rows.First(); !rows.Eof(); rows.Next())
    factors.push_back(rows.FieldByName("AJCI_PORC").AsString() + "=" +
                      rows.FieldByName("AJCI_FACTOR").AsString());
  std::sort(factors.begin(), factors.end());
  EXPECT_EQ(factors, (std::vector<std::string>{"0=0.8", "19=0.8", "5=0.8"}));
}

// F2 with the editor open saves first, and the posting uses the factors just saved.
TEST_F(AdjustmentSaveTest, F2SavesAndThenPostsWithTheSavedFactors) {
  RecordingPostingForm& form = Connected();
  PressKey(Qt::Key_F5);
  SetFactor(form.Data().CAjuste(), "19", "0.5");
  PressKey(Qt::Key_F2);
  EXPECT_FALSE(form.isVisible());
  form_.reset();
  EXPECT_EQ(RowsOf("2026-10-01"), (std::vector<std::string>{"0 2026-10-31 0.0000 0.8000",
                                                            "0 2026-10-31 19.0000 0.5000",
                                                            "0 2026-10-31 5.0000 0.8000"}));
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(*) FROM ASIENTO WHERE ASIE_FACTOR <> "
                "DECODE(CAST(ASIE_PORC_IVA AS INTEGER), 19, 0.5, 0.8)"),
            "0");
  EXPECT_NE(database_.QueryOne("SELECT COUNT(*) FROM ASIENTO"), "0");
}

// A unique index on the rate and end date, which a row of another start date already holds for
// 0 %, makes a save fail on a row.
void AddOneRatePerEndDate(const TestDatabase& database) {
  database.Execute("INSERT INTO AJUSTE_CIERRE VALUES (9, '2026-09-01', '2026-10-31', 0, 0.7);");
  database.Execute("CREATE UNIQUE INDEX AJCI_UNA_TARIFA ON AJUSTE_CIERRE (AJCI_PORC, AJCI_FECFIN);");
}

// A save that fails on a row writes nothing and keeps the editor open with every row and change;
// once the index is gone, F5 saves them all.
TEST_F(AdjustmentSaveTest, AFailedF5SaveKeepsTheEditorAndItsChangesForAnotherF5) {
  AddOneRatePerEndDate(database_);
  RecordingPostingForm& form = Connected();
  PressKey(Qt::Key_F5);
  TClientDataSet& rows = form.Data().CAjuste();
  const std::int64_t changes = rows.ChangeCount();
  PressKey(Qt::Key_F5);
  ASSERT_EQ(ui_.Texts("error").size(), 1u);  // the handler's dialog for the failing row
  EXPECT_NE(ui_.Texts("error")[0].find("AJCI_UNA_TARIFA"), std::string::npos)
      << ui_.Texts("error")[0];
  EXPECT_TRUE(form.AdjustmentPanelVisible());
  EXPECT_TRUE(rows.Active());
  EXPECT_EQ(rows.ChangeCount(), changes);

  form.Talvora().Close();  // the embedded database is free for the fix
  database_.Execute("DROP INDEX AJCI_UNA_TARIFA;");
  EXPECT_EQ(RowsOf("2026-10-01").size(), 2u);  // nothing of the failed save was written
  PressKey(Qt::Key_F5);
  EXPECT_FALSE(form.AdjustmentPanelVisible());
  form_.reset();
  EXPECT_EQ(RowsOf("2026-10-01"), kPrepared);
}

// F2 whose save fails does not post, and shows the editor again with what was not saved.
TEST_F(AdjustmentSaveTest, F2WhoseSaveFailsDoesNotPost) {
  AddOneRatePerEndDate(database_);
  RecordingPostingForm& form = Connected();
  PressKey(Qt::Key_F5);
  PressKey(Qt::Key_F2);
  EXPECT_EQ(ui_.Texts("error").size(), 1u);
  EXPECT_TRUE(ui_.Texts("failure").empty());
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.AdjustmentPanelVisible());
  EXPECT_GT(form.Data().CAjuste().ChangeCount(), 0);
  form_.reset();
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(*) FROM ASIENTO"), "0");
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(*) FROM FACTURA WHERE FACT_CONTABILIZADA = 1"), "0");
}

// A key violation while PAjuste saves: the raw server text in the log, the translated sentence
// in the dialog, and no exception for the caller.
TEST_F(AdjustmentSaveTest, AKeyViolationIsLoggedRawAndShownTranslated) {
  database_.Execute("ALTER TABLE AJUSTE_CIERRE ADD CONSTRAINT PK_AJUSTE PRIMARY KEY (AJCI_ID);");
  RecordingPostingForm& form = Connected();
  form.Tusua()->setText("ana");
  PressKey(Qt::Key_F5);  // three new rows, each with AJCI_ID 0
  PressKey(Qt::Key_F5);
  EXPECT_EQ(ui_.Texts("error"), std::vector<std::string>{"Ya existe el registro en la tabla Ajuste"});
  EXPECT_TRUE(ui_.Texts("failure").empty());
  const std::string log = FileBytes(install_dir_ / "ERRORES.TXT");
  EXPECT_NE(log.find(",ana,SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint "
                     "\"PK_AJUSTE\" on table \"AJUSTE_CIERRE\""),
            std::string::npos)
      << log;
  EXPECT_TRUE(form.AdjustmentPanelVisible());
}

}  // namespace
