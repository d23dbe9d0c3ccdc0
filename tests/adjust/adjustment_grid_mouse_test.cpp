// The mouse in the grid of the adjustment editor: clicks on cells and on the indicator, column
// titles dragged to resize and to move columns, and the wheel.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

#include "adjust/records_model.h"
#include "adjustment_grid_fixture.h"
#include "data/client/client_dataset.h"

namespace {

class AdjustmentGridMouseTest : public AdjustmentGridTest {
 protected:
  // Drags with `button` on the title row from `from` to `to` (title row coordinates).
  void DragTitle(Qt::MouseButton button, QPoint from, QPoint to) {
    QWidget* titles = Grid().horizontalHeader()->viewport();
    QTest::mousePress(titles, button, Qt::NoModifier, from);
    // A drag begins once the mouse has moved some way with the button held.
    for (int step = 1; step <= 4; ++step) {
      const QPoint at = from + (to - from) * step / 4;
      QMouseEvent move(QEvent::MouseMove, at, titles->mapToGlobal(at), Qt::NoButton, button,
                       Qt::NoModifier);
      QApplication::sendEvent(titles, &move);
    }
    QTest::mouseRelease(titles, button, Qt::NoModifier, to);
    QCoreApplication::processEvents();
  }
  // The titles in their order on screen.
  QStringList TitlesOnScreen() const {
    const QHeaderView* header = Grid().horizontalHeader();
    QStringList titles;
    for (int place = 0; place < header->count(); ++place) {
      titles << Grid()
                    .Records()
                    .headerData(header->logicalIndex(place), Qt::Horizontal, Qt::DisplayRole)
                    .toString();
    }
    return titles;
  }
  void Wheel(int notches) {
    QWidget* viewport = Grid().viewport();
    const QPoint at = viewport->rect().center();
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
  }
};

TEST_F(AdjustmentGridMouseTest, ClicksMoveTheCurrentCellOpenTheEditorAndTakeTheFocus) {
  AdjustmentGrid& grid = OpenEditor();
  form_->Tusua()->setFocus();
  Click(0, 2);
  EXPECT_EQ(QApplication::focusWidget(), &grid);
  EXPECT_EQ(CurrentRow(), 0);
  EXPECT_EQ(grid.CurrentColumn(), 2);
  EXPECT_EQ(grid.Editor(), nullptr);
  Click(0, 2);  // the current cell
  ASSERT_NE(grid.Editor(), nullptr);
  EXPECT_EQ(grid.Editor()->text(), "19");
  EXPECT_EQ(Rows().State(), TDataSetState::dsBrowse);
  Click(1, 3);
  EXPECT_EQ(grid.Editor(), nullptr);
  EXPECT_EQ(CurrentRow(), 1);
  EXPECT_EQ(grid.CurrentColumn(), 3);

  // The indicator column: that row, the same column.
  QHeaderView* indicator = grid.verticalHeader();
  QTest::mouseClick(indicator->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(indicator->width() / 2, indicator->sectionViewportPosition(2) + 3));
  EXPECT_EQ(CurrentRow(), 2);
  EXPECT_EQ(grid.CurrentColumn(), 3);

  // Below the last row nothing moves, but the grid still takes the focus.
  form_->Tusua()->setFocus();
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(20, grid.viewport()->height() - 3));
  EXPECT_EQ(CurrentRow(), 2);
  EXPECT_EQ(QApplication::focusWidget(), &grid);
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(AdjustmentGridMouseTest, AClickOffANewRowLeftUntouchedDropsItAndLandsOnTheRowClicked) {
  OpenEditor();
  PressKey(Qt::Key_Up);
  PressKey(Qt::Key_Insert);  // 19, new, 5, 0
  ASSERT_EQ(Shown().size(), 4u);
  Click(3, 2);  // the row of 0
  EXPECT_EQ(Shown().size(), 3u);
  EXPECT_EQ(CurrentText(), "0");
}

TEST_F(AdjustmentGridMouseTest, DraggingTitlesResizesAndMovesColumnsTheIndicatorStayingFirst) {
  AdjustmentGrid& grid = OpenEditor();
  QHeaderView* titles = grid.horizontalHeader();
  const int width = titles->sectionSize(0);
  const int boundary = titles->sectionViewportPosition(0) + width - 1;
  DragTitle(Qt::LeftButton, QPoint(boundary, 5), QPoint(boundary + 20, 5));
  EXPECT_EQ(titles->sectionSize(0), width + 20);
  EXPECT_EQ(titles->sectionSize(1), width);

  const int porc = titles->sectionViewportPosition(2) + 10;
  DragTitle(Qt::LeftButton, QPoint(porc, 5), QPoint(5, 5));
  EXPECT_EQ(TitlesOnScreen(), (QStringList{"Porc", "F.Desde", "F.Hasta", "Factor"}));
  PressKey(Qt::Key_Home);
  EXPECT_EQ(grid.CurrentColumn(), 2);  // Porc, first on screen
  PressKey(Qt::Key_Right);
  EXPECT_EQ(grid.CurrentColumn(), 0);
  PressKey(Qt::Key_End);
  PressKey(Qt::Key_Tab);  // from the last column on screen to the first of a new row
  EXPECT_EQ(grid.CurrentColumn(), 2);
  EXPECT_EQ(CurrentRow(), 3);

  const int factor = titles->sectionViewportPosition(3) + 10;
  DragTitle(Qt::RightButton, QPoint(factor, 5), QPoint(2, 5));
  EXPECT_EQ(TitlesOnScreen(), (QStringList{"Factor", "Porc", "F.Desde", "F.Hasta"}));
  // The indicator column is no column of the model: it stays at the left edge.
  EXPECT_EQ(grid.verticalHeader()->x(), grid.frameWidth());
}

TEST_F(AdjustmentGridMouseTest, EachNotchOfTheWheelMovesTheCurrentRow) {
  OpenEditor();
  Wheel(2);  // away from the user: up
  EXPECT_EQ(CurrentRow(), 0);
  Wheel(-1);
  EXPECT_EQ(CurrentRow(), 1);
}

}  // namespace
