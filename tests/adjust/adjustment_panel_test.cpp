// The adjustment editor panel as built into the window: caption bar, grid and navigator in their
// places, the grid's fixed options, and pictures of the editor for a person to look at.
#include "adjust/adjustment_panel.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include "adjust/find_dialog.h"
#include "adjust/records_model.h"
#include "adjustment_grid_fixture.h"
#include "app/bevel_panel.h"

namespace {

TEST_F(AdjustmentGridTest, PanelHoldsTheCaptionBarTheGridAndTheNavigatorInTheirPlaces) {
  AdjustmentGrid& grid = OpenEditor();
  ASSERT_EQ(grid.logicalDpiY(), 96) << "the literal sizes below hold at 96 dpi only";
  AdjustmentPanel& panel = *form_->AdjustmentEditorPanel();
  EXPECT_EQ(form_->AdvPanel1()->geometry(), QRect(24, 72, 305, 169));
  // Inside the one-pixel bevel: 20 pixels of caption, 18 of navigator, the grid between.
  EXPECT_EQ(panel.geometry(), QRect(1, 1, 303, 167));
  EXPECT_EQ(panel.CaptionBar()->geometry(), QRect(0, 0, 303, 20));
  EXPECT_EQ(grid.geometry(), QRect(0, 20, 303, 129));
  EXPECT_EQ(Navigator().geometry(), QRect(0, 149, 303, 18));
  EXPECT_EQ(panel.CaptionBar()->text(), "Tarifas");
  EXPECT_EQ(panel.CaptionBar()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
  const QPalette& colours = panel.CaptionBar()->palette();
  EXPECT_EQ(colours.color(QPalette::Window), grid.palette().color(QPalette::Highlight));
  EXPECT_EQ(colours.color(QPalette::WindowText), grid.palette().color(QPalette::HighlightedText));
  // The panel lies in front of everything else in the window.
  EXPECT_EQ(form_->childAt(form_->AdvPanel1()->geometry().center()),
            grid.viewport()->childAt(
                grid.viewport()->mapFrom(form_.get(), form_->AdvPanel1()->geometry().center()))
                ?: grid.viewport());
}

TEST_F(AdjustmentGridTest, NavigatorButtonsShareTheBarAndTakeNoFocus) {
  OpenEditor();
  int x = 0;
  int total = 0;
  for (int b = 0; b < RecordNavigator::kButtonCount; ++b) {
    QToolButton* button = Navigator().ButtonAt(static_cast<RecordNavigator::Button>(b));
    SCOPED_TRACE(button->objectName().toStdString());
    EXPECT_EQ(button->x(), x);
    EXPECT_GE(button->width(), 43);  // 303 / 7
    EXPECT_LE(button->width(), 44);
    EXPECT_EQ(button->height(), 18);
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(button->toolTip().isEmpty());
    x += button->width();
    total += button->width();
  }
  EXPECT_EQ(total, 303);
}

TEST_F(PostingFormTest, TheGridFollowsPrefInTheFocusOrderWhileItShows) {
  InstallDefault();
  RecordingPostingForm& form = Open();
  QWidget* grid = form.AdjustmentEditorPanel()->Grid();
  form.Pref()->setFocus();
  PressKey(Qt::Key_Tab);
  EXPECT_EQ(FocusedControl(), "Servidor");
  form.ShowAdjustmentPanel();
  form.Pref()->setFocus();
  PressKey(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), grid);
  PressKey(Qt::Key_Tab);
  PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), grid);
}

TEST(NavigatorLayout, LeftoverPixelsWidenButtonsSpreadAlongTheBar) {
  struct Case {
    int total;
    std::vector<int> widths;
  };
  const Case cases[] = {
      {140, {20, 20, 20, 20, 20, 20, 20}},
      {303, {43, 43, 43, 44, 43, 43, 44}},
      {145, {20, 21, 21, 20, 21, 21, 21}},
      {100, {20, 20, 20, 20, 20, 20, 20}},  // too narrow: the minimum holds
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.total);
    EXPECT_EQ(SpreadWidths(c.total, 7, 20), c.widths);
  }
}

TEST_F(AdjustmentGridTest, GridSelectsNothingSortsNothingAndKeepsItsRowsFixed) {
  AdjustmentGrid& grid = OpenEditor();
  EXPECT_EQ(grid.selectionMode(), QAbstractItemView::NoSelection);
  EXPECT_FALSE(grid.isSortingEnabled());
  EXPECT_TRUE(grid.showGrid());
  EXPECT_TRUE(grid.horizontalHeader()->sectionsMovable());
  EXPECT_EQ(grid.horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
  EXPECT_EQ(grid.verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
  EXPECT_EQ(grid.verticalHeader()->width(), 11);
  const QModelIndex cell = grid.Records().index(0, 2);
  EXPECT_FALSE(cell.data(Qt::ToolTipRole).isValid());
  EXPECT_FALSE(grid.Records().headerData(0, Qt::Vertical, Qt::DisplayRole).isValid());
  // The column lines go on below the last row.
  const QImage picture = grid.viewport()->grab().toImage();
  const int x = grid.columnViewportPosition(1) + grid.columnWidth(1) - 1;
  const int below = grid.rowViewportPosition(2) + grid.rowHeight(2) + 10;
  ASSERT_LT(below, picture.height());
  EXPECT_NE(picture.pixelColor(x, below), picture.pixelColor(x - 3, below));
  // Clicking a title moves no current cell and sorts nothing.
  const int title = grid.horizontalHeader()->sectionViewportPosition(2) + 5;
  QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(title, 5));
  EXPECT_EQ(grid.CurrentColumn(), 0);
  EXPECT_EQ(ShownColumn(2), (std::vector<std::string>{"19", "5", "0"}));
}

// The pictures land in the build folder; they are checked for what a person would look for
// first: the highlighted current cell, the open editor over the Factor cell, the dialog's size.
TEST_F(AdjustmentGridTest, PicturesOfTheEditorAndTheFindDialog) {
  AdjustmentGrid& grid = OpenEditor(CommaSettings());
  const QImage browsing = form_->grab().toImage();
  ASSERT_TRUE(browsing.save(QString(PICTURE_DIR) + "/adjustment-editor.png"));

  PressKey(Qt::Key_Up);
  PressKey(Qt::Key_End);
  Type("0,85");
  ASSERT_NE(grid.Editor(), nullptr);
  EXPECT_EQ(grid.Editor()->text(), "0,85");
  const QImage editing = form_->grab().toImage();
  ASSERT_TRUE(editing.save(QString(PICTURE_DIR) + "/adjustment-editor-editing.png"));
  EXPECT_NE(editing, browsing);

  PressKey(Qt::Key_Down);  // posts the row
  PressKey(Qt::Key_F, Qt::ControlModifier);
  PressKey(Qt::Key_F, Qt::ControlModifier);
  FindTextDialog* dialog = grid.FindDialog();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->size(), QSize(505, 124));
  ASSERT_TRUE(dialog->grab().save(QString(PICTURE_DIR) + "/find-dialog.png"));
  dialog->hide();
}

}  // namespace
