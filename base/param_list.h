// ParamList: the connection parameter list, an ordered list of "name=value" lines.
//
// A line's name is the text before its first "=" (a line without "=" has no name and is never
// matched). Names are compared without regard to ASCII letter case and the first matching line
// wins. Values are kept exactly as given: no trimming.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class ParamList {
 public:
  ParamList() = default;
  ParamList(std::initializer_list<std::string> lines) : lines_(lines) {}

  const std::vector<std::string>& Lines() const noexcept { return lines_; }
  int Count() const noexcept { return static_cast<int>(lines_.size()); }
  void Clear() { lines_.clear(); }

  // Appends `line` as it stands.
  void Add(std::string line) { lines_.push_back(std::move(line)); }

  // REQUIRES: 0 <= index < Count(); otherwise throws EListError.
  void Delete(int index);

  // Index of the first line whose name matches; -1 when none does.
  int IndexOfName(std::string_view name) const;

  // The value of the first matching line; empty when absent.
  std::string Value(std::string_view name) const;

  // Replaces the first matching line by name (as written here) + "=" + value, or appends such a
  // line when none matches. An empty value keeps the line, with an empty value.
  void SetValue(std::string_view name, std::string_view value);

  // Name and value of line `index`. REQUIRES: 0 <= index < Count(); otherwise EListError.
  std::string NameAt(int index) const;
  std::string ValueAt(int index) const;

  bool operator==(const ParamList&) const = default;

 private:
  std::vector<std::string> lines_;
};
