// Typing into the grid of the adjustment editor: what each column takes, how typed text reaches
// the fields when a cell is left, the messages of texts that cannot be read, the month calendar,
// and what happens as the grid loses the focus.
#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "adjust/date_cell_editor.h"
#include "adjust/records_model.h"
#include "adjustment_grid_fixture.h"
#include "data/client/client_dataset.h"
#include "db/dataset/field.h"

namespace {

constexpr int kFecIni = 0;
constexpr int kFecFin = 1;
constexpr int kPorc = 2;
constexpr int kFactor = 3;

class AdjustmentGridEditingTest : public AdjustmentGridTest {
 protected:
  // The editor open on the middle row (rate 5), the cell of `column` current.
  AdjustmentGrid& OnMiddleRow(int column, const FormatSettings& settings = CommaSettings()) {
    AdjustmentGrid& grid = OpenEditor(settings);
    PressKey(Qt::Key_Up);
    PressKey(Qt::Key_Home);
    for (int i = 0; i < column; ++i) PressKey(Qt::Key_Right);
    return grid;
  }
  std::int64_t FactorOfMiddleRow() {
    Rows().First();
    Rows().Next();
    return Rows().FieldByName("AJCI_FACTOR").AsCurrency().Raw();
  }
};

TEST_F(AdjustmentGridEditingTest, EachColumnTakesOnlyItsCharacters) {
  struct Case {
    int column;
    QChar typed;
    bool taken;
  };
  const Case cases[] = {
      {kPorc, 'a', false},   {kPorc, '.', false},  {kPorc, ' ', false},  {kFactor, 'x', false},
      {kFactor, '/', false}, {kPorc, '7', true},   {kFactor, ',', true}, {kFactor, '+', true},
      {kFactor, '-', true},  {kFecIni, 'x', true}, {kFecFin, '.', true},
  };
  AdjustmentGrid& grid = OnMiddleRow(kFecIni);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.typed.toLatin1()) + " in column " + std::to_string(c.column));
    while (grid.CurrentColumn() != c.column)
      PressKey(grid.CurrentColumn() < c.column ? Qt::Key_Right : Qt::Key_Left);
    const std::string before = CurrentText();
    Type(QString(c.typed));
    ASSERT_NE(grid.Editor(), nullptr) << "typing opens the editor, taken or not";
    EXPECT_EQ(grid.Editor()->text().toStdString(),
              c.taken ? std::string(1, c.typed.toLatin1()) : before);
    EXPECT_EQ(ui_.Texts("beep").size(), c.taken ? 0u : 1u);
    // A refused character leaves the row as it was; a taken one puts it into edit mode.
    EXPECT_EQ(Rows().State(), c.taken ? TDataSetState::dsEdit : TDataSetState::dsBrowse);
    EXPECT_EQ(grid.CurrentGlyph(), c.taken ? IndicatorGlyph::kEdit : IndicatorGlyph::kBrowse);
    Rows().Cancel();
    ui_.calls.clear();
  }
}

TEST_F(AdjustmentGridEditingTest, DecimalsAreStoredAsTypedAndShownInGeneralFormat) {
  struct Case {
    const char* typed;
    std::int64_t stored;  // scaled by 10,000
    const char* shown;
  };
  const Case cases[] = {
      {"0,75", 7500, "0,75"},  {"0,85", 8500, "0,85"},     {"1", 10000, "1"},
      {"1,500", 15000, "1,5"}, {"-2,25", -22500, "-2,25"}, {"", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    AdjustmentGrid& grid = OnMiddleRow(kFactor);
    if (*c.typed) {
      Type(c.typed);
    } else {
      Type("0");
      PressKey(Qt::Key_Backspace);
    }
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);  // leaving the cell writes the text
    EXPECT_TRUE(ui_.Texts("failure").empty());
    EXPECT_EQ(grid.CurrentColumn(), kPorc);
    EXPECT_EQ(Rows().FieldByName("AJCI_FACTOR").IsNull(), *c.typed == 0);
    EXPECT_EQ(Rows().FieldByName("AJCI_FACTOR").AsCurrency().Raw(), c.stored);
    PressKey(Qt::Key_Down);  // posts
    EXPECT_EQ(Rows().State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ShownColumn(kFactor)[1], c.shown);
    EXPECT_EQ(FactorOfMiddleRow(), c.stored);
  }
}

