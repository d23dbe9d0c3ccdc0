// Searching the grid's rows for a text, as the incremental search and the find dialog do. Rows
// are read through a function, so the search moves nothing: only its result is acted on.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

// The text of a cell of the grid.
using CellTextOf = std::function<QString(int row, int column)>;

enum class MatchKind { kAnyPart, kWholeField, kBeginning };
enum class SearchDirection { kUp, kDown, kAll };

struct FoundCell {
  int row = -1;
  int column = -1;
  bool operator==(const FoundCell&) const = default;
};

// The first row from `from` on, stepping by `step` (+1 or -1), whose text in `column` begins
// with `prefix`, ignoring case; nothing when none does or `from` lies outside the rows.
std::optional<int> FindPrefix(const CellTextOf& textOf, int rowCount, int column,
                              const QString& prefix, int from, int step);

struct FindRequest {
  QString text;
  std::vector<int> columns;  // searched left to right within each row
  MatchKind match = MatchKind::kAnyPart;
  bool match_case = false;
  // Up: from the row before `current_row` upwards; Down: from the row after it downwards; All:
  // from the first row downwards.
  SearchDirection direction = SearchDirection::kAll;
};

// The first cell that matches, in the order the request's direction walks the rows.
std::optional<FoundCell> FindCell(const CellTextOf& textOf, int rowCount, int currentRow,
                                  const FindRequest& request);
