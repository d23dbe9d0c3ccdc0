// Where the failures of the grid go: a post that fails reaches the error event of CAjuste (which
// the window's wiring attaches to the error handler; here a stand-in that records), or, with no
// event attached, the default display; and the window's command keys reach the window first
// while the grid has the focus.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <algorithm>

#include "adjust/adjustment_panel.h"
#include "adjustment_grid_fixture.h"
#include "data/client/client_dataset.h"
#include "datamodule/posting_data_module.h"

namespace {

TEST_F(AdjustmentGridTest, PostingAHandAddedRowFailsThroughThePostErrorEventAndTheRowStays) {
  struct Case {
    const char* what;
    bool wired;  // an error event attached as the wiring walk attaches the handler
    std::vector<std::string> events;
    std::vector<std::string> failures;
  };
  const Case cases[] = {
      {"error event attached: it answers abort, nothing more is shown",
       true,
       {2, "CAjuste: Field 'AJCI_ID' must have a value"},
       {}},
      {"no error event: the default display", false, {}, {2, "Field 'AJCI_ID' must have a value."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AdjustmentGrid& grid = OpenEditor();
    std::vector<std::string> events;
    Rows().OnPostError = nullptr;
    if (c.wired) {
      Rows().OnPostError = [&](TDataSet& dataSet, EDatabaseError& e, TDataAction& action) {
        events.push_back(dataSet.Name() + ": " + e.Message());
        action = TDataAction::daAbort;
      };
    }
    PressKey(Qt::Key_Down);  // a new row at the end
    PressKey(Qt::Key_Right);
    PressKey(Qt::Key_Right);
    Type("7");
    // Each way off the row tries to post it, and fails the same way.
    PressKey(Qt::Key_Up);
    Click(0, 2);
    EXPECT_EQ(events, c.events);
    EXPECT_EQ(ui_.Texts("failure"), c.failures);
    EXPECT_EQ(Rows().State(), TDataSetState::dsInsert);
    EXPECT_EQ(CurrentRow(), 3);
    EXPECT_EQ(ShownColumn(2).back(), "7");
    EXPECT_EQ(grid.CurrentGlyph(), IndicatorGlyph::kInsert);
    // Until it is cancelled.
    QTest::mouseClick(Navigator().ButtonAt(RecordNavigator::kCancel), Qt::LeftButton);
    EXPECT_EQ(Shown().size(), 3u);
    EXPECT_EQ(Rows().State(), TDataSetState::dsBrowse);
    form_.reset();
    ui_.calls.clear();
  }
}

// With commands that record, the panel shown by hand over the closed rows.
TEST_F(PostingFormTest, CommandKeysInTheGridReachTheWindowFirst) {
  InstallDefault();
  RecordingPostingForm& form = Open();
  form.ShowAdjustmentPanel();
  form.FocusAdjustmentGrid();
  ASSERT_EQ(QApplication::focusWidget(), form.AdjustmentEditorPanel()->Grid());
  PressKey(Qt::Key_F5);
  PressKey(Qt::Key_F5, Qt::ControlModifier);
  PressKey(Qt::Key_F2);
  PressKey(Qt::Key_Escape, Qt::ShiftModifier);
  EXPECT_EQ(form.handlers, (std::vector<std::string>{"AdjustmentF5Command", "AdjustmentF2PreStep",
                                                     "SpeedButton3Click"}));
  EXPECT_TRUE(form.isVisible());
  PressKey(Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible());
}

// With the window's own wiring: the handler logs the failure, puts it in the banner, beeps twice
// and shows the translated sentence once; the row stays being inserted.
TEST_F(AdjustmentGridTest, AHandAddedRowWithoutItsIdIsReportedByTheWindowsHandler) {
  OpenEditor();
  PressKey(Qt::Key_Down);  // a new row at the end
  PressKey(Qt::Key_Right);
  PressKey(Qt::Key_Right);
  Type("7");
  PressKey(Qt::Key_Up);
  EXPECT_EQ(ui_.Texts("error"), std::vector<std::string>{"Los campos AJCI_ID,  son obligatorios."});
  EXPECT_EQ(ui_.Texts("beep").size(), 2u);
  EXPECT_TRUE(ui_.Texts("failure").empty());
  EXPECT_EQ(form_->BannerCaption(), "CAjuste: Field 'AJCI_ID' must have a value");
  EXPECT_EQ(Rows().State(), TDataSetState::dsInsert);
  EXPECT_EQ(ShownColumn(2).back(), "7");
}

// Ctrl+Delete answered OK, a factor typed, then F5: the table holds exactly what the grid showed.
TEST_F(AdjustmentGridTest, DeletionsAndEditsAreSentWhenF5Saves) {
  OpenEditor(CommaSettings());
  ASSERT_EQ(Shown().size(), 3u);
  Click(0, 2);
  ui_.confirm_answer = true;
  PressKey(Qt::Key_Delete, Qt::ControlModifier);
  ASSERT_EQ(Shown().size(), 2u);
  const std::vector<std::string> rates = ShownColumn(2);
  Click(0, 3);
  Type("0,85");  // a printable character opens the cell editor
  PressKey(Qt::Key_Down);
  PressKey(Qt::Key_F5);
  EXPECT_FALSE(form_->AdjustmentPanelVisible());
  EXPECT_TRUE(ui_.Texts("error").empty());
  form_.reset();
  std::vector<std::string> table = database_.Query(
      "SELECT CAST(AJCI_PORC AS INTEGER) || ' ' || AJCI_FACTOR FROM AJUSTE_CIERRE "
      "WHERE AJCI_FECINI = '2026-10-01'");
  std::sort(table.begin(), table.end());
  std::vector<std::string> expected = {rates[0] + " 0.8500", rates[1] + " 0.8000"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(table, expected);
}

}  // namespace