TEST_F(AdjustmentGridEditingTest, ATextThatCannotBeReadStopsTheMoveWithItsMessage) {
  struct Case {
    int column;
    const char* typed;
    const char* message;
  };
  const Case cases[] = {
      {kFecFin, "31/13/2026", "'31/13/2026' is not a valid date."},
      {kFecIni, "mañana", "'mañana' is not a valid date."},
      {kFactor, "1,2,3", "1,2,3 is not a valid BCD value."},
      {kPorc, "+-", "+- is not a valid BCD value."},
  };
  // Each way of leaving the cell: another row, the next cell, the cell before.
  const std::pair<Qt::Key, Qt::KeyboardModifiers> leaving[] = {
      {Qt::Key_Down, Qt::NoModifier},
      {Qt::Key_Tab, Qt::NoModifier},
      {Qt::Key_Backtab, Qt::ShiftModifier}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    AdjustmentGrid& grid = OnMiddleRow(c.column);
    const std::vector<std::string> before = Shown();
    Type(QString::fromUtf8(c.typed));
    for (const auto& [key, modifiers] : leaving) {
      PressKey(key, modifiers);
      EXPECT_EQ(ui_.Texts("failure"), std::vector<std::string>{c.message});
      EXPECT_EQ(CurrentRow(), 1);
      EXPECT_EQ(grid.CurrentColumn(), c.column);
      ASSERT_NE(grid.Editor(), nullptr);
      EXPECT_EQ(grid.Editor()->text().toStdString(), c.typed);  // the cell keeps the text
      ui_.calls.clear();
    }
    EXPECT_EQ(Rows().State(), TDataSetState::dsEdit);
    Rows().Cancel();
    EXPECT_EQ(Shown(), before);
  }
}

