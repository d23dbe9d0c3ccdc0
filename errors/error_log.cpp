#include "errors/error_log.h"

std::string ErrorLogPath(std::string_view directory) {
  return std::string(directory) + "/ERRORES.TXT";
}

std::string ErrorLogEntry(TDateTime now, const FormatSettings& settings, std::string_view user,
                          std::string_view message) {
  std::string entry = DateToStr(now, settings);
  entry += ',';
  entry += TimeToStr(now, settings);
  entry += ',';
  entry += user;
  entry += ',';
  entry += message;
  entry += "\r\n";
  return entry;
}
