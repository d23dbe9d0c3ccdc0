// Failures of the client library's calls in the benchmark, as exceptions with the server's text.
#pragma once

#include <ibase.h>

#include <stdexcept>
#include <string>

inline std::string IscStatusText(const ISC_STATUS* status) {
  std::string text;
  char buf[512];
  const ISC_STATUS* p = status;
  while (fb_interpret(buf, sizeof buf, &p) > 0) {
    if (!text.empty()) text += ' ';
    text += buf;
  }
  return text;
}

// Throws std::runtime_error when `status` reports a failure.
inline void Check(const ISC_STATUS* status) {
  if (status[0] == 1 && status[1] != 0) throw std::runtime_error(IscStatusText(status));
}
