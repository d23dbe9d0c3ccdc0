// CiaExit: connecting the window to the company database typed in by the user.
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLineEdit>
#include <QToolButton>

#include "app/posting_form.h"
#include "db/sql/sql_connection.h"

namespace {

// The server entry, "/datos/", the company code and "/talvora.fdb", all as typed.
std::string CompanyDatabaseLocation(const std::string& server, const std::string& company) {
  return server + "/datos/" + company + "/talvora.fdb";
}

}  // namespace

void TPostingForm::CiaExit() {
  const std::string company = Cia()->text().toStdString();
  if (company.empty()) return;
  const std::string user = Tusua()->text().toStdString();
  if (user.empty()) return;
  const std::string password = TClave()->text().toStdString();
  if (password.empty()) return;

  ShowBanner("Conectando a la base de datos " + company + " ...");
  TSQLConnection& connection = Talvora();
  connection.Close();
  connection.Params().SetValue(
      "Database", CompanyDatabaseLocation(Servidor()->currentText().toStdString(), company));
  connection.Params().SetValue("User_Name", user);
  connection.Params().SetValue("password", password);
  // A failure leaves here: the banner stays up, dates, focus and the F2 button stay as they were.
  connection.Open();

  const QDate today = QDate::currentDate();
  EFecIni()->setDate(today);
  EFecFin()->setDate(today);
  HideBanner();
  EFecIni()->setFocus(Qt::OtherFocusReason);
  SpeedButton3()->setEnabled(true);
}
