#include "tests/support/fixed_text.h"

#include <stdexcept>

namespace fixed_text {

namespace {

bool IsContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = {
      {{"a", "abc", "abcdefghij"}, true},  {{"ñ", "ñaé", "Año con ñ"}, true},
      {{"é", "é", "ÿ ö"}, true},           {{"", " a", ""}, true},
      {{"€", "€𝄞a", "𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞"}, false}, {{"𝄞", "日本語", "€ 日"}, false},
  };
  return rows;
}

std::string Script(bool utf8) {
  std::string script =
      "create table TEXTOS (ID integer not null primary key, LATIN1 smallint, C1 char(1), "
      "C3 char(3), C10 char(10));\n";
  int id = 0;
  for (const Row& row : Rows()) {
    ++id;
    if (!row.latin1 && !utf8) continue;
    script += "insert into TEXTOS values (" + std::to_string(id) + ", " + (row.latin1 ? "1" : "0") +
              ", '" + row.values[0] + "', '" + row.values[1] + "', '" + row.values[2] + "');\n";
  }
  return script;
}

std::string Expected(std::string_view utf8, int characters, bool latin1) {
  std::string out;
  int count = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (!IsContinuation(utf8[i])) ++count;
    if (!latin1) {
      out += utf8[i];
      continue;
    }
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      out += utf8[i];
    } else if (lead == 0xC2 || lead == 0xC3) {
      out += static_cast<char>(((lead & 0x03) << 6) | (utf8[++i] & 0x3F));
    } else {
      throw std::invalid_argument("not an ISO8859_1 character");
    }
  }
  out.append(static_cast<std::size_t>(characters - count), ' ');
  return out;
}

}  // namespace fixed_text
