// Leaving the company or prefix field connects the window to the company database: success,
// the fields that must be typed first, and the state a failed connect leaves behind.
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QToolButton>

#include "db/sql/sql_connection.h"
#include "datamodule/posting_data_module.h"
#include "posting_form_fixture.h"
#include "tests/support/test_database.h"

namespace {

class CompanyConnectionTest : public PostingFormTest {
 protected:
  // The first server entry is the folder holding datos/01/talvora.fdb.
  RecordingPostingForm& OpenOnDatabase() {
    Install("[General]\nDirectorio=" + install_dir_.string() + "\n",
            database_.Folder() + "\r\nlocalhost:/otra\r\n");
    RecordingPostingForm& form = Open();
    ui_.calls.clear();
    return form;
  }

  void Type(RecordingPostingForm& form, const char* company, const char* user,
            const char* password) {
    form.Cia()->setText(company);
    form.Tusua()->setText(user);
    form.TClave()->setText(password);
  }

  // Enter in the company field: the focus moves on and the field is left.
  void LeaveCompanyField(RecordingPostingForm& form) {
    form.Cia()->setFocus(Qt::OtherFocusReason);
    PressKey(Qt::Key_Return);
  }

  TestDatabase database_;
};

TEST_F(CompanyConnectionTest, ConnectsAndPreparesTheWindowForPosting) {
  RecordingPostingForm& form = OpenOnDatabase();
  Type(form, "01", "SYSDBA", "masterkey");
  LeaveCompanyField(form);
  TSQLConnection& talvora = form.Talvora();
  EXPECT_TRUE(talvora.Connected());
  EXPECT_EQ(talvora.Params().Value("Database"), database_.Path());
  EXPECT_EQ(talvora.Params().Value("User_Name"), "SYSDBA");
  EXPECT_EQ(talvora.Params().Lines()[talvora.Params().IndexOfName("password")],
            "password=masterkey");
  EXPECT_EQ(form.EFecIni()->date(), QDate::currentDate());
  EXPECT_EQ(form.EFecFin()->date(), QDate::currentDate());
  EXPECT_EQ(FocusedControl(), "EFecIni");
  EXPECT_TRUE(form.SpeedButton3()->isEnabled());
  EXPECT_FALSE(form.BannerVisible());
  EXPECT_EQ(form.BannerCaption(), "Conectando a la base de datos 01 ...");
  // The banner was painted before the connect, under the hour-glass.
  EXPECT_EQ(ui_.calls, (std::vector<UiCall>{{"repaint", ""}, {"wait+", ""}, {"wait-", ""}}));
  EXPECT_EQ(talvora.ExecuteDirect("update AJUSTE_CIERRE set AJCI_FACTOR = 1 where 1 = 0"), 0);
}

TEST_F(CompanyConnectionTest, LeavingThePrefixReconnectsAndResetsTheDates) {
  RecordingPostingForm& form = OpenOnDatabase();
  Type(form, "01", "SYSDBA", "masterkey");
  LeaveCompanyField(form);
  form.EFecIni()->setDate(QDate(2026, 10, 1));
  form.Pref()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_Tab);
  EXPECT_EQ(form.handlers, (std::vector<std::string>{"CiaExit", "CiaExit"}));
  EXPECT_TRUE(form.Talvora().Connected());
  EXPECT_EQ(form.EFecIni()->date(), QDate::currentDate());
  EXPECT_EQ(FocusedControl(), "EFecIni");
}

struct EmptyFieldCase {
  const char* what;
  const char* company;
  const char* user;
  const char* password;
};

