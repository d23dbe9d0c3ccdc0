// ErrorHandler: the main window's handler of the database failures of its providers and cached
// datasets. Each failure is logged to ERRORES.TXT in the installation directory, its text is
// turned into a Spanish sentence when recognised, and the result is shown in the error dialog
// after a beep. The outcome for the failing operation travels only in the event's answer
// (rrAbort, daAbort): the handler raises nothing, and no failure of the log stops it.
//
// The installation directory (with its box when the settings are missing) and the user name are
// read afresh for every failure; the handler keeps no state between calls. It belongs to the
// window, which must outlive it, and runs on the user-interface thread.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/exceptions.h"
#include "base/format_settings.h"
#include "data/provider/provider_options.h"
#include "db/dataset/field_type.h"
#include "ui/posting_window.h"
#include "ui/ui_services.h"

class TComponent;
class TDataSet;

class ErrorHandler {
 public:
  // The local clock; tests fix it.
  using Clock = std::function<TDateTime()>;
  // Where log entries go: appends the bytes to the file at the path, false when it could not.
  using LogWriter = std::function<bool(const std::string& path, std::string_view bytes)>;

  // Without `clock` the local clock (Now), without `writeLog` AppendToFile.
  ErrorHandler(UiServices& ui, PostingWindow& window, const FormatSettings& settings,
               Clock clock = nullptr, LogWriter writeLog = nullptr);

  ErrorHandler(const ErrorHandler&) = delete;
  ErrorHandler& operator=(const ErrorHandler&) = delete;

  // The provider's update-error event, and the common path of every handled failure.
  //  - A message of exactly "Connection Closed Gracefully." is ignored: nothing is looked up,
  //    logged or shown, and `response` keeps its value.
  //  - Otherwise: the log entry, `response` := rrAbort, the translation of the branch (with
  //    `dataSet` and `sender`: a provider's error; with `dataSet` alone: a cached dataset's,
  //    which first sets the banner caption to the dataset's Name, ": " and the message, with a
  //    beep; without `dataSet`: a failure no event handled), a beep and the error dialog.
  // Only the message of `e` is read; `updateKind` is not read.
  void ManejarError(TComponent* sender, TDataSet* dataSet, const Exception& e,
                    TUpdateKind updateKind, TResolverResponse& response);

  // The cached dataset's edit, post and delete error events: `action` := daAbort, then
  // ManejarError without sender.
  void ManejarClientError(TDataSet& dataSet, EDatabaseError& e, TDataAction& action);

  // The status warning: a beep, then `text` as the banner's caption (its visibility unchanged).
  void mostrar_advertencia(const std::string& text);

  // An application-wide handler for failures that leave an event handler: the silent abort
  // shows nothing; anything else goes to ManejarError without dataset. The window does not
  // attach it, so such failures go to the default error display instead.
  void ENoManejada(TComponent* sender, const std::exception_ptr& failure);

 private:
  void WriteLogEntry(const std::string& message);
  std::string DisplayText(TComponent* sender, TDataSet* dataSet, const std::string& message);

  UiServices& ui_;
  PostingWindow& window_;
  FormatSettings settings_;
  Clock clock_;
  LogWriter write_log_;
};
