#include "posting/posting_statement.h"

#include "base/text.h"

std::string PostingStatement(TDateTime startDate, TDateTime endDate, const std::string& prefix,
                             const FormatSettings& settings) {
  return "select * from contado_quelmo_pref(" + QuotedStr(DateToStr(startDate, settings)) + ", " +
         QuotedStr(DateToStr(endDate, settings)) + ", " + QuotedStr(prefix) + ")";
}
