#include "data/resolver/table_name.h"

#include <cctype>

#include "base/text.h"

namespace {

bool IsNameChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
}

// Reads the statement a token at a time, past blanks, comments and (at depth > 0) everything
// inside parentheses.
class Tokens {
 public:
  explicit Tokens(std::string_view sql) : sql_(sql) {}

  // The next token at parenthesis depth 0: a name, a quoted text, or one other character; empty
  // at the end.
  std::string_view Next() {
    for (;;) {
      SkipBlanks();
      if (pos_ >= sql_.size()) return {};
      const std::string_view token = Raw();
      if (token == "(") {
        ++depth_;
      } else if (token == ")") {
        if (depth_ > 0) --depth_;
        if (depth_ == 0) return token;
      } else if (depth_ == 0) {
        return token;
      }
    }
  }
  // The next character that is not blank or comment, without taking it; 0 at the end.
  char Peek() {
    SkipBlanks();
    return pos_ < sql_.size() ? sql_[pos_] : '\0';
  }
  // Takes a name right at the position (a bare or quoted name), or nothing.
  std::string_view Name() {
    if (pos_ >= sql_.size()) return {};
    if (sql_[pos_] == '"' || IsNameChar(sql_[pos_])) return Raw();
    return {};
  }
  void Skip(std::size_t n) { pos_ += n; }

 private:
  void SkipBlanks() {
    while (pos_ < sql_.size()) {
      const char c = sql_[pos_];
      if (static_cast<unsigned char>(c) <= ' ') {
        ++pos_;
      } else if (sql_.substr(pos_, 2) == "--") {
        const std::size_t end = sql_.find('\n', pos_);
        pos_ = end == std::string_view::npos ? sql_.size() : end + 1;
      } else if (sql_.substr(pos_, 2) == "/*") {
        const std::size_t end = sql_.find("*/", pos_ + 2);
        pos_ = end == std::string_view::npos ? sql_.size() : end + 2;
      } else {
        return;
      }
    }
  }
  std::string_view Raw() {
    const std::size_t start = pos_;
    const char c = sql_[pos_];
    if (c == '\'' || c == '"') {
      // A doubled quote stays inside the text.
      ++pos_;
      while (pos_ < sql_.size()) {
        if (sql_[pos_] == c) {
          if (pos_ + 1 < sql_.size() && sql_[pos_ + 1] == c) {
            pos_ += 2;
            continue;
          }
          ++pos_;
          break;
        }
        ++pos_;
      }
    } else if (IsNameChar(c)) {
      while (pos_ < sql_.size() && IsNameChar(sql_[pos_])) ++pos_;
    } else {
      ++pos_;
    }
    return sql_.substr(start, pos_ - start);
  }

  std::string_view sql_;
  std::size_t pos_ = 0;
  int depth_ = 0;
};

bool IsJoin(std::string_view word) {
  for (const char* join : {"JOIN", "INNER", "LEFT", "RIGHT", "FULL", "CROSS", "NATURAL"}) {
    if (SameText(word, join)) return true;
  }
  return false;
}

bool IsClause(std::string_view word) {
  for (const char* clause : {"WHERE", "GROUP", "ORDER", "HAVING", "PLAN", "ROWS", "FOR"}) {
    if (SameText(word, clause)) return true;
  }
  return false;
}

}  // namespace

std::string QuotedTableName(std::string_view name, std::string_view quote) {
  if (name.empty()) return {};
  const auto isQuote = [](char c) { return c == '"' || c == '\'' || c == '`'; };
  if (isQuote(name.front()) || isQuote(name.back()) || quote.empty()) return std::string(name);
  std::string out;
  for (int part = 1;; ++part) {
    const std::size_t dot = part < 3 ? name.find('.') : std::string_view::npos;
    out.append(quote).append(name.substr(0, dot)).append(quote);
    if (dot == std::string_view::npos) break;
    out += '.';
    name.remove_prefix(dot + 1);
  }
  return out;
}

std::string TableNameOfStatement(std::string_view sql) {
  Tokens tokens(sql);
  for (std::string_view t = tokens.Next(); !t.empty(); t = tokens.Next()) {
    if (!SameText(t, "FROM")) continue;
    tokens.Peek();
    std::string name(tokens.Name());
    if (name.empty()) return {};
    // Further parts of a dotted name.
    while (tokens.Peek() == '.') {
      tokens.Skip(1);
      tokens.Peek();
      const std::string_view part = tokens.Name();
      if (part.empty()) return {};
      name.append(".").append(part);
    }
    // A procedure's arguments, a second table, a join or a union: no single table.
    const char next = tokens.Peek();
    if (next == '(' || next == ',') return {};
    bool inFromList = true;  // until the first clause after the table and its alias
    for (t = tokens.Next(); !t.empty(); t = tokens.Next()) {
      if (SameText(t, "UNION") || (inFromList && (t == "," || IsJoin(t)))) return {};
      if (IsClause(t)) inFromList = false;
    }
    return name;
  }
  return {};
}
