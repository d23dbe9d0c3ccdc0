#include "adjust/row_finder.h"

namespace {

bool Matches(const QString& cell, const FindRequest& request) {
  const Qt::CaseSensitivity cs = request.match_case ? Qt::CaseSensitive : Qt::CaseInsensitive;
  switch (request.match) {
    case MatchKind::kAnyPart:
      return cell.contains(request.text, cs);
    case MatchKind::kWholeField:
      return cell.compare(request.text, cs) == 0;
    case MatchKind::kBeginning:
      return cell.startsWith(request.text, cs);
  }
  return false;
}

}  // namespace

std::optional<int> FindPrefix(const CellTextOf& textOf, int rowCount, int column,
                              const QString& prefix, int from, int step) {
  for (int row = from; row >= 0 && row < rowCount; row += step) {
    if (textOf(row, column).startsWith(prefix, Qt::CaseInsensitive)) return row;
  }
  return std::nullopt;
}

std::optional<FoundCell> FindCell(const CellTextOf& textOf, int rowCount, int currentRow,
                                  const FindRequest& request) {
  int from = 0;
  int step = 1;
  switch (request.direction) {
    case SearchDirection::kUp:
      from = currentRow - 1;
      step = -1;
      break;
    case SearchDirection::kDown:
      from = currentRow + 1;
      break;
    case SearchDirection::kAll:
      break;
  }
  for (int row = from; row >= 0 && row < rowCount; row += step) {
    for (int column : request.columns) {
      if (Matches(textOf(row, column), request)) return FoundCell{row, column};
    }
  }
  return std::nullopt;
}
