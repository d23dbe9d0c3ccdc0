// The incremental search (Ctrl+F) and the find dialog (Ctrl+F twice) over the rows F5 prepares,
// with more rates than the schema's so that texts repeat their leading digits.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "adjust/find_dialog.h"
#include "adjust/records_model.h"
#include "adjustment_grid_fixture.h"
#include "data/client/client_dataset.h"

namespace {

constexpr int kPorc = 2;

class AdjustmentGridSearchTest : public AdjustmentGridTest {
 protected:
  // Rows, top to bottom: 19, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0; the last current, "Porc"
  // the current column.
  AdjustmentGrid& OnPorc() {
    AddRates({1, 2, 3, 4, 6, 7, 8, 9, 10, 11});
    AdjustmentGrid& grid = OpenEditor();
    PressKey(Qt::Key_Right);
    PressKey(Qt::Key_Right);
    return grid;
  }
  FindTextDialog& OpenDialog() {
    PressKey(Qt::Key_F, Qt::ControlModifier);
    PressKey(Qt::Key_F, Qt::ControlModifier);
    FindTextDialog* dialog = Grid().FindDialog();
    EXPECT_NE(dialog, nullptr);
    return *dialog;
  }
  void FindNext(FindTextDialog& dialog, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(dialog.FindNextButton(), Qt::LeftButton, modifiers);
    QCoreApplication::processEvents();
  }
};

TEST_F(AdjustmentGridSearchTest, IncrementalSearchFollowsTheTypedTextThroughTheColumn) {
  AdjustmentGrid& grid = OnPorc();
  PressKey(Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(grid.Searching());
  EXPECT_EQ(grid.CurrentGlyph(), IndicatorGlyph::kSearch);
  EXPECT_EQ(grid.SearchText(), "");
  struct Step {
    const char* what;
    std::function<void()> act;
    const char* text;
    int row;
  };
  const Step steps[] = {
      {"1 finds the first row from the top", [&] { Type("1"); }, "1", 0},
      {"a second 1", [&] { Type("1"); }, "11", 1},
      {"a miss keeps the text and the row", [&] { Type("5"); }, "11", 1},
      {"Backspace drops a character and does not search", [&] { PressKey(Qt::Key_Backspace); }, "1",
       1},
      {"Ctrl+Enter: the next row down", [&] { PressKey(Qt::Key_Return, Qt::ControlModifier); }, "1",
       2},
      {"Ctrl+Enter again", [&] { PressKey(Qt::Key_Return, Qt::ControlModifier); }, "1", 11},
      {"Ctrl+Shift+Enter: the next row up",
       [&] { PressKey(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier); }, "1", 2},
      {"Ctrl+V appends the clipboard and searches from the top",
       [&] {
         QGuiApplication::clipboard()->setText("0");
         PressKey(Qt::Key_V, Qt::ControlModifier);
       },
       "10", 2},
      {"Shift+Insert likewise, a miss",
       [&] {
         QGuiApplication::clipboard()->setText("7");
         PressKey(Qt::Key_Insert, Qt::ShiftModifier);
       },
       "10", 2},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_TRUE(grid.Searching());
    EXPECT_EQ(grid.SearchText().toStdString(), step.text);
    EXPECT_EQ(CurrentRow(), step.row);
    EXPECT_EQ(grid.CurrentColumn(), kPorc);
    EXPECT_EQ(grid.Editor(), nullptr);
  }
  // Any other move ends it.
  PressKey(Qt::Key_Down);
  EXPECT_FALSE(grid.Searching());
  EXPECT_EQ(CurrentRow(), 3);
  EXPECT_EQ(grid.CurrentGlyph(), IndicatorGlyph::kBrowse);
  EXPECT_EQ(Rows().State(), TDataSetState::dsBrowse);
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(AdjustmentGridSearchTest, EnterEndsTheSearchAndMovesToTheNextCell) {
  AdjustmentGrid& grid = OnPorc();
  PressKey(Qt::Key_F, Qt::ControlModifier);
  Type("5");
  EXPECT_EQ(CurrentRow(), 7);
  PressKey(Qt::Key_Return);
  EXPECT_FALSE(grid.Searching());
  EXPECT_EQ(CurrentRow(), 7);
  EXPECT_EQ(grid.CurrentColumn(), kPorc + 1);
}

TEST_F(AdjustmentGridSearchTest, CtrlFInTheEditorClosesItAndStartsTheSearch) {
  AdjustmentGrid& grid = OnPorc();
  Type("4");
  ASSERT_NE(grid.Editor(), nullptr);
  PressKey(Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(grid.Editor(), nullptr);
  EXPECT_TRUE(grid.Searching());
  // What was typed went into the row as the editor closed.
  EXPECT_EQ(Rows().FieldByName("AJCI_PORC").AsString(), "4");
}

TEST_F(AdjustmentGridSearchTest, TwoCtrlFOpenTheFindDialogWithAnEmptyTextAndTheColumns) {
  AdjustmentGrid& grid = OnPorc();
  PressKey(Qt::Key_F, Qt::ControlModifier);
  Type("1");
  FindTextDialog& dialog = OpenDialog();
  EXPECT_FALSE(grid.Searching());
  ASSERT_TRUE(dialog.isVisible());
  EXPECT_TRUE(dialog.isModal());
  EXPECT_EQ(dialog.windowTitle(), "Find text");
  EXPECT_EQ(dialog.size(), QSize(FindTextDialog::kWidth, FindTextDialog::kHeight));
  EXPECT_EQ(dialog.TextBox()->currentText(), "");
  QStringList columns;
  for (int i = 0; i < dialog.ColumnChoice()->count(); ++i)
    columns << dialog.ColumnChoice()->itemText(i);
  EXPECT_EQ(columns, (QStringList{"F.Desde", "F.Hasta", "Porc", "Factor", "<All>"}));
  EXPECT_EQ(dialog.ColumnChoice()->currentText(), "Porc");
  EXPECT_EQ(dialog.MatchChoice()->currentText(), "From any part of field");
  QStringList matches;
  for (int i = 0; i < dialog.MatchChoice()->count(); ++i)
    matches << dialog.MatchChoice()->itemText(i);
  EXPECT_EQ(matches,
            (QStringList{"From any part of field", "Whole field", "From beging of field"}));
  EXPECT_EQ(dialog.DirectionChoice()->currentText(), "All");
  EXPECT_FALSE(dialog.MatchCase()->isChecked());
  EXPECT_TRUE(dialog.MatchFormat()->isChecked());
  EXPECT_EQ(dialog.MatchCase()->text(), "Match &Case");
  EXPECT_EQ(dialog.MatchFormat()->text(), "Match F&ormat");
  EXPECT_EQ(dialog.FindNextButton()->text(), "&Find next");
  EXPECT_EQ(dialog.CloseButton()->text(), "Close");
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->isVisibleTo(&dialog)) labels << label->text();
  }
  labels.sort();
  EXPECT_EQ(labels, (QStringList{"Fi&nd What:", "Find &in:", "Matc&h:", "Sea&rch:"}));
  // The tree row is there, hidden, below the dialog's bottom edge.
  EXPECT_FALSE(dialog.TreeRow()->isVisibleTo(&dialog));
  EXPECT_GE(dialog.TreeRow()->y(), dialog.height());
  EXPECT_NE(dialog.TreeRow()->findChild<QLabel*>()->text().indexOf("Find in Tree:"), -1);
  QTest::keyClick(dialog.TextBox(), Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(AdjustmentGridSearchTest, FindNextWalksTheRowsAsTheDirectionSays) {
  AdjustmentGrid& grid = OnPorc();
  FindTextDialog& dialog = OpenDialog();
  dialog.TextBox()->setEditText("1");
  struct Step {
    const char* what;
    std::function<void()> act;
    int row;
  };
  const Step steps[] = {
      {"All starts at the first row", [&] { FindNext(dialog); }, 0},
      {"after a find with All, Down", [&] { FindNext(dialog); }, 1},
      {"Down again", [&] { FindNext(dialog); }, 2},
      {"Down to the last match", [&] { FindNext(dialog); }, 11},
      {"nothing further down: the row stays", [&] { FindNext(dialog); }, 11},
      {"Ctrl reverses Down to Up", [&] { FindNext(dialog, Qt::ControlModifier); }, 2},
      {"Up", [&] { dialog.DirectionChoice()->setCurrentText("Up"), FindNext(dialog); }, 1},
      {"Ctrl reverses Up to Down", [&] { FindNext(dialog, Qt::ControlModifier); }, 2},
      {"All again, from the top",
       [&] { dialog.DirectionChoice()->setCurrentText("All"), FindNext(dialog); }, 0},
      {"Ctrl reverses All to Up: nothing above the first row",
       [&] { dialog.TextBox()->setEditText("1"), FindNext(dialog, Qt::ControlModifier); }, 0},
      {"Whole field",
       [&] { dialog.MatchChoice()->setCurrentText("Whole field"), FindNext(dialog); }, 11},
      {"From the beginning",
       [&] {
         dialog.MatchChoice()->setCurrentText("From beging of field");
         dialog.DirectionChoice()->setCurrentText("Up");
         dialog.DirectionChoice()->setCurrentText("All");
         FindNext(dialog);
       },
       0},
      {"Enter in the text box finds too",
       [&] { QTest::keyClick(dialog.TextBox()->lineEdit(), Qt::Key_Return); }, 1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(CurrentRow(), step.row);
    EXPECT_EQ(grid.CurrentColumn(), kPorc);
  }
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(AdjustmentGridSearchTest, AllColumnsAreSearchedLeftToRightAndTheFoundColumnBecomesCurrent) {
  AdjustmentGrid& grid = OnPorc();
  FindTextDialog& dialog = OpenDialog();
  dialog.ColumnChoice()->setCurrentText("<All>");
  struct Step {
    const char* text;
    const char* match;
    int row, column;
  };
  const Step steps[] = {
      {"31/10", "From any part of field", 0, 1},
      {"19", "From any part of field", 0, 2},
      {"1", "From any part of field", 0, 0},  // in the start date, left of the rate
      {"8", "Whole field", 4, 2},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.text);
    dialog.TextBox()->setEditText(step.text);
    dialog.MatchChoice()->setCurrentText(step.match);
    FindNext(dialog);
    EXPECT_EQ(CurrentRow(), step.row);
    EXPECT_EQ(grid.CurrentColumn(), step.column);
  }
  // The searched texts stay in the drop-down, each once, and the dialog keeps its settings.
  dialog.TextBox()->setEditText("31/10");
  FindNext(dialog);
  dialog.CloseButton()->click();
  EXPECT_FALSE(dialog.isVisible());
  // The test platform does not give the window its activation back by itself.
  QApplication::setActiveWindow(form_.get());
  ASSERT_EQ(QApplication::focusWidget(), &grid);
  PressKey(Qt::Key_Home);
  FindTextDialog& again = OpenDialog();
  EXPECT_EQ(&again, &dialog);
  EXPECT_TRUE(again.isVisible());
  EXPECT_EQ(again.TextBox()->currentText(), "");
  QStringList searched;
  for (int i = 0; i < again.TextBox()->count(); ++i) searched << again.TextBox()->itemText(i);
  EXPECT_EQ(searched, (QStringList{"31/10", "19", "1", "8"}));
  EXPECT_EQ(again.ColumnChoice()->currentText(), "F.Desde");
  EXPECT_EQ(again.MatchChoice()->currentText(), "Whole field");
}

}  // namespace
