// The navigator bar of the adjustment editor over the rows F5 prepares: which buttons are
// enabled as the row and the state change, what a click does, and Prior held down.
#include <QApplication>
#include <QTest>
#include <QToolButton>

#include "adjustment_grid_fixture.h"
#include "data/client/client_dataset.h"

namespace {

using B = RecordNavigator;

class AdjustmentNavigatorTest : public AdjustmentGridTest {
 protected:
  // The buttons as "FPNLIDC", a letter for each enabled one and "-" for each disabled one.
  std::string Enabled() const {
    static constexpr char kLetters[] = "FPNLIDC";
    std::string out;
    for (int b = 0; b < B::kButtonCount; ++b) {
      out += Navigator().ButtonAt(static_cast<B::Button>(b))->isEnabled() ? kLetters[b] : '-';
    }
    return out;
  }
  void Click(B::Button button) {
    QTest::mouseClick(Navigator().ButtonAt(button), Qt::LeftButton);
    QCoreApplication::processEvents();
  }
};

TEST_F(AdjustmentNavigatorTest, EnabledButtonsFollowTheRowAndTheState) {
  OpenEditor();
  struct Step {
    const char* what;
    std::function<void()> act;
    const char* enabled;
  };
  const Step steps[] = {
      {"opened: at the end", [] {}, "FP--ID-"},
      {"Up from the end", [&] { PressKey(Qt::Key_Up); }, "FPNLID-"},
      {"Up to the first row does not reach the beginning", [&] { PressKey(Qt::Key_Up); },
       "FPNLID-"},
      {"Ctrl+Home reaches it", [&] { PressKey(Qt::Key_Home, Qt::ControlModifier); }, "--NLID-"},
      {"editing", [&] { PressKey(Qt::Key_End), Type("1"); }, "--NLIDC"},
      {"Ctrl+End posts, at the end", [&] { PressKey(Qt::Key_End, Qt::ControlModifier); },
       "FP--ID-"},
      {"inserting", [&] { PressKey(Qt::Key_Insert); }, "FPNLIDC"},
      {"Cancel", [&] { Click(B::kCancel); }, "FP--ID-"},
      {"Down appends", [&] { PressKey(Qt::Key_Down); }, "FPNLIDC"},
      {"the dataset closes", [&] { Rows().Close(); }, "-------"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_EQ(Enabled(), step.enabled);
  }
}

TEST_F(AdjustmentNavigatorTest, AnEmptyRateListLeavesOnlyInsert) {
  database_.Execute("DELETE FROM TARIFA_IVA;");
  AdjustmentGrid& grid = OpenEditor();
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Enabled(), "----I--");
  EXPECT_EQ(grid.CurrentGlyph(), IndicatorGlyph::kNone);
  Click(B::kInsert);
  EXPECT_EQ(Shown(), std::vector<std::string>{"|||"});
  EXPECT_EQ(grid.CurrentGlyph(), IndicatorGlyph::kInsert);
  EXPECT_EQ(Enabled(), "FPNLIDC");
}

TEST_F(AdjustmentNavigatorTest, ButtonsMoveTheRowsAndLeaveTheFocusWhereItWas) {
  AdjustmentGrid& grid = OpenEditor();
  struct Step {
    B::Button button;
    int row;
    std::size_t rows;
  };
  const Step steps[] = {
      {B::kFirst, 0, 3}, {B::kNext, 1, 3},   {B::kNext, 2, 3},   {B::kPrior, 1, 3},
      {B::kLast, 2, 3},  {B::kInsert, 2, 4}, {B::kCancel, 2, 3},
  };
  for (QWidget* focus : {static_cast<QWidget*>(&grid), static_cast<QWidget*>(form_->Tusua())}) {
    SCOPED_TRACE(focus->metaObject()->className());
    focus->setFocus();
    for (const Step& step : steps) {
      SCOPED_TRACE(Navigator().ButtonAt(step.button)->objectName().toStdString());
      Click(step.button);
      EXPECT_EQ(CurrentRow(), step.row);
      EXPECT_EQ(Shown().size(), step.rows);
      EXPECT_EQ(QApplication::focusWidget(), focus);
    }
  }
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(AdjustmentNavigatorTest, DeleteAsksFirstAndDeletesOnlyOnOk) {
  OpenEditor();
  PressKey(Qt::Key_Home, Qt::ControlModifier);
  ui_.confirm_answer = false;
  Click(B::kDelete);
  EXPECT_EQ(ui_.Texts("confirm"), std::vector<std::string>{"Delete record?"});
  EXPECT_EQ(ShownColumn(2), (std::vector<std::string>{"19", "5", "0"}));
  ui_.confirm_answer = true;
  Click(B::kDelete);
  EXPECT_EQ(ShownColumn(2), (std::vector<std::string>{"5", "0"}));
  EXPECT_EQ(CurrentRow(), 0);
  EXPECT_EQ(ui_.Texts("confirm").size(), 2u);
}

// Held down, Prior moves once, then again and again: a user sees the rows run up.
TEST_F(AdjustmentNavigatorTest, PriorHeldDownRepeats) {
  AddRates({1, 2, 3, 4, 6, 7, 8, 9});
  OpenEditor();
  QToolButton* prior = Navigator().ButtonAt(B::kPrior);
  EXPECT_TRUE(prior->autoRepeat());
  EXPECT_EQ(prior->autoRepeatDelay(), 400);
  EXPECT_EQ(prior->autoRepeatInterval(), 100);
  EXPECT_TRUE(Navigator().ButtonAt(B::kNext)->autoRepeat());
  const int start = CurrentRow();
  QTest::mousePress(prior, Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(CurrentRow() <= start - 3, 10000);
  QTest::mouseRelease(prior, Qt::LeftButton);
  const int released = CurrentRow();
  QTest::qWait(300);
  EXPECT_EQ(CurrentRow(), released);
}

}  // namespace
