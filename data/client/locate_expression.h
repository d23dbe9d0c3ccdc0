// The search text a locate compiles: one term per key field, joined by " and ": "[name] IS NULL"
// for a null value, else "[name]=value" with the value written as its field's kind asks.
#pragma once

#include <string>
#include <vector>

inline constexpr char kSFieldUnsupportedType[] = "Field '%s' is of an unsupported type";

struct LocateTerm {
  // How a value is written into the search text.
  enum class Kind {
    kText,        // quoted, inner quotes doubled
    kNumber,      // as the regional settings write it, unquoted
    kDate,        // quoted as it stands
    kUnsupported  // cannot be searched
  };
  std::string FieldName;
  Kind ValueKind = Kind::kText;
  bool IsNull = false;
  std::string ValueText;  // the value as the regional settings write it
};

// Builds the search text. `partialKey`: the last term, if text, matches as a prefix ("*" added
// inside the quotes). Throws EDatabaseError "Field '%s' is of an unsupported type" (no prefix)
// for an unsupported term that is not null.
std::string BuildLocateExpression(const std::vector<LocateTerm>& terms, bool partialKey);

// Splits "A;B;C" into field names (blanks around names dropped, empty names skipped).
std::vector<std::string> SplitKeyFields(const std::string& keyFields);
