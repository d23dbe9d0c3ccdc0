#include "adjust/adjustment_editor.h"

#include <string>
#include <vector>

#include "base/currency.h"
#include "base/exceptions.h"
#include "base/text.h"
#include "data/client/client_dataset.h"
#include "db/dataset/field.h"

namespace {

// Whole-value match on the rate, no options.
bool LocateRate(TClientDataSet& rows, Currency rate) {
  return rows.Locate("AJCI_PORC", std::vector<TLocateValue>{rate});
}

}  // namespace

AdjustmentEditor::AdjustmentEditor(PostingWindow& window, TClientDataSet& rows,
                                   TClientDataSet& rates, const FormatSettings& settings)
    : window_(window), rows_(rows), rates_(rates), settings_(settings) {}

void AdjustmentEditor::F5() {
  if (window_.AdjustmentPanelVisible()) {
    SaveAndClose();
  } else {
    Open();
  }
}

void AdjustmentEditor::Open() {
  const TDateTime start = window_.StartDate();
  const TDateTime end = window_.EndDate();
  rows_.SetFilter("AJCI_FECINI = " + QuotedStr(DateToStr(start, settings_)));
  rows_.SetFiltered(true);
  rows_.Open();
  // Earlier factors of the start date give way to the new rows; other dates stay hidden and
  // untouched.
  while (!rows_.Eof()) rows_.Delete();

  // Afresh every time, so the walk starts at the first rate the query returns now.
  rates_.Close();
  rates_.Open();
  const Currency factor = Currency::Parse(kFactorWhenPrepared, '.');
  while (!rates_.Eof()) {
    // Four decimals, to nearest; a null rate reads as 0.
    const Currency rate = rates_.Fields(0).AsCurrency();
    if (LocateRate(rows_, rate)) {
      rows_.Edit();
      rows_.FieldByName("AJCI_FACTOR").SetAsCurrency(factor);
    } else {
      rows_.Insert();
      rows_.FieldByName("AJCI_ID").SetAsInteger(0);
      rows_.FieldByName("AJCI_FECINI").SetAsDateTime(DateOf(start));
      rows_.FieldByName("AJCI_FECFIN").SetAsDateTime(DateOf(end));
      rows_.FieldByName("AJCI_PORC").SetAsCurrency(rate);
      rows_.FieldByName("AJCI_FACTOR").SetAsCurrency(factor);
    }
    rows_.Post();
    rates_.Next();
  }
  rates_.Close();

  ShowEditor();
  rows_.Last();
}

void AdjustmentEditor::SaveAndClose() {
  // With no error limit 0 a failing row rolls the whole save back, and every change is still
  // in the log: keep the editor open so the user can mend the cause and save again.
  if (rows_.ApplyUpdates(0) > 0) return;
  window_.HideAdjustmentPanel();
  rows_.Close();
}

void AdjustmentEditor::SaveBeforePosting() {
  window_.HideAdjustmentPanel();
  std::int32_t failed = 0;
  try {
    failed = rows_.ApplyUpdates(-1);
  } catch (...) {
    ShowEditor();
    throw;
  }
  if (failed > 0) {
    // Rows before the failing one are saved; the rest wait in the editor. The failing row was
    // reported as it failed, so nothing more is shown.
    ShowEditor();
    Abort();
  }
}

void AdjustmentEditor::ShowEditor() {
  window_.ShowAdjustmentPanel();
  window_.FocusAdjustmentGrid();
}
