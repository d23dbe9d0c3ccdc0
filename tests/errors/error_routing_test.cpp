// Where a failure of the window's data chains ends, on a real company database: inside the
// protected step of an edit, post or delete a database failure reaches the error handler and
// ends in a silent abort; anything else goes to the default error display, unlogged. And the
// server's own key-violation texts read as the handler's sentences.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "data/client/client_dataset.h"
#include "data/provider/dataset_provider.h"
#include "datamodule/posting_data_module.h"
#include "db/dataset/field.h"
#include "db/sql/sql_connection.h"
#include "errors/default_error_display.h"
#include "errors/error_handler.h"
#include "errors/wiring_walk.h"
#include "recording_ui.h"
#include "recording_window.h"
#include "tests/support/file_bytes.h"
#include "tests/support/suite_settings.h"
#include "tests/support/test_database.h"

namespace {

namespace fs = std::filesystem;

TDateTime FixedClock() {
  return EncodeDate(2023, 3, 30) + EncodeTime(14, 5, 9, 0);
}

// The window's components, wired to a handler and connected to a company database.
class ErrorRoutingTest : public testing::Test {
 protected:
  ErrorRoutingTest() {
    database_.Execute(
        "INSERT INTO AJUSTE_CIERRE VALUES (1, '2026-10-01', '2026-10-31', 19, 0.8);"
        "INSERT INTO AJUSTE_CIERRE VALUES (2, '2026-10-01', '2026-10-31', 5, 0.9);"
        "INSERT INTO AJUSTE_CIERRE VALUES (3, '2026-11-01', '2026-11-30', 19, 1);");
    settings_.SetDirectorio(settings_.Folder().string());
    window_.user_name = "ana";
  }

  // A fresh data module, wired and connected.
  std::unique_ptr<TPostingDataModule> Connected() {
    auto data =
        std::make_unique<TPostingDataModule>("TPostingForm", FormatSettings::Default(), nullptr);
    ConfigurarProviders(data->Components(), handler_);
    TSQLConnection& talvora = data->Talvora();
    talvora.Params().SetValue("Database", database_.Path());
    talvora.Params().SetValue("User_Name", test_server::kUser);
    talvora.Params().SetValue("password", test_server::kPassword);
    talvora.Open();
    return data;
  }

  std::string Log() const { return FileBytes(settings_.Folder() / "ERRORES.TXT"); }

