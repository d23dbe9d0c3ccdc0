// The posting run in the real window on embedded company databases, started with F2 as a user
// would: what reaches the database, what the user is told, and what a failure leaves behind.
#include <QDateEdit>
#include <QLineEdit>
#include <filesystem>

#include "data/client/client_dataset.h"
#include "datamodule/posting_data_module.h"
#include "db/sql/sql_connection.h"
#include "posting/posting_run.h"
#include "posting_form_fixture.h"
#include "tests/support/test_database.h"

namespace {

class PostingRunTest : public PostingFormTest {
 protected:
  PostingRunTest() : database_(TestDatabase::Contents::kDemo) { program_commands_ = true; }

  RecordingPostingForm& Connected(const FormatSettings& settings = FormatSettings::Default()) {
    return OpenConnected(database_.Folder(), settings);
  }

  void Period(RecordingPostingForm& form, QDate start, QDate end, const char* prefix) {
    form.EFecIni()->setDate(start);
    form.EFecFin()->setDate(end);
    form.Pref()->setText(prefix);
  }

  TestDatabase database_;
};

const QDate kOctober1(2026, 10, 1);
const QDate kOctober31(2026, 10, 31);

TEST_F(PostingRunTest, F2PostsTheCashSalesOfThePrefixAndPeriodAndClosesTheWindow) {
  RecordingPostingForm& form = Connected();
  Period(form, kOctober1, kOctober31, "CAJ1");
  PressKey(Qt::Key_F2);

  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.Data().CRepArticulos().Active());
  // Banner painted before the call and again once hidden; no box on success.
  EXPECT_EQ(ui_.calls, (std::vector<UiCall>{{"repaint", ""}, {"repaint", ""}}));
  EXPECT_EQ(form.BannerCaption(), kPostingBanner);
  form_.reset();  // the embedded database is the window's until it goes

  // Every October cash invoice of CAJ1, and nothing else, is posted.
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(*) FROM FACTURA WHERE FACT_CONTABILIZADA = 1 AND NOT ("
                "FACT_PREFIJO = 'CAJ1' AND FACT_FORMA_PAGO = 'CO' AND "
                "FACT_FECHA BETWEEN '2026-10-01' AND '2026-10-31')"),
            "0");
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(*) FROM FACTURA WHERE FACT_CONTABILIZADA = 0 AND "
                "FACT_PREFIJO = 'CAJ1' AND FACT_FORMA_PAGO = 'CO' AND "
                "FACT_FECHA BETWEEN '2026-10-01' AND '2026-10-31'"),
            "0");
  // One entry per day and rate, its sales those of the invoices, scaled by October's factors
  // (0.8 at 19 %, 0.9 at 5 %, none at 0 %).
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(*) FROM (SELECT DISTINCT F.FACT_FECHA, D.FADE_PORC_IVA FROM FACTURA F "
                "JOIN FACTURA_DETALLE D ON D.FADE_FACTURA = F.FACT_ID WHERE F.FACT_CONTABILIZADA = 1)"),
            database_.QueryOne("SELECT COUNT(*) FROM ASIENTO"));
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(*) FROM ASIENTO A WHERE A.ASIE_VENTAS <> (SELECT "
                "SUM(D.FADE_CANTIDAD * D.FADE_VALOR_UNITARIO) FROM FACTURA F JOIN FACTURA_DETALLE D "
                "ON D.FADE_FACTURA = F.FACT_ID WHERE F.FACT_LOTE = A.ASIE_LOTE AND "
                "F.FACT_FECHA = A.ASIE_FECHA AND D.FADE_PORC_IVA = A.ASIE_PORC_IVA)"),
            "0");
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(DISTINCT ASIE_PORC_IVA) FROM ASIENTO"), "3");
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(*) FROM ASIENTO WHERE ASIE_FACTOR <> "
                "DECODE(CAST(ASIE_PORC_IVA AS INTEGER), 19, 0.8, 5, 0.9, 1)"),
            "0");
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(*) FROM ASIENTO WHERE ASIE_BASE <> ASIE_VENTAS * ASIE_FACTOR OR "
                "ASIE_TOTAL <> ASIE_BASE + ASIE_IVA"),
            "0");
}

TEST_F(PostingRunTest, NothingLeftToPostIsSaidAndTheWindowStillCloses) {
  RecordingPostingForm& first = Connected();
  Period(first, kOctober1, kOctober31, "CAJ2");
  PressKey(Qt::Key_F2);
  ASSERT_FALSE(first.isVisible());
  form_.reset();
  const std::string entries = database_.QueryOne("SELECT COUNT(*) FROM ASIENTO");

  RecordingPostingForm& again = Connected();
  Period(again, kOctober1, kOctober31, "CAJ2");
  PressKey(Qt::Key_F2);
  EXPECT_EQ(ui_.Texts("information"), std::vector<std::string>{kNothingPosted});
  EXPECT_FALSE(again.isVisible());
  EXPECT_FALSE(again.Data().CRepArticulos().Active());
  form_.reset();
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(*) FROM ASIENTO"), entries);
}

