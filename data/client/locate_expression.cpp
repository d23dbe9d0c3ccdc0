#include "data/client/locate_expression.h"

#include "base/exceptions.h"
#include "base/text.h"

namespace {

std::string Quoted(const std::string& text, bool addWildcard) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  if (addWildcard) out += '*';
  out += '\'';
  return out;
}

}  // namespace

std::string BuildLocateExpression(const std::vector<LocateTerm>& terms, bool partialKey) {
  std::string expr;
  for (std::size_t i = 0; i < terms.size(); ++i) {
    const LocateTerm& term = terms[i];
    if (i > 0) expr += " and ";
    if (term.IsNull) {
      expr += Format("[%s] IS NULL", term.FieldName);
      continue;
    }
    std::string value;
    switch (term.ValueKind) {
      case LocateTerm::Kind::kText:
        value = Quoted(term.ValueText, partialKey && i + 1 == terms.size());
        break;
      case LocateTerm::Kind::kNumber:
        value = term.ValueText;
        break;
      case LocateTerm::Kind::kDate:
        value = Quoted(term.ValueText, false);
        break;
      case LocateTerm::Kind::kUnsupported:
        DatabaseErrorFmt(kSFieldUnsupportedType, nullptr, term.FieldName);
    }
    expr += Format("[%s]=%s", term.FieldName, value);
  }
  return expr;
}

std::vector<std::string> SplitKeyFields(const std::string& keyFields) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= keyFields.size()) {
    std::size_t end = keyFields.find(';', start);
    if (end == std::string::npos) end = keyFields.size();
    std::string name = Trim(std::string_view(keyFields).substr(start, end - start));
    if (!name.empty()) names.push_back(std::move(name));
    start = end + 1;
  }
  return names;
}
