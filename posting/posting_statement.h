// The call of the posting procedure for a period and a point-of-sale prefix.
#pragma once

#include <string>

#include "base/date_time.h"
#include "base/format_settings.h"

// "select * from contado_quelmo_pref('<start>', '<end>', '<prefix>')": each date written with
// the short date format of `settings`, the prefix as typed; every text in single quotes with
// its inner single quotes doubled. The dates are sent as they are, even when the start date is
// later than the end date: the procedure judges them.
std::string PostingStatement(TDateTime startDate, TDateTime endDate, const std::string& prefix,
                             const FormatSettings& settings);