TEST_F(CompanyConnectionTest, AnEmptyCompanyUserOrPasswordDoesNothing) {
  const EmptyFieldCase cases[] = {
      {"no company", "", "SYSDBA", "masterkey"},
      {"no user", "01", "", "masterkey"},
      {"no password", "01", "SYSDBA", ""},
  };
  RecordingPostingForm& form = OpenOnDatabase();
  const std::vector<std::string> stored = form.Talvora().Params().Lines();
  for (const EmptyFieldCase& c : cases) {
    SCOPED_TRACE(c.what);
    Type(form, c.company, c.user, c.password);
    LeaveCompanyField(form);
    EXPECT_TRUE(ui_.calls.empty());
    EXPECT_FALSE(form.BannerVisible());
    EXPECT_FALSE(form.Talvora().Connected());
    EXPECT_EQ(form.Talvora().Params().Lines(), stored);
    EXPECT_EQ(form.EFecIni()->date(), QDate(2003, 1, 20));
    EXPECT_FALSE(form.SpeedButton3()->isEnabled());
  }
}

TEST_F(CompanyConnectionTest, StoredSettingsHoldNoPassword) {
  RecordingPostingForm& form = OpenOnDatabase();
  const TSQLConnection& talvora = form.Talvora();
  EXPECT_EQ(talvora.Name(), "Talvora");
  EXPECT_EQ(talvora.LibraryName, "dbexpint.dll");
  EXPECT_EQ(talvora.GetDriverFunc, "getSQLDriverINTERBASE");
  EXPECT_EQ(talvora.VendorLib, "GDS32.DLL");
  EXPECT_FALSE(talvora.LoginPrompt);
  EXPECT_FALSE(talvora.Connected());
  EXPECT_EQ(talvora.Params().Value("Database"), "C:\\TALvora\\sop\\talvora.fdb");
  EXPECT_EQ(talvora.Params().Value("User_Name"), "sysdba");
  EXPECT_EQ(talvora.Params().Value("Password"), "");
  EXPECT_EQ(talvora.Params().Count(), 13);
}

TEST_F(CompanyConnectionTest, AFailedConnectLeavesTheBannerAndTheEarlierState) {
  RecordingPostingForm& form = OpenOnDatabase();
  Type(form, "99", "SYSDBA", "masterkey");  // no such company database
  form.Pref()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_Tab);  // leaves the prefix for the server list
  const std::string location = database_.Folder() + "/datos/99/talvora.fdb";

  const std::vector<std::string> failures = ui_.Texts("failure");
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].rfind("dbExpress Error: [0x0015]: Connection failed\r\n"
                              "SQL Server Error: ",
                              0),
            0u)
      << failures[0];
  EXPECT_NE(failures[0].find(location), std::string::npos) << failures[0];
  EXPECT_TRUE(form.BannerVisible());
  EXPECT_EQ(form.BannerCaption(), "Conectando a la base de datos 99 ...");
  EXPECT_FALSE(form.Talvora().Connected());
  EXPECT_EQ(form.Talvora().Params().Value("Database"), location);
  EXPECT_EQ(form.Talvora().Params().Value("password"), "masterkey");
  EXPECT_EQ(form.EFecIni()->date(), QDate(2003, 1, 20));
  EXPECT_EQ(FocusedControl(), "Servidor");
  EXPECT_FALSE(form.SpeedButton3()->isEnabled());
  EXPECT_EQ(ui_.wait_depth, 0);

  // After a success, a failed connect keeps the F2 button enabled and the dates as they were.
  Type(form, "01", "SYSDBA", "masterkey");
  LeaveCompanyField(form);
  ASSERT_TRUE(form.Talvora().Connected());
  form.EFecFin()->setDate(QDate(2026, 11, 30));
  Type(form, "99", "SYSDBA", "masterkey");
  form.Pref()->setFocus(Qt::OtherFocusReason);
  PressKey(Qt::Key_Tab);
  EXPECT_EQ(ui_.Texts("failure").size(), 2u);
  EXPECT_FALSE(form.Talvora().Connected());
  EXPECT_TRUE(form.SpeedButton3()->isEnabled());
  EXPECT_EQ(form.EFecFin()->date(), QDate(2026, 11, 30));
  EXPECT_TRUE(form.BannerVisible());
}

}  // namespace