struct SentCase {
  const char* what;
  const char* prefix;
  const char* sent_prefix;
};

// The prefix reaches the procedure as typed: quotes doubled, empty as ''. Neither names a point
// of sale, so nothing is posted and the user is told.
TEST_F(PostingRunTest, ThePrefixIsSentAsTyped) {
  const SentCase cases[] = {{"quote", "O'B", "'O''B'"}, {"empty", "", "''"}};
  for (const SentCase& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingPostingForm& form = Connected();
    Period(form, kOctober1, kOctober1, c.prefix);
    PressKey(Qt::Key_F2);
    EXPECT_EQ(form.Data().CRepArticulos().CommandText(),
              std::string("select * from contado_quelmo_pref('01/10/2026', '01/10/2026', ") +
                  c.sent_prefix + ")");
    EXPECT_EQ(ui_.Texts("information"), std::vector<std::string>{kNothingPosted});
    EXPECT_FALSE(form.isVisible());
    form_.reset();
  }
}

TEST_F(PostingRunTest, TheDatesFollowTheRegionalSettings) {
  struct Case {
    const char* short_date;
    char separator;
    const char* statement;
  };
  const Case cases[] = {
      {"dd/MM/yyyy", '/', "select * from contado_quelmo_pref('01/10/2026', '31/10/2026', 'DOM')"},
      {"d/MM/yy", '/', "select * from contado_quelmo_pref('1/10/26', '31/10/26', 'DOM')"},
      {"M/d/yyyy", '/', "select * from contado_quelmo_pref('10/1/2026', '10/31/2026', 'DOM')"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.short_date);
    FormatSettings settings;
    settings.ShortDateFormat = c.short_date;
    settings.DateSeparator = c.separator;
    RecordingPostingForm& form = Connected(settings);
    Period(form, kOctober1, kOctober31, "DOM");
    PressKey(Qt::Key_F2);
    EXPECT_EQ(form.Data().CRepArticulos().CommandText(), c.statement);
    form_.reset();
  }
}

// A failing call leaves the banner, the window and a closed posting dataset; nothing is logged,
// and once the cause is gone F2 posts.
TEST_F(PostingRunTest, AFailedCallLeavesTheWindowReadyForAnotherF2) {
  database_.Execute(
      "SET TERM ^ ;\n"
      "CREATE TRIGGER CERRADO FOR ASIENTO BEFORE INSERT AS BEGIN\n"
      "  EXCEPTION PREFIJO_NO_VALIDO 'Contabilidad cerrada';\n"
      "END^\n"
      "SET TERM ; ^");
  RecordingPostingForm& form = Connected();
  Period(form, kOctober1, kOctober31, "CAJ1");
  PressKey(Qt::Key_F2);

  const std::vector<std::string> failures = ui_.Texts("failure");
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].rfind("SQL Server Error: ", 0), 0u) << failures[0];
  EXPECT_NE(failures[0].find("Contabilidad cerrada"), std::string::npos) << failures[0];
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.BannerVisible());
  EXPECT_EQ(form.BannerCaption(), kPostingBanner);
  EXPECT_FALSE(form.Data().CRepArticulos().Active());
  EXPECT_FALSE(std::filesystem::exists(install_dir_ / "ERRORES.TXT"));

  form.Talvora().Close();  // the embedded database is free for the fix
  database_.Execute("DROP TRIGGER CERRADO;");
  ui_.calls.clear();
  PressKey(Qt::Key_F2);  // reopens with the parameters the connection holds
  EXPECT_TRUE(ui_.Texts("failure").empty());
  EXPECT_FALSE(form.isVisible());
  form_.reset();
  EXPECT_EQ(database_.QueryOne("SELECT COUNT(*) FROM FACTURA WHERE FACT_CONTABILIZADA = 1"),
            database_.QueryOne("SELECT COUNT(*) FROM FACTURA WHERE FACT_PREFIJO = 'CAJ1' AND "
                "FACT_FORMA_PAGO = 'CO' AND FACT_FECHA BETWEEN '2026-10-01' AND '2026-10-31'"));
}

// Before any connection F2 tries the location stored with the window (a Windows path, which
// reads here as a host named "C"), and says why it failed.
TEST_F(PostingRunTest, F2BeforeConnectingTriesTheStoredLocation) {
  InstallDefault();
  RecordingPostingForm& form = Open();
  ui_.calls.clear();
  PressKey(Qt::Key_F2);
  const std::vector<std::string> failures = ui_.Texts("failure");
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].rfind("dbExpress Error: [0x0015]: Connection failed\r\n", 0), 0u)
      << failures[0];
  EXPECT_NE(failures[0].find("host \"C\""), std::string::npos) << failures[0];
  EXPECT_EQ(form.Talvora().Params().Value("Database"), "C:\\TALvora\\sop\\talvora.fdb");
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.BannerVisible());
  EXPECT_FALSE(form.Talvora().Connected());
}

}  // namespace
