// PostingWindow: what the commands of the main window (the posting run, the adjustment
// factors, the error handling) need from the window itself, without knowing how it is drawn.
// The window implements it; tests record it.
//
// All calls happen on the user-interface thread.
#pragma once

#include <string>

#include "base/date_time.h"

class PostingWindow {
 public:
  virtual ~PostingWindow() = default;

  // The status banner. Shows it with `text` and repaints the window at once, so the text is
  // on screen before the long operation that follows.
  virtual void ShowBanner(const std::string& text) = 0;
  // Hides it; the caller repaints when it must be seen at once.
  virtual void HideBanner() = 0;
  // Sets its caption alone; whether it shows is left as it was.
  virtual void SetBannerCaption(const std::string& text) = 0;

  // The inputs as the user left them: the calendar dates of the two pickers, the prefix as
  // typed (not trimmed) and the text of the user-name field.
  virtual TDateTime StartDate() const = 0;
  virtual TDateTime EndDate() const = 0;
  virtual std::string Prefix() const = 0;
  virtual std::string UserName() const = 0;

  // Closes the window, which ends the program.
  virtual void CloseWindow() = 0;

  // The adjustment editor panel.
  virtual bool AdjustmentPanelVisible() const = 0;
  virtual void ShowAdjustmentPanel() = 0;
  virtual void HideAdjustmentPanel() = 0;
  virtual void FocusAdjustmentGrid() = 0;
};
