// Fixed-length text for tests that read CHAR columns through a layer: a table TEXTOS whose
// CHAR(1), CHAR(3) and CHAR(10) columns hold ASCII and non-ASCII text, and the value each must
// read as in the character set the client receives.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fixed_text {

// The declared lengths of C1, C3 and C10, in characters.
inline constexpr int kLengths[] = {1, 3, 10};

struct Row {
  std::string values[3];  // of C1, C3 and C10, in UTF-8
  bool latin1;            // every character exists in ISO8859_1
};

// In the order of their ids (1, 2, ...); a row with characters outside ISO8859_1 is held by UTF8
// databases only.
const std::vector<Row>& Rows();

// Statements that create TEXTOS (ID, LATIN1, C1, C3, C10) and fill it with the rows a database of
// character set UTF8 (`utf8`) or ISO8859_1 holds, for a tool connected in UTF8. LATIN1 is 1 for a
// row of ISO8859_1 characters only.
std::string Script(bool utf8);

// What a CHAR(`characters`) holding `utf8` reads as: the text blank-padded to its characters, in
// UTF-8, or in ISO8859_1 when `latin1`.
std::string Expected(std::string_view utf8, int characters, bool latin1);

}  // namespace fixed_text
