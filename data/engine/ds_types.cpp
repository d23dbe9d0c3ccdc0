#include "data/engine/ds_types.h"

#include <cstring>

#include "data/engine/text_util.h"

namespace engine {

const char* DSStatusText(DSStatus status) {
  switch (status) {
    case kDSOk:
      return "Success";
    case kDSBof:
      return "At beginning of table";
    case kDSEof:
      return "At end of table";
    case kDSNotFound:
      return "Record not found";
    case kDSNoCurrentRow:
      return "No current record";
    case kDSBadPacket:
      return "Invalid data packet";
    case kDSLayoutMismatch:
      return "Data packet does not match the dataset's columns";
    case kDSBadFieldNo:
      return "Invalid field number";
    case kDSBadValue:
      return "Invalid field value";
    case kDSBadBookmark:
      return "Invalid bookmark";
    case kDSNotVisible:
      return "Record is not visible";
    case kDSBadColumns:
      return "Invalid column descriptions";
    case kDSWriterState:
      return "Data packet writer used out of order";
    case kDSBadResults:
      return "Results do not match the change log";
    case kDSBadAction:
      return "Invalid reconcile action";
    case kDSBadFilter:
      return "Invalid filter";
    case kDSTooLarge:
      return "Data packet too large";
    default:
      return "Unknown dataset engine error";
  }
}

bool IsKnownType(std::uint8_t code) {
  switch (static_cast<DSType>(code)) {
    case DSType::kText:
    case DSType::kDate:
    case DSType::kLogical:
    case DSType::kSmallInt:
    case DSType::kInteger:
    case DSType::kFloat:
    case DSType::kBcd:
    case DSType::kTime:
    case DSType::kDateTime:
    case DSType::kWord:
    case DSType::kLargeInt:
    case DSType::kBytes:
    case DSType::kBlob:
    case DSType::kMemo:
      return true;
  }
  return false;
}

std::uint32_t FixedTypeSize(DSType type) {
  switch (type) {
    case DSType::kDate:
    case DSType::kInteger:
    case DSType::kTime:
      return 4;
    case DSType::kLogical:
    case DSType::kSmallInt:
    case DSType::kWord:
      return 2;
    case DSType::kFloat:
    case DSType::kDateTime:
    case DSType::kLargeInt:
      return 8;
    case DSType::kBcd:
      return 18;
    default:
      return 0;
  }
}

const DSAttr* FindAttr(const std::vector<DSAttr>& attrs, std::string_view name) {
  for (const DSAttr& a : attrs) {
    if (EqualsIgnoreCase(a.name, name)) return &a;
  }
  return nullptr;
}

DSValueView& DSValueView::operator=(const DSValueView& other) {
  if (this == &other) return *this;
  blank = other.blank;
  type = other.type;
  size = other.size;
  std::memcpy(own, other.own, sizeof own);
  data = other.data == other.own ? own : other.data;
  return *this;
}

std::string_view DSValueView::AsText() const {
  if (data == nullptr) return {};
  std::uint32_t n = size;
  if (type == DSType::kText && n > 0) --n;
  return {reinterpret_cast<const char*>(data), n};
}

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& ch : out) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

}  // namespace engine
