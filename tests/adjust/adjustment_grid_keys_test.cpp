// The grid of the adjustment editor driven with keys as a user would, over the rows F5 prepares:
// every key that changes the current row, the column or the state, and the rules for a new row
// left untouched.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <functional>

#include "adjust/records_model.h"
#include "adjustment_grid_fixture.h"
#include "data/client/client_dataset.h"

namespace {

// The rates the key tests add, so that there are more rows than the grid shows at once.
const std::vector<int> kMoreRates = {1, 2, 3, 4, 6, 7, 8, 9, 10, 11};

TEST_F(AdjustmentGridTest, OpeningShowsTheRowsWithTheLastCurrentAndTheCellHighlighted) {
  AdjustmentGrid& grid = OpenEditor(CommaSettings());
  EXPECT_EQ(Shown(),
            (std::vector<std::string>{"01/10/2026|31/10/2026|19|0,8", "01/10/2026|31/10/2026|5|0,8",
                                      "01/10/2026|31/10/2026|0|0,8"}));
  const RecordsModel& model = grid.Records();
  QStringList titles;
  for (int c = 0; c < model.columnCount(); ++c) {
    titles << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
  }
  EXPECT_EQ(titles, (QStringList{"F.Desde", "F.Hasta", "Porc", "Factor"}));
  const int alignments[] = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(
        model.data(model.index(0, c), Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
        alignments[c])
        << c;
  }
  // Widths: "0" times 10 characters for the dates, 16 for the decimals, plus 4.
  const int zero = grid.fontMetrics().horizontalAdvance('0');
  EXPECT_EQ(grid.columnWidth(0), zero * 10 + 4);
  EXPECT_EQ(grid.columnWidth(3), zero * 16 + 4);

  EXPECT_EQ(CurrentRow(), 2);
  EXPECT_EQ(grid.CurrentColumn(), 0);
  EXPECT_EQ(QApplication::focusWidget(), &grid);
  EXPECT_EQ(grid.CurrentGlyph(), IndicatorGlyph::kBrowse);
  // The current cell is painted in the highlight colour while the grid has the focus only.
  const QRect cell = grid.visualRect(model.index(2, 0));
  const QColor highlight = grid.palette().color(QPalette::Highlight);
  EXPECT_EQ(grid.viewport()->grab().toImage().pixelColor(cell.left() + 1, cell.top() + 1),
            highlight);
  form_->Pref()->setFocus();
  EXPECT_NE(grid.viewport()->grab().toImage().pixelColor(cell.left() + 1, cell.top() + 1),
            highlight);
}

struct MoveCase {
  const char* what;
  int row, column;  // where the case starts
  std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
  // Where it ends; a row below 0 is worked out from the view before the keys (see below).
  int to_row, to_column;
};

constexpr int kTopVisible = -1;
constexpr int kBottomVisible = -2;
constexpr int kPageDown = -3;  // the start row plus the rows shown at once
constexpr int kPageUp = -4;

TEST_F(AdjustmentGridTest, KeysMoveTheCurrentCell) {
  AddRates(kMoreRates);
  AdjustmentGrid& grid = OpenEditor();
  const int last = static_cast<int>(kMoreRates.size()) + 2;
  ASSERT_EQ(Grid().Records().rowCount(), last + 1);
  const auto none = Qt::NoModifier;
  const auto ctrl = Qt::ControlModifier;
  const auto shift = Qt::ShiftModifier;
  const MoveCase cases[] = {
      {"Right", 4, 0, {{Qt::Key_Right, none}}, 4, 1},
      {"Right stops at the last column", 4, 3, {{Qt::Key_Right, none}}, 4, 3},
      {"Left", 4, 2, {{Qt::Key_Left, none}}, 4, 1},
      {"Left stops at the first column", 4, 0, {{Qt::Key_Left, none}}, 4, 0},
      {"Home", 4, 2, {{Qt::Key_Home, none}}, 4, 0},
      {"End", 4, 1, {{Qt::Key_End, none}}, 4, 3},
      {"Ctrl+Left", 4, 3, {{Qt::Key_Left, ctrl}}, 4, 0},
      {"Ctrl+Right", 4, 0, {{Qt::Key_Right, ctrl}}, 4, 3},
      {"Up", 4, 1, {{Qt::Key_Up, none}}, 3, 1},
      {"Up on the first row", 0, 1, {{Qt::Key_Up, none}}, 0, 1},
      {"Down", 4, 1, {{Qt::Key_Down, none}}, 5, 1},
      {"PgDn", 0, 2, {{Qt::Key_PageDown, none}}, kPageDown, 2},
      {"PgUp", last, 2, {{Qt::Key_PageUp, none}}, kPageUp, 2},
      {"Ctrl+PgUp", 9, 1, {{Qt::Key_PageUp, ctrl}}, kTopVisible, 1},
      {"Ctrl+Up", 9, 1, {{Qt::Key_Up, ctrl}}, kTopVisible, 1},
      {"Ctrl+PgDn", 1, 1, {{Qt::Key_PageDown, ctrl}}, kBottomVisible, 1},
      {"Ctrl+Down", 1, 1, {{Qt::Key_Down, ctrl}}, kBottomVisible, 1},
      {"Ctrl+Home", 7, 2, {{Qt::Key_Home, ctrl}}, 0, 2},
      {"Ctrl+End", 3, 2, {{Qt::Key_End, ctrl}}, last, 2},
      {"Tab", 4, 1, {{Qt::Key_Tab, none}}, 4, 2},
      {"Enter", 4, 1, {{Qt::Key_Return, none}}, 4, 2},
      {"Tab from the last column", 4, 3, {{Qt::Key_Tab, none}}, 5, 0},
      {"Enter from the last column", 4, 3, {{Qt::Key_Enter, none}}, 5, 0},
      {"Shift+Tab", 4, 2, {{Qt::Key_Backtab, shift}}, 4, 1},
      {"Shift+Enter", 4, 2, {{Qt::Key_Return, shift}}, 4, 1},
      {"Shift+Tab from the first column", 4, 0, {{Qt::Key_Backtab, shift}}, 3, 3},
      {"Shift+Tab on the first cell", 0, 0, {{Qt::Key_Backtab, shift}}, 0, 3},
  };
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(c.what);
    Rows().First();
    Rows().MoveBy(c.row);
    PressKey(Qt::Key_Home);
    for (int i = 0; i < c.column; ++i) PressKey(Qt::Key_Right);
    ASSERT_EQ(CurrentRow(), c.row);
    ASSERT_EQ(grid.CurrentColumn(), c.column);
    int expected = c.to_row;
    if (expected == kTopVisible) expected = grid.rowAt(0);
    if (expected == kBottomVisible) expected = grid.rowAt(grid.viewport()->height() - 1) - 1;
    if (expected == kPageDown) expected = c.row + grid.VisibleRowCount();
    if (expected == kPageUp) expected = c.row - grid.VisibleRowCount();
    for (const auto& [key, modifiers] : c.keys) PressKey(key, modifiers);
    EXPECT_EQ(CurrentRow(), expected);
    EXPECT_EQ(grid.CurrentColumn(), c.to_column);
    EXPECT_EQ(Rows().State(), TDataSetState::dsBrowse);
    EXPECT_EQ(QApplication::focusWidget(), &grid);
  }
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(AdjustmentGridTest, PagingKeysAndTheirCtrlFormsReachTheRowsOnScreen) {
  AddRates(kMoreRates);
  AdjustmentGrid& grid = OpenEditor();
  const int shown = grid.VisibleRowCount();
  ASSERT_LT(shown, grid.Records().rowCount()) << "the grid must show fewer rows than it has";
  PressKey(Qt::Key_Home, Qt::ControlModifier);
  PressKey(Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(CurrentRow(), shown - 1);  // the bottom row on screen, the top one still first
  EXPECT_EQ(grid.rowAt(0), 0);
  PressKey(Qt::Key_PageDown);
  EXPECT_EQ(CurrentRow(), 2 * shown - 1);
  PressKey(Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(CurrentRow(), grid.rowAt(0));
  EXPECT_GT(grid.rowAt(0), 0);
}

TEST_F(AdjustmentGridTest, DownOnTheLastRowAppendsARowThatUpRemovesAgain) {
  AdjustmentGrid& grid = OpenEditor();
  PressKey(Qt::Key_Down);
  EXPECT_EQ(Shown().size(), 4u);
  EXPECT_EQ(Shown().back(), "|||");
  EXPECT_EQ(CurrentRow(), 3);
  EXPECT_EQ(Rows().State(), TDataSetState::dsInsert);
  EXPECT_EQ(grid.CurrentGlyph(), IndicatorGlyph::kInsert);
  EXPECT_TRUE(Navigator().ButtonAt(RecordNavigator::kCancel)->isEnabled());

  PressKey(Qt::Key_Down);  // untouched at the end: nothing
  EXPECT_EQ(Shown().size(), 4u);
  EXPECT_EQ(CurrentRow(), 3);

  PressKey(Qt::Key_Up);
  EXPECT_EQ(Shown().size(), 3u);
  EXPECT_EQ(CurrentRow(), 2);
  EXPECT_EQ(Rows().State(), TDataSetState::dsBrowse);
  EXPECT_EQ(grid.CurrentGlyph(), IndicatorGlyph::kBrowse);
  EXPECT_FALSE(Navigator().ButtonAt(RecordNavigator::kCancel)->isEnabled());
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_EQ(Rows().ChangeCount(), 3);  // the preparation's three insertions only
}

TEST_F(AdjustmentGridTest, InsertPutsANewRowBeforeTheCurrentOneThatDownDropsAndMovesOn) {
  AdjustmentGrid& grid = OpenEditor();
  PressKey(Qt::Key_Up);  // the row of 5
  PressKey(Qt::Key_Insert);
  EXPECT_EQ(ShownColumn(2), (std::vector<std::string>{"19", "", "5", "0"}));
  EXPECT_EQ(CurrentRow(), 1);
  EXPECT_EQ(grid.CurrentGlyph(), IndicatorGlyph::kInsert);
  // Not at the end: Down drops it, and the row that stood below it is current.
  PressKey(Qt::Key_Down);
  EXPECT_EQ(ShownColumn(2), (std::vector<std::string>{"19", "5", "0"}));
  EXPECT_EQ(CurrentText(), "01/10/2026");
  EXPECT_EQ(Rows().FieldByName("AJCI_PORC").AsString(), "5");
  // Up on an untouched new row that is not at the end moves up and drops it on the way.
  PressKey(Qt::Key_Insert);
  PressKey(Qt::Key_Up);
  EXPECT_EQ(ShownColumn(2), (std::vector<std::string>{"19", "5", "0"}));
  EXPECT_EQ(Rows().FieldByName("AJCI_PORC").AsString(), "19");
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(AdjustmentGridTest, TabAndShiftTabWrapThroughTheRowsAndNeverLeaveTheGrid) {
  AdjustmentGrid& grid = OpenEditor();
  // Twelve Tabs from the first cell of the first row: three rows of four columns, then the
  // append past the last row.
  PressKey(Qt::Key_Home, Qt::ControlModifier);
  for (int i = 0; i < 12; ++i) PressKey(Qt::Key_Tab);
  EXPECT_EQ(CurrentRow(), 3);
  EXPECT_EQ(grid.CurrentColumn(), 0);
  EXPECT_EQ(Rows().State(), TDataSetState::dsInsert);
  EXPECT_EQ(QApplication::focusWidget(), &grid);
  // Four more on the untouched new row: the columns go round, the row stays.
  for (int i = 0; i < 4; ++i) PressKey(Qt::Key_Tab);
  EXPECT_EQ(CurrentRow(), 3);
  EXPECT_EQ(grid.CurrentColumn(), 0);
  // Shift+Tab from its first column removes it and lands on the last column of the row above.
  PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Shown().size(), 3u);
  EXPECT_EQ(CurrentRow(), 2);
  EXPECT_EQ(grid.CurrentColumn(), 3);
  for (int i = 0; i < 11; ++i) PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(CurrentRow(), 0);
  EXPECT_EQ(grid.CurrentColumn(), 0);
  EXPECT_EQ(QApplication::focusWidget(), &grid);
}

TEST_F(AdjustmentGridTest, CtrlDeleteAsksAndDeletesOnlyOnOk) {
  struct Case {
    bool answer;
    std::vector<std::string> porc;
  };
  for (const Case& c : {Case{false, {"19", "5", "0"}}, Case{true, {"19", "0"}}}) {
    SCOPED_TRACE(c.answer ? "OK" : "Cancel");
    AdjustmentGrid& grid = OpenEditor();
    PressKey(Qt::Key_Up);
    ui_.confirm_answer = c.answer;
    PressKey(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ui_.Texts("confirm"), std::vector<std::string>{"Delete record?"});
    EXPECT_EQ(ShownColumn(2), c.porc);
    EXPECT_EQ(QApplication::focusWidget(), &grid);
    // The deletion waits in the change log for the save: the three preparation rows, less the
    // one deleted (an insertion that is never sent).
    EXPECT_EQ(Rows().ChangeCount(), static_cast<std::int64_t>(c.porc.size()));
    ui_.calls.clear();
  }
}

TEST_F(AdjustmentGridTest, NothingToDeleteAsksNothing) {
  database_.Execute("DELETE FROM TARIFA_IVA;");
  OpenEditor();
  PressKey(Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(AdjustmentGridTest, EscInTheGridClosesTheWindowWithoutSaving) {
  OpenEditor();
  PressKey(Qt::Key_Up);
  Type("7");
  PressKey(Qt::Key_Escape);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_TRUE(ui_.calls.empty());
  form_.reset();
  EXPECT_TRUE(database_.Query("SELECT COUNT(*) FROM AJUSTE_CIERRE").at(0) == "0");
}

}  // namespace
