// The adjustment factors in the real window on embedded company databases, driven with F5, F2
// and Esc as a user would: the rows an opening prepares, what a save writes, and what is left
// when something fails.
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
#include "tests/support/test_database.h"

namespace {

const QDate kStart(2026, 10, 1);
const QDate kEnd(2026, 10, 31);

class AdjustmentEditorTest : public PostingFormTest {
 protected:
  AdjustmentEditorTest() { program_commands_ = true; }

  // The window connected, its period set (with a time of day that must never reach the rows).
  RecordingPostingForm& Connected() {
    RecordingPostingForm& form = OpenConnected(database_.Folder());
    form.EFecIni()->setDate(kStart);
    form.EFecFin()->setDate(kEnd);
    return form;
  }

  // The visible rows of CAjuste in their order: "id fecini fecfin porc factor".
  static std::vector<std::string> Rows(TClientDataSet& rows) {
    std::vector<std::string> out;
    for (rows.First(); !rows.Eof(); rows.Next()) out.push_back(Row(rows));
    return out;
  }
  static std::string Row(TClientDataSet& rows) {
    std::string row;
    for (int i = 0; i < rows.FieldCount(); ++i) row += (i ? " " : "") + rows.Fields(i).AsString();
    return row;
  }

  // The table's rows, sorted, as "id fecini fecfin porc factor" (the database's own texts).
  std::vector<std::string> Table() {
    std::vector<std::string> rows = database_.Query(
        "SELECT AJCI_ID || ' ' || COALESCE(AJCI_FECINI, '-') || ' ' || COALESCE(AJCI_FECFIN, '-') "
        "|| ' ' || COALESCE(AJCI_PORC, '-') || ' ' || COALESCE(AJCI_FACTOR, '-') FROM AJUSTE_CIERRE");
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  TestDatabase database_;
};

TEST_F(AdjustmentEditorTest, OpeningPreparesOneRowPerRateForTheStartDate) {
  database_.Execute(
      "INSERT INTO AJUSTE_CIERRE VALUES (7, '2026-10-01', '2026-10-31', 19, 0.5);"
      "INSERT INTO AJUSTE_CIERRE VALUES (8, '2026-10-01', NULL, 12, 0.6);"
      // Other start dates, one of them ending inside the period: never touched.
      "INSERT INTO AJUSTE_CIERRE VALUES (9, '2026-09-15', '2026-10-15', 19, 0.7);"
      "INSERT INTO AJUSTE_CIERRE VALUES (10, '2026-10-02', '2026-10-31', 5, 0.9);");
  // The rates in the order the rate query returns them, as the fields show them ("19").
  std::vector<std::string> rates = database_.Query("SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA");
  ASSERT_EQ(rates.size(), 3u);
  for (std::string& rate : rates) rate = rate.substr(0, rate.find('.'));
  RecordingPostingForm& form = Connected();
  PressKey(Qt::Key_F5);

  EXPECT_TRUE(ui_.Texts("failure").empty());
  EXPECT_TRUE(form.AdjustmentPanelVisible());
  TClientDataSet& rows = form.Data().CAjuste();
  // Current: the row of the first rate returned, which stands last.
  EXPECT_EQ(rows.FieldByName("AJCI_PORC").AsString(), rates[0]);
  EXPECT_TRUE(rows.Eof());
  // The rows stand in the reverse of the order the rates came in.
  std::vector<std::string> expected;
  for (auto rate = rates.rbegin(); rate != rates.rend(); ++rate)
    expected.push_back("0 01/10/2026 31/10/2026 " + *rate + " 0.8");
  EXPECT_EQ(Rows(rows), expected);
  for (rows.First(); !rows.Eof(); rows.Next()) {
    const TDateTime start = rows.FieldByName("AJCI_FECINI").AsDateTime();
    EXPECT_EQ(start, DateOf(start));
  }
  // Two deletions and three insertions logged; the other dates stay in memory, unchanged.
  EXPECT_EQ(rows.ChangeCount(), 5);
  EXPECT_EQ(rows.RowsInMemory(), 4 - 2 + 3);  // fetched, less the deleted, plus the new
  EXPECT_FALSE(form.Data().CTarifas().Active());

  PressKey(Qt::Key_Escape);  // leaves without saving
  EXPECT_FALSE(form.isVisible());
  form_.reset();
  EXPECT_EQ(Table(), (std::vector<std::string>{
                         "10 2026-10-02 2026-10-31 5.0000 0.9000",
                         "7 2026-10-01 2026-10-31 19.0000 0.5000",
                         "8 2026-10-01 - 12.0000 0.6000",
                         "9 2026-09-15 2026-10-15 19.0000 0.7000",
                     }));
}

struct RateCase {
  const char* what;
  const char* rates;  // statements that fill TARIFA_IVA
  std::vector<std::string> porc;  // AJCI_PORC of the prepared rows, sorted
};

TEST_F(AdjustmentEditorTest, RatesAreReadToFourDecimalsAndGiveOneRowEach) {
  database_.Execute(
      "DELETE FROM TARIFA_IVA;"
      "ALTER TABLE TARIFA_IVA ALTER TAIV_PORC DROP NOT NULL;"
      "ALTER TABLE TARIFA_IVA ALTER TAIV_PORC TYPE NUMERIC(18,6);");
  const RateCase cases[] = {
      {"no rates", "", {}},
      {"a null rate and 0 give one row",
       "INSERT INTO TARIFA_IVA VALUES (1, 'Nula', NULL);"
       "INSERT INTO TARIFA_IVA VALUES (2, 'Cero', 0);",
       {"0"}},
      {"more than four decimals, to nearest",
       "INSERT INTO TARIFA_IVA VALUES (1, 'Arriba', 12.345651);"
       "INSERT INTO TARIFA_IVA VALUES (2, 'Abajo', 7.000049);",
       {"12.3457", "7"}},
      {"rates equal at four decimals give one row",
       "INSERT INTO TARIFA_IVA VALUES (1, 'Una', 16.00001);"
       "INSERT INTO TARIFA_IVA VALUES (2, 'Otra', 16.00002);",
       {"16"}},
  };
  for (const RateCase& c : cases) {
    SCOPED_TRACE(c.what);
    database_.Execute(std::string("DELETE FROM TARIFA_IVA;") + c.rates);
    RecordingPostingForm& form = Connected();
    PressKey(Qt::Key_F5);
    EXPECT_TRUE(form.AdjustmentPanelVisible());
    TClientDataSet& rows = form.Data().CAjuste();
    std::vector<std::string> porc;
    for (rows.First(); !rows.Eof(); rows.Next()) {
      porc.push_back(rows.FieldByName("AJCI_PORC").AsString());
      EXPECT_EQ(rows.FieldByName("AJCI_FACTOR").AsString(), "0.8");
    }
    std::sort(porc.begin(), porc.end());
    EXPECT_EQ(porc, c.porc);
    EXPECT_EQ(rows.IsEmpty(), c.porc.empty());
    form_.reset();
  }
}

// The rate list cannot be read: the failure is shown, the editor stays hidden, and F5 opens it
// once the table is there.
TEST_F(AdjustmentEditorTest, AFailedOpeningLeavesTheEditorHiddenUntilF5Again) {
  database_.Execute("ALTER TABLE TARIFA_IVA ADD TMP INTEGER; DROP TABLE TARIFA_IVA;");
  RecordingPostingForm& form = Connected();
  PressKey(Qt::Key_F5);
  const std::vector<std::string> failures = ui_.Texts("failure");
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("TARIFA_IVA"), std::string::npos) << failures[0];
  EXPECT_FALSE(form.AdjustmentPanelVisible());
  EXPECT_FALSE(form.Data().CTarifas().Active());

  form.Talvora().Close();  // the embedded database is free for the fix
  database_.Execute(
      "CREATE TABLE TARIFA_IVA (TAIV_ID INTEGER NOT NULL, TAIV_NOMBRE VARCHAR(40),"
      " TAIV_PORC NUMERIC(15,4));"
      "COMMIT;"
      "INSERT INTO TARIFA_IVA VALUES (1, 'General', 19);");
  ui_.calls.clear();
  PressKey(Qt::Key_F5);
  EXPECT_TRUE(ui_.Texts("failure").empty());
  EXPECT_TRUE(form.AdjustmentPanelVisible());
  EXPECT_EQ(Rows(form.Data().CAjuste()),
            std::vector<std::string>{"0 01/10/2026 31/10/2026 19 0.8"});
}

}  // namespace
