#include "errors/failure_message.h"

#include "base/exceptions.h"

std::string FailureMessage(const std::exception_ptr& failure) {
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
