#include "errors/default_error_display.h"

#include "errors/failure_message.h"

std::string WithClosingPeriod(std::string_view text) {
  std::string shown(text);
  if (!shown.empty() && static_cast<unsigned char>(shown.back()) > '.') shown += '.';
  return shown;
}

void ShowDefaultError(const std::exception_ptr& failure, UiServices& ui) {
  if (IsSilentAbort(failure)) return;
  ui.ShowFailureBox(WithClosingPeriod(FailureMessage(failure)));
}

bool RunHandler(UiServices& ui, const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (...) {
    ShowDefaultError(std::current_exception(), ui);
    return false;
  }
}
