// The adjustment factors of a period: one row of AJUSTE_CIERRE per VAT rate for the start date
// the window shows, prepared in the cached dataset of the adjustment rows, edited in the editor
// panel and saved as one transaction.
//
// F5 with the editor closed prepares the rows and opens it; F5 with the editor open saves and
// closes it; F2 with the editor open saves before the posting run. A save that cannot write
// every row never throws the user's work away: the editor stays (or comes back) open with what
// was not saved, and F2 does not post with factors that were not saved.
//
// Runs on the user-interface thread; failures leave as exceptions for the caller's default
// display. The window, the services and the datasets must outlive the object.
#pragma once

#include "base/format_settings.h"
#include "ui/posting_window.h"
#include "ui/ui_services.h"

class TClientDataSet;

inline constexpr char kFactorWhenPrepared[] = "0.8";

class AdjustmentEditor {
 public:
  // `rows` is the cached dataset on AJUSTE_CIERRE (CAjuste), `rates` the one on the rate list
  // (CTarifas).
  AdjustmentEditor(PostingWindow& window, TClientDataSet& rows, TClientDataSet& rates,
                   const FormatSettings& settings);

  // F5: opens the editor when it is closed, else saves and closes it.
  void F5();
  // F2 with the editor open, before the posting run: hides the editor and saves with no error
  // limit. When a row could not be saved the editor is shown again and the run stops silently
  // (the failing row was reported as it failed); a failure of the save as a whole also shows
  // the editor again and passes on. Either way the posting run does not start.
  void SaveBeforePosting();

 private:
  void Open();
  void SaveAndClose();
  void ShowEditor();

  PostingWindow& window_;
  TClientDataSet& rows_;
  TClientDataSet& rates_;
  FormatSettings settings_;
};
