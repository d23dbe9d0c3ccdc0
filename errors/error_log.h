// The error log ERRORES.TXT: where it lies and what one entry holds.
//
// An entry is the date (short date format of the regional settings), ",", the time (long time
// format), ",", the user name, ",", the message exactly as it arrived, then CR LF. Nothing is
// quoted or escaped, so only the first three commas of an entry separate fields, and a message
// with line breaks spans several lines of the file.
#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"
#include "base/format_settings.h"

// `directory` + "/ERRORES.TXT"; an empty directory gives "/ERRORES.TXT".
std::string ErrorLogPath(std::string_view directory);

// The entry for a failure with `message` at `now`, by user `user`.
std::string ErrorLogEntry(TDateTime now, const FormatSettings& settings, std::string_view user,
                          std::string_view message);
