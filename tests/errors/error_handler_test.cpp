// The window's error handler: what it logs, what it shows and answers for each kind of caller,
// the ignored text, and the installation directory read at every entry.
#include "errors/error_handler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "config/installation_dir.h"
#include "data/provider/dataset_provider.h"
#include "recording_ui.h"
#include "recording_window.h"
#include "tests/db/dataset/memory_dataset.h"
#include "tests/support/file_bytes.h"
#include "tests/support/suite_settings.h"

namespace {

namespace fs = std::filesystem;

// The window records its banner caption among the boxes and beeps, so their order shows.
class SharedRecordingWindow : public RecordingWindow {
 public:
  explicit SharedRecordingWindow(RecordingUi& ui) : ui_(ui) {}
  void SetBannerCaption(const std::string& text) override {
    RecordingWindow::SetBannerCaption(text);
    ui_.calls.push_back({"banner", text});
  }

 private:
  RecordingUi& ui_;
};

TFieldDef IntegerDef(const char* name) {
  TFieldDef def;
  def.Name = name;
  def.DataType = TFieldType::ftInteger;
  return def;
}

constexpr const char* kRequiredText = "Field 'AJCI_ID' must have a value";
constexpr const char* kPrimaryKeyText =
    "SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint \"INTEG_5\" on table "
    "\"AJUSTE_CIERRE\"";

class ErrorHandlerTest : public testing::Test {
 protected:
  ErrorHandlerTest() {
    install_dir_ = settings_.Folder() / "suite";
    fs::create_directories(install_dir_);
    settings_.SetDirectorio(install_dir_.string());
    window_.user_name = "ana";
    cajuste_.SetName("CAjuste");
    cajuste_.Open();
    cajuste_.FieldByName("AJCI_ID").SetRequired(true);
    cajuste_.Insert();
    tajuste_.SetName("TAjuste");
    pajuste_.SetName("PAjuste");
    pajuste_.SetDataSet(&tajuste_);
    delta_.SetName("delta");
  }

  // 30 March 2023, 14:05:09.
  static TDateTime FixedClock() { return EncodeDate(2023, 3, 30) + EncodeTime(14, 5, 9, 0); }

  std::string Log() const { return FileBytes(install_dir_ / "ERRORES.TXT"); }
  bool LogExists() const { return fs::exists(install_dir_ / "ERRORES.TXT"); }

  // A failure of CAjuste's post, as its error event reports it.
  TDataAction ClientError(const std::string& message) {
    EDatabaseError e(message);
    TDataAction action = TDataAction::daFail;
    handler_.ManejarClientError(cajuste_, e, action);
    return action;
  }
  // A failure of PAjuste writing back a row of the change set.
  TResolverResponse ProviderError(const std::string& message,
                                  TResolverResponse preset = TResolverResponse::rrSkip) {
    EUpdateError e(message, "", 0, 0);
    TResolverResponse response = preset;
    handler_.ManejarError(&pajuste_, &delta_, e, TUpdateKind::ukModify, response);
    return response;
  }

