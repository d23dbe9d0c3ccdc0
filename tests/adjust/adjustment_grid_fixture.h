// The adjustment editor opened in the real window on a throw-away embedded company database, as
// a user opens it (connect, F5), and what the grid tests read and type.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "adjust/adjustment_grid.h"
#include "adjust/record_navigator.h"
#include "posting_form_fixture.h"
#include "tests/support/test_database.h"

class TClientDataSet;

// The regional settings under which "0,75" is a decimal.
FormatSettings CommaSettings();

class AdjustmentGridTest : public PostingFormTest {
 protected:
  AdjustmentGridTest() { program_commands_ = true; }

  // Adds rates to TARIFA_IVA besides 19, 5 and 0; the editor shows one row per rate.
  void AddRates(const std::vector<int>& rates);
  // Connects, sets the period (1 to 31 October 2026) and opens the editor with F5.
  AdjustmentGrid& OpenEditor(const FormatSettings& settings = FormatSettings::Default());

  AdjustmentGrid& Grid() const;
  RecordNavigator& Navigator() const;
  TClientDataSet& Rows() const;

  // The rows as the grid shows them, "F.Desde|F.Hasta|Porc|Factor" each.
  std::vector<std::string> Shown() const;
  // One column of the grid, top to bottom.
  std::vector<std::string> ShownColumn(int column) const;
  int CurrentRow() const;
  // The text of the grid's current cell.
  std::string CurrentText() const;
  // Types `text` into whatever has the focus, one key at a time.
  void Type(const QString& text);
  // Makes the cell current with the mouse, as a user clicks it.
  void Click(int row, int column);

  TestDatabase database_;
};
