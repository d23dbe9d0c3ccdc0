#include "errors/error_handler.h"

#include "config/installation_dir.h"
#include "db/dataset/dataset.h"
#include "errors/append_file.h"
#include "errors/error_log.h"
#include "errors/error_translation.h"
#include "errors/failure_message.h"

namespace {

// The text a closing peer connection reports; it is no failure worth telling the user about.
constexpr std::string_view kConnectionClosedGracefully = "Connection Closed Gracefully.";

}  // namespace

ErrorHandler::ErrorHandler(UiServices& ui, PostingWindow& window, const FormatSettings& settings,
                           Clock clock, LogWriter writeLog)
    : ui_(ui),
      window_(window),
      settings_(settings),
      clock_(clock ? std::move(clock) : Clock(Now)),
      write_log_(writeLog ? std::move(writeLog) : LogWriter(AppendToFile)) {}

void ErrorHandler::ManejarError(TComponent* sender, TDataSet* dataSet, const Exception& e,
                                TUpdateKind, TResolverResponse& response) {
  const std::string& message = e.Message();
  if (message == kConnectionClosedGracefully) return;
  WriteLogEntry(message);
  response = TResolverResponse::rrAbort;
  const std::string shown = DisplayText(sender, dataSet, message);
  ui_.Beep();
  ui_.ShowErrorDialog(shown);
}

void ErrorHandler::ManejarClientError(TDataSet& dataSet, EDatabaseError& e, TDataAction& action) {
  action = TDataAction::daAbort;
  TResolverResponse response = TResolverResponse::rrSkip;
  ManejarError(nullptr, &dataSet, e, TUpdateKind::ukInsert, response);
}

void ErrorHandler::mostrar_advertencia(const std::string& text) {
  ui_.Beep();
  window_.SetBannerCaption(text);
}

void ErrorHandler::ENoManejada(TComponent* sender, const std::exception_ptr& failure) {
  if (IsSilentAbort(failure)) return;
  const Exception e(FailureMessage(failure));
  TResolverResponse response = TResolverResponse::rrSkip;
  ManejarError(sender, nullptr, e, TUpdateKind::ukInsert, response);
}

void ErrorHandler::WriteLogEntry(const std::string& message) {
  // Nothing here may stop the handler: a directory that cannot be read loses the entry, like a
  // log that cannot be written.
  std::string directory;
  try {
    directory = diraplicacion([this](const std::string& text) { ui_.ShowInformation(text); });
  } catch (...) {
    return;
  }
  write_log_(ErrorLogPath(directory),
             ErrorLogEntry(clock_(), settings_, window_.UserName(), message));
}

std::string ErrorHandler::DisplayText(TComponent* sender, TDataSet* dataSet,
                                      const std::string& message) {
  if (!dataSet) return TranslateUnhandledError(message);
  if (sender) return TranslateProviderError(message, ProviderTableName(sender));
  mostrar_advertencia(dataSet->Name() + ": " + message);
  // The cached dataset keeps no index, so none is current and the key-field list stays empty.
  return TranslateCachedDataSetError(message, RequiredNullFieldNames(*dataSet), {});
}
