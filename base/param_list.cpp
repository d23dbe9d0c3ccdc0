#include "base/param_list.h"

#include "base/exceptions.h"
#include "base/text.h"

namespace {

// The name of a line, or no value when the line has no "=".
bool LineName(std::string_view line, std::string_view& name) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  name = line.substr(0, eq);
  return true;
}

}  // namespace

void ParamList::Delete(int index) {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  lines_.erase(lines_.begin() + index);
}

int ParamList::IndexOfName(std::string_view name) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    std::string_view line_name;
    if (LineName(lines_[i], line_name) && SameText(line_name, name)) return static_cast<int>(i);
  }
  return -1;
}

std::string ParamList::Value(std::string_view name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueAt(i);
}

void ParamList::SetValue(std::string_view name, std::string_view value) {
  std::string line(name);
  line += '=';
  line += value;
  const int i = IndexOfName(name);
  if (i < 0)
    lines_.push_back(std::move(line));
  else
    lines_[static_cast<size_t>(i)] = std::move(line);
}

std::string ParamList::NameAt(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  std::string_view name;
  return LineName(lines_[static_cast<size_t>(index)], name) ? std::string(name) : std::string();
}

std::string ParamList::ValueAt(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(Format("List index out of bounds (%d)", index));
  const std::string& line = lines_[static_cast<size_t>(index)];
  const size_t eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}