  SuiteSettings settings_;
  fs::path install_dir_;
  RecordingUi ui_;
  SharedRecordingWindow window_{ui_};
  ErrorHandler handler_{ui_, window_, FormatSettings::Default(), FixedClock};
  TMemoryDataSet cajuste_{{IntegerDef("AJCI_ID"), IntegerDef("AJCI_PORC")}};
  TMemoryDataSet tajuste_{{}};
  TMemoryDataSet delta_{{}};
  TDataSetProvider pajuste_;
};

TEST_F(ErrorHandlerTest, ACachedDatasetFailureIsLoggedWarnedTranslatedAndAborted) {
  EXPECT_EQ(ClientError(kRequiredText), TDataAction::daAbort);
  EXPECT_EQ(Log(), "30/03/2023,14:05:09,ana,Field 'AJCI_ID' must have a value\r\n");
  EXPECT_EQ(ui_.calls,
            (std::vector<UiCall>{{"beep", ""},
                                 {"banner", "CAjuste: Field 'AJCI_ID' must have a value"},
                                 {"beep", ""},
                                 {"error", "Los campos AJCI_ID,  son obligatorios."}}));
  EXPECT_FALSE(window_.banner_visible) << "the warning leaves the banner's visibility alone";
}

TEST_F(ErrorHandlerTest, TwoRequiredNullFieldsAreNamedInFieldOrder) {
  cajuste_.FieldByName("AJCI_PORC").SetRequired(true);
  ClientError(kRequiredText);
  EXPECT_EQ(ui_.Texts("error"),
            std::vector<std::string>{"Los campos AJCI_ID, AJCI_PORC,  son obligatorios."});
}

TEST_F(ErrorHandlerTest, AProviderFailureIsLoggedTranslatedWithItsTableAndAborted) {
  EXPECT_EQ(ProviderError(kPrimaryKeyText), TResolverResponse::rrAbort);
  EXPECT_EQ(Log(), std::string("30/03/2023,14:05:09,ana,") + kPrimaryKeyText + "\r\n");
  // The table is the provider's source dataset, not the change set handed in.
  EXPECT_EQ(ui_.calls, (std::vector<UiCall>{
                           {"beep", ""}, {"error", "Ya existe el registro en la tabla Ajuste"}}));
}

TEST_F(ErrorHandlerTest, ConnectionClosedGracefullyIsIgnoredEntirely) {
  fs::remove(settings_.Folder() / "KVN" / "TalvoraSuite.conf");  // a lookup would show a box
  EXPECT_EQ(ProviderError("Connection Closed Gracefully.", TResolverResponse::rrMerge),
            TResolverResponse::rrMerge);
  // The event's own answer still stands: the cached dataset's operation ends silently.
  EXPECT_EQ(ClientError("Connection Closed Gracefully."), TDataAction::daAbort);
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_TRUE(window_.calls.empty());
  EXPECT_FALSE(LogExists());
}

TEST_F(ErrorHandlerTest, ConnectionClosedGracefullyWithAnythingChangedIsAFailureLikeAnyOther) {
  const std::vector<std::string> texts = {
      "Connection Closed Gracefully", "Connection Closed Gracefully.\r\n",
      " Connection Closed Gracefully.", "connection Closed Gracefully.",
      "Talvora: Connection Closed Gracefully."};
  std::string expectedLog;
  for (const std::string& text : texts) {
    EXPECT_EQ(ProviderError(text), TResolverResponse::rrAbort) << text;
    expectedLog += "30/03/2023,14:05:09,ana," + text + "\r\n";
  }
  EXPECT_EQ(Log(), expectedLog);
  EXPECT_EQ(ui_.Texts("error"), texts);
  EXPECT_EQ(ui_.Texts("beep").size(), texts.size());
}

TEST_F(ErrorHandlerTest, EachFailureAppendsOneEntryWithTheUserOfThatMoment) {
  ProviderError("primera");
  window_.user_name = "luis, contador";
  ClientError("CAjuste: Deletes are not allowed");
  window_.user_name = "";
  ProviderError("");
  EXPECT_EQ(Log(),
            "30/03/2023,14:05:09,ana,primera\r\n"
            "30/03/2023,14:05:09,luis, contador,CAjuste: Deletes are not allowed\r\n"
            "30/03/2023,14:05:09,,\r\n");
  EXPECT_EQ(ui_.Texts("error"),
            (std::vector<std::string>{"primera", "CAjuste: Deletes are not allowed", ""}));
}

TEST_F(ErrorHandlerTest, ATwoLineMessageIsLoggedOnTwoLinesAndShownOnTwo) {
  const std::string text = "dbExpress Error: [0x000E]: Unknown SQL error\r\nSQL Server Error: x";
  ProviderError(text);
  EXPECT_EQ(Log(), "30/03/2023,14:05:09,ana," + text + "\r\n");
  EXPECT_EQ(ui_.Texts("error"), std::vector<std::string>{text});
}

TEST_F(ErrorHandlerTest, ALogThatCannotBeWrittenLosesTheEntryButNotTheDialog) {
  fs::create_directory(install_dir_ / "ERRORES.TXT");  // a folder where the log should be
  EXPECT_EQ(ProviderError(kPrimaryKeyText), TResolverResponse::rrAbort);
  EXPECT_EQ(ui_.calls, (std::vector<UiCall>{
                           {"beep", ""}, {"error", "Ya existe el registro en la tabla Ajuste"}}));
  EXPECT_TRUE(fs::is_empty(install_dir_ / "ERRORES.TXT"));
}

// The log writes of a handler whose file calls are recorded instead of made.
struct Attempt {
  std::string path;
  std::string bytes;
  bool operator==(const Attempt&) const = default;
};

TEST_F(ErrorHandlerTest, WithoutSettingsEveryEntryShowsTheLookupsBoxThenGoesToTheRoot) {
  fs::remove(settings_.Folder() / "KVN" / "TalvoraSuite.conf");
  std::vector<Attempt> attempts;
  ErrorHandler handler(ui_, window_, FormatSettings::Default(), FixedClock,
                       [&](const std::string& path, std::string_view bytes) {
                         attempts.push_back({path, std::string(bytes)});
                         ui_.calls.push_back({"log", path});
                         return false;
                       });
  for (int i = 0; i < 2; ++i) {
    EDatabaseError e(kRequiredText);
    TDataAction action = TDataAction::daFail;
    handler.ManejarClientError(cajuste_, e, action);
  }
  const std::vector<UiCall> once = {{"information", kMissingDirectoryKeyMessage},
                                    {"log", "/ERRORES.TXT"},
                                    {"beep", ""},
                                    {"banner", "CAjuste: Field 'AJCI_ID' must have a value"},
                                    {"beep", ""},
                                    {"error", "Los campos AJCI_ID,  son obligatorios."}};
  std::vector<UiCall> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(ui_.calls, twice);
  const Attempt entry{"/ERRORES.TXT",
                      "30/03/2023,14:05:09,ana,Field 'AJCI_ID' must have a value\r\n"};
  EXPECT_EQ(attempts, (std::vector<Attempt>{entry, entry}));
}

TEST_F(ErrorHandlerTest, AnEmptyDirectoryPutsTheLogAtTheRootWithoutABox) {
  settings_.SetDirectorio("");
  std::vector<std::string> paths;
  ErrorHandler handler(ui_, window_, FormatSettings::Default(), FixedClock,
                       [&](const std::string& path, std::string_view) {
                         paths.push_back(path);
                         return true;
                       });
  EUpdateError e("x", "", 0, 0);
  TResolverResponse response = TResolverResponse::rrSkip;
  handler.ManejarError(&pajuste_, &delta_, e, TUpdateKind::ukInsert, response);
  EXPECT_EQ(paths, std::vector<std::string>{"/ERRORES.TXT"});
  EXPECT_EQ(ui_.calls, (std::vector<UiCall>{{"beep", ""}, {"error", "x"}}));
}

TEST_F(ErrorHandlerTest, ADirectoryOfTheWrongTypeLosesTheEntryAndStopsNothing) {
  settings_.Write("[General]\nDirectorio=a, b\n");
  EXPECT_EQ(ProviderError(kPrimaryKeyText), TResolverResponse::rrAbort);
  EXPECT_EQ(ui_.calls, (std::vector<UiCall>{
                           {"beep", ""}, {"error", "Ya existe el registro en la tabla Ajuste"}}));
  EXPECT_FALSE(LogExists());
}

TEST_F(ErrorHandlerTest, TheUnattachedApplicationHandlerLogsAndTranslatesUnhandledFailures) {
  struct Case {
    std::exception_ptr failure;
    std::string logged;  // "" when nothing is
    std::vector<UiCall> calls;
  };
  const std::string connectFailed = "dbExpress Error: [0x0015]: Connection failed";
  const Case cases[] = {
      {std::make_exception_ptr(EAbort()), "", {}},
      {std::make_exception_ptr(EDatabaseError(connectFailed)),
       connectFailed,
       {{"beep", ""},
        {"error",
         "No se encontró el servidor Interbase/Firebird. Verifique Servidor en panel de control "
         "y puerto TCP 3050."}}},
      {std::make_exception_ptr(std::runtime_error("sin memoria")),
       "sin memoria",
       {{"beep", ""}, {"error", "Se presento el siguiente error: sin memoria"}}},
  };
  for (const Case& c : cases) {
    fs::remove(install_dir_ / "ERRORES.TXT");
    ui_.calls.clear();
    handler_.ENoManejada(&pajuste_, c.failure);
    EXPECT_EQ(ui_.calls, c.calls);
    EXPECT_EQ(Log(), c.logged.empty() ? "" : "30/03/2023,14:05:09,ana," + c.logged + "\r\n");
  }
  EXPECT_TRUE(window_.calls.empty()) << "no banner without a cached dataset";
}

}  // namespace