  TestDatabase database_;
  SuiteSettings settings_;
  RecordingUi ui_;
  RecordingWindow window_;
  ErrorHandler handler_{ui_, window_, FormatSettings::Default(), FixedClock};
};

struct RouteCase {
  const char* what;
  TProviderOptions options;
  // Sets the stage on the opened CAjuste; the failing operation follows.
  std::function<void(TPostingDataModule&)> prepare;
  std::function<void(TPostingDataModule&)> fail;
  const char* logged;  // the message of the log entry, or nullptr for none
  std::vector<UiCall> calls;
  TDataSetState stateAfter;
};

void PrintTo(const RouteCase& c, std::ostream* os) {
  *os << c.what;
}

void Nothing(TPostingDataModule&) {}

const RouteCase kRoutes[] = {
    {"post of a new row without its required id: handler, then a silent abort",
     0,
     [](TPostingDataModule& d) {
       d.CAjuste().Insert();
       d.CAjuste().FieldByName("AJCI_PORC").SetAsString("16");
     },
     [](TPostingDataModule& d) { d.CAjuste().Post(); },
     "Field 'AJCI_ID' must have a value",
     {{"beep", ""}, {"beep", ""}, {"error", "Los campos AJCI_ID,  son obligatorios."}},
     TDataSetState::dsInsert},
    {"edit with edits disabled: handler, then a silent abort",
     poDisableEdits,
     Nothing,
     [](TPostingDataModule& d) { d.CAjuste().Edit(); },
     "CAjuste: Modifications are not allowed",
     {{"beep", ""}, {"beep", ""}, {"error", "CAjuste: Modifications are not allowed"}},
     TDataSetState::dsBrowse},
    {"delete with deletes disabled: handler, then a silent abort",
     poDisableDeletes,
     Nothing,
     [](TPostingDataModule& d) { d.CAjuste().Delete(); },
     "CAjuste: Deletes are not allowed",
     {{"beep", ""}, {"beep", ""}, {"error", "CAjuste: Deletes are not allowed"}},
     TDataSetState::dsBrowse},
    {"delete from an empty dataset fails before the protected step",
     0,
     [](TPostingDataModule& d) {
       d.CAjuste().SetFilter("AJCI_FECINI = '01/01/2020'");
       d.CAjuste().SetFiltered(true);
     },
     [](TPostingDataModule& d) { d.CAjuste().Delete(); },
     nullptr,
     {{"failure", "CAjuste: Cannot perform this operation on an empty dataset."}},
     TDataSetState::dsBrowse},
    {"edit of a read-only dataset fails before the protected step",
     poReadOnly,
     Nothing,
     [](TPostingDataModule& d) { d.CAjuste().Edit(); },
     nullptr,
     {{"failure", "CAjuste: Cannot modify a read-only dataset."}},
     TDataSetState::dsBrowse},
    {"a provider failure inside the protected step is no database error of the dataset",
     0,
     [](TPostingDataModule& d) {
       d.CAjuste().Append();
       d.CAjuste().FieldByName("AJCI_ID").SetAsInteger(9);
       // Appending fetches the rows not yet delivered, and the provider fails on that request.
       d.PAjuste().BeforeGetRecords = [](TDataSetProvider&, TOwnerData&) {
         throw EDatabaseError("Talvora: lectura interrumpida.");
       };
     },
     [](TPostingDataModule& d) { d.CAjuste().Post(); },
     nullptr,
     {{"failure", "Talvora: lectura interrumpida."}},
     TDataSetState::dsInsert},
    {"a failing open goes to the default display",
     0,
     Nothing,
     [](TPostingDataModule& d) {
       d.CRepArticulos().SetCommandText("select * from NO_EXISTE");
       d.CRepArticulos().Open();
     },
     nullptr,
     {},
     TDataSetState::dsBrowse},
};

class Routes : public ErrorRoutingTest, public testing::WithParamInterface<RouteCase> {};

TEST_P(Routes, EndInTheHandlerOrInTheDefaultDisplay) {
  const RouteCase& c = GetParam();
  std::unique_ptr<TPostingDataModule> data = Connected();
  TClientDataSet& cajuste = data->CAjuste();
  data->PAjuste().SetOptions(c.options);
  cajuste.PacketRecords = 1;  // leaves rows to fetch after the first packet
  cajuste.Open();
  c.prepare(*data);
  ui_.calls.clear();

  // As a handler of the window runs it.
  EXPECT_FALSE(RunHandler(ui_, [&] { c.fail(*data); }));
  data->PAjuste().BeforeGetRecords = nullptr;

  if (c.calls.empty()) {
    // The server's text, whatever it is, in the failure box alone.
    ASSERT_EQ(ui_.calls.size(), 1u);
    EXPECT_EQ(ui_.calls[0].kind, "failure");
  } else {
    EXPECT_EQ(ui_.calls, c.calls);
  }
  EXPECT_EQ(Log(), c.logged ? std::string("30/03/2023,14:05:09,ana,") + c.logged + "\r\n" : "");
  EXPECT_EQ(window_.calls,
            c.logged ? std::vector<std::string>{std::string("SetBannerCaption(CAjuste: ") +
                                                c.logged + ")"}
                     : std::vector<std::string>{});
  EXPECT_EQ(cajuste.State(), c.stateAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, Routes, testing::ValuesIn(kRoutes));

// The message the connection layer raises for `statement`.
std::string ServerMessageOf(TSQLConnection& connection, const std::string& statement) {
  try {
    connection.ExecuteDirect(statement);
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return "(no failure)";
}

TEST_F(ErrorRoutingTest, TheServersKeyViolationsReadAsTheProvidersSentences) {
  std::unique_ptr<TPostingDataModule> data = Connected();
  struct Case {
    const char* statement;
    const char* serverText;  // how the message starts
    const char* shown;
  };
  const Case cases[] = {
      {"INSERT INTO TARIFA_IVA VALUES (1, 'Otra', 16)",
       "SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint",
       "Ya existe el registro en la tabla Ajuste"},
      {"INSERT INTO FACTURA (FACT_ID, FACT_PREFIJO, FACT_NUMERO, FACT_FECHA, FACT_FORMA_PAGO, "
       "FACT_CLIENTE) VALUES (1, 'NOPV', 1, '2026-10-01', 'CO', 'x')",
       "SQL Server Error: violation of FOREIGN KEY constraint",
       "Está borrando o insertando un registro en la tabla Ajuste que tiene una relación con otra "
       "tabla."},
  };
  for (const Case& c : cases) {
    const std::string message = ServerMessageOf(data->Talvora(), c.statement);
    ASSERT_EQ(message.rfind(c.serverText, 0), 0u) << message;
    fs::remove(settings_.Folder() / "ERRORES.TXT");
    ui_.calls.clear();
    EUpdateError e(message, "", 0, 0);
    TResolverResponse response = TResolverResponse::rrSkip;
    data->PAjuste().OnUpdateError(&data->PAjuste(), &data->CAjuste(), e, TUpdateKind::ukInsert,
                                  response);
    EXPECT_EQ(response, TResolverResponse::rrAbort);
    EXPECT_EQ(ui_.calls, (std::vector<UiCall>{{"beep", ""}, {"error", c.shown}}));
    EXPECT_EQ(Log(), "30/03/2023,14:05:09,ana," + message + "\r\n");
  }
}

}  // namespace
