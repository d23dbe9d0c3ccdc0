#include "errors/default_error_display.h"

#include "base/exceptions.h"

namespace {

std::string MessageOf(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown failure";
  }
}

bool IsSilentAbort(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const EAbort&) {
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

std::string WithClosingPeriod(std::string_view text) {
  std::string shown(text);
  if (!shown.empty() && static_cast<unsigned char>(shown.back()) > '.') shown += '.';
  return shown;
}

void ShowDefaultError(const std::exception_ptr& failure, UiServices& ui) {
  if (IsSilentAbort(failure)) return;
  ui.ShowFailureBox(WithClosingPeriod(MessageOf(failure)));
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