// The grid is left for the user-name field, which does nothing when it is entered or left.
TEST_F(AdjustmentGridEditingTest, LeavingTheGridWritesTheTextOrDropsAnUntouchedNewRow) {
  AdjustmentGrid& grid = OnMiddleRow(kFactor);
  Type("0,9");
  form_->Tusua()->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  EXPECT_EQ(Rows().FieldByName("AJCI_FACTOR").AsCurrency().Raw(), 9000);
  EXPECT_EQ(Rows().State(), TDataSetState::dsEdit);  // written, not posted
  EXPECT_TRUE(ui_.calls.empty());

  grid.setFocus(Qt::MouseFocusReason);
  PressKey(Qt::Key_End, Qt::ControlModifier);  // posts, last row
  PressKey(Qt::Key_Down);                      // a new row
  ASSERT_EQ(Shown().size(), 4u);
  form_->Tusua()->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  EXPECT_EQ(Shown().size(), 3u);
  EXPECT_EQ(Rows().State(), TDataSetState::dsBrowse);
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(AdjustmentGridEditingTest, LeavingTheGridWithATextThatCannotBeReadBringsTheFocusBack) {
  AdjustmentGrid& grid = OnMiddleRow(kFecIni);
  Type("30/02/2026");
  form_->Tusua()->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  EXPECT_EQ(ui_.Texts("failure"), std::vector<std::string>{"'30/02/2026' is not a valid date."});
  EXPECT_TRUE(grid.isAncestorOf(QApplication::focusWidget()) ||
              QApplication::focusWidget() == &grid);
}

TEST_F(AdjustmentGridEditingTest, OnlyTheFirstChangeOfTheTextPutsTheRowIntoEditMode) {
  AdjustmentGrid& grid = OnMiddleRow(kPorc);
  Click(1, kPorc);  // the current cell: opens the editor
  ASSERT_NE(grid.Editor(), nullptr);
  EXPECT_EQ(grid.Editor()->selectedText(), "5");
  EXPECT_EQ(Rows().State(), TDataSetState::dsBrowse);
  Type("1");
  EXPECT_EQ(Rows().State(), TDataSetState::dsEdit);
  Type("6");
  EXPECT_EQ(grid.Editor()->text(), "16");
  // Left inside the text moves the caret; at its start it moves to the column on the left.
  PressKey(Qt::Key_Left);
  PressKey(Qt::Key_Left);
  EXPECT_EQ(grid.CurrentColumn(), kPorc);
  PressKey(Qt::Key_Left);
  EXPECT_EQ(grid.CurrentColumn(), kFecFin);
  EXPECT_EQ(ShownColumn(kPorc)[1], "16");
}

TEST_F(AdjustmentGridEditingTest, KeysTheEditorHandsToTheGrid) {
  struct Case {
    const char* what;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int row, column;  // where the current cell ends
    std::size_t rows;
  };
  const Case cases[] = {
      {"Up", Qt::Key_Up, Qt::NoModifier, 0, kPorc, 3},
      {"Down", Qt::Key_Down, Qt::NoModifier, 2, kPorc, 3},
      {"Tab", Qt::Key_Tab, Qt::NoModifier, 1, kFactor, 3},
      {"Enter", Qt::Key_Return, Qt::NoModifier, 1, kFactor, 3},
      {"Ctrl+Right", Qt::Key_Right, Qt::ControlModifier, 1, kFactor, 3},
      {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier, 0, kPorc, 3},
      {"Ctrl+Left", Qt::Key_Left, Qt::ControlModifier, 1, kFecIni, 3},
      {"Insert", Qt::Key_Insert, Qt::NoModifier, 1, kPorc, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AdjustmentGrid& grid = OnMiddleRow(kPorc);
    Type("7");
    PressKey(Qt::Key_Left);  // inside the text: stays
    ASSERT_EQ(grid.CurrentColumn(), kPorc);
    PressKey(c.key, c.modifiers);
    EXPECT_EQ(CurrentRow(), c.row);
    EXPECT_EQ(grid.CurrentColumn(), c.column);
    EXPECT_EQ(Shown().size(), c.rows);
    // The 7 went into the row whichever way the cell was left (a new row left untouched goes
    // as the dataset moves).
    Rows().First();
    Rows().Next();
    EXPECT_EQ(Rows().FieldByName("AJCI_PORC").AsString(), "7");
    EXPECT_TRUE(ui_.calls.empty());
  }
}

TEST_F(AdjustmentGridEditingTest, CtrlQuoteCopiesTheValueOfTheRowAbove) {
  AdjustmentGrid& grid = OnMiddleRow(kPorc);
  PressKey(Qt::Key_Apostrophe, Qt::ControlModifier);
  ASSERT_NE(grid.Editor(), nullptr);
  EXPECT_EQ(grid.Editor()->text(), "19");
  EXPECT_EQ(grid.Editor()->selectedText(), "19");
  EXPECT_EQ(Rows().State(), TDataSetState::dsEdit);
  EXPECT_EQ(Rows().FieldByName("AJCI_PORC").AsString(), "19");
  PressKey(Qt::Key_Up);
  // On the top row there is nothing above: the editor opens on the row's own value.
  PressKey(Qt::Key_Apostrophe, Qt::ControlModifier);
  ASSERT_NE(grid.Editor(), nullptr);
  EXPECT_EQ(grid.Editor()->text(), "19");
  EXPECT_EQ(Rows().State(), TDataSetState::dsBrowse);
  EXPECT_EQ(ShownColumn(kPorc), (std::vector<std::string>{"19", "19", "0"}));
}

TEST_F(AdjustmentGridEditingTest, TheMonthCalendarTakesItsKeysAndEscClosesOnlyIt) {
  AdjustmentGrid& grid = OnMiddleRow(kFecFin);
  Click(1, kFecFin);
  auto* editor = qobject_cast<DateCellEditor*>(grid.Editor());
  ASSERT_NE(editor, nullptr);
  auto calendarKey = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
    QCoreApplication::processEvents();
  };

  PressKey(Qt::Key_Down, Qt::AltModifier);
  ASSERT_NE(editor->Popup(), nullptr);
  ASSERT_TRUE(editor->Popup()->isVisible());
  EXPECT_EQ(editor->Popup()->Calendar()->selectedDate(), QDate(2026, 10, 31));
  calendarKey(Qt::Key_Escape);
  EXPECT_FALSE(editor->Popup()->isVisible());
  EXPECT_TRUE(form_->isVisible());
  EXPECT_EQ(editor->text(), "31/10/2026");
  EXPECT_EQ(Rows().State(), TDataSetState::dsBrowse);

  PressKey(Qt::Key_Return, Qt::ControlModifier);
  ASSERT_TRUE(editor->Popup()->isVisible());
  calendarKey(Qt::Key_Right);   // 1 November
  calendarKey(Qt::Key_Down);    // 8 November
  calendarKey(Qt::Key_PageUp);  // 8 October
  calendarKey(Qt::Key_Return);
  EXPECT_FALSE(editor->Popup()->isVisible());
  EXPECT_EQ(editor->text(), "08/10/2026");
  EXPECT_EQ(Rows().State(), TDataSetState::dsEdit);

  QTest::mouseClick(editor->DropDownButton(), Qt::LeftButton);
  ASSERT_TRUE(editor->Popup()->isVisible());
  EXPECT_EQ(editor->Popup()->Calendar()->selectedDate(), QDate(2026, 10, 8));
  calendarKey(Qt::Key_Left);
  calendarKey(Qt::Key_Up, Qt::AltModifier);
  EXPECT_EQ(editor->text(), "07/10/2026");
  PressKey(Qt::Key_Down);
  EXPECT_EQ(ShownColumn(kFecFin)[1], "07/10/2026");
  EXPECT_TRUE(ui_.calls.empty());
}

}  // namespace
