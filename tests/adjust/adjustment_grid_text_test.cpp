// The grid over an in-memory dataset whose columns hold words, where letter case matters: the
// incremental search takes the case of the cell it finds, and the find dialog's "Match Case".
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <cstring>

#include "adjust/adjustment_grid.h"
#include "adjust/find_dialog.h"
#include "adjust/grid_columns.h"
#include "adjust/records_model.h"
#include "db/dataset/data_source.h"
#include "recording_ui.h"
#include "tests/db/dataset/memory_dataset.h"

namespace {

TMemoryDataSet::Value Text(const char* text) {
  return std::vector<std::uint8_t>(text, text + std::strlen(text));
}

// The grid's four fields as text columns, the words in the first.
class WordsGrid : public testing::Test {
 protected:
  WordsGrid() : data_(Defs()), grid_(ui_, FormatSettings::Default()) {
    for (const char* word : {"Alpha", "beta", "Bravo", "bRAVO"}) {
      data_.rows.push_back({Text(word), Text("x"), Text("y"), Text("z")});
    }
    source_.SetDataSet(&data_);
    data_.Open();
    grid_.SetDataSource(&source_);
    grid_.resize(400, 200);
    grid_.show();
    QApplication::setActiveWindow(&grid_);
    grid_.setFocus();
  }
  static std::vector<TFieldDef> Defs() {
    std::vector<TFieldDef> defs;
    for (const char* name : AdjustmentGridFields()) {
      TFieldDef def;
      def.Name = name;
      def.DataType = TFieldType::ftString;
      def.Size = 20;
      defs.push_back(def);
    }
    return defs;
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }
  void Type(const char* text) {
    for (const char* c = text; *c; ++c) QTest::keyClick(QApplication::focusWidget(), *c);
  }
  int Row() const { return grid_.Records().Link().ActiveRow(); }

  RecordingUi ui_;
  TMemoryDataSet data_;
  TDataSource source_;
  AdjustmentGrid grid_;
};

TEST_F(WordsGrid, TheIncrementalSearchTakesTheCaseOfTheCellItFinds) {
  Key(Qt::Key_F, Qt::ControlModifier);
  struct Step {
    const char* typed;
    const char* text;  // the search text afterwards
    int row;
  };
  const Step steps[] = {
      {"b", "b", 1}, {"R", "Br", 2}, {"a", "Bra", 2}, {"x", "Bra", 2}, {"V", "Brav", 2},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.typed);
    Type(step.typed);
    EXPECT_EQ(grid_.SearchText().toStdString(), step.text);
    EXPECT_EQ(Row(), step.row);
  }
  // The matched part of the current cell is painted black on yellow.
  const QRect cell = grid_.visualRect(grid_.Records().index(2, 0));
  const QImage picture = grid_.viewport()->grab().toImage();
  int yellow = 0;
  for (int x = cell.left(); x < cell.left() + cell.width() / 2; ++x) {
    yellow += picture.pixelColor(x, cell.center().y() - 3) == QColor(255, 255, 0);
  }
  EXPECT_GT(yellow, 3);
}

TEST_F(WordsGrid, FindMatchesCaseWholeFieldOrBeginningAsAsked) {
  Key(Qt::Key_F, Qt::ControlModifier);
  Key(Qt::Key_F, Qt::ControlModifier);
  FindTextDialog* dialog = grid_.FindDialog();
  ASSERT_NE(dialog, nullptr);
  struct Case {
    const char* text;
    const char* match;
    bool match_case;
    int row;  // -1: nothing found, the row stays
  };
  const Case cases[] = {
      {"bravo", "Whole field", false, 2},          {"bravo", "Whole field", true, -1},
      {"bRAVO", "Whole field", true, 3},           {"RAV", "From any part of field", true, 3},
      {"rav", "From any part of field", false, 2}, {"Bra", "Whole field", false, -1},
      {"ALP", "From beging of field", false, 0},   {"lpha", "From beging of field", false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " " + c.match + (c.match_case ? " case" : ""));
    data_.First();
    data_.Next();  // "beta": a search with "All" starts above it
    dialog->DirectionChoice()->setCurrentText("Up");
    dialog->DirectionChoice()->setCurrentText("All");
    dialog->TextBox()->setEditText(c.text);
    dialog->MatchChoice()->setCurrentText(c.match);
    dialog->MatchCase()->setChecked(c.match_case);
    dialog->FindNextButton()->click();
    EXPECT_EQ(Row(), c.row < 0 ? 1 : c.row);
  }
  EXPECT_TRUE(ui_.calls.empty());
}

}  // namespace
