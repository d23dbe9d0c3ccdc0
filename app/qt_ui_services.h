// QtUiServices: the production UiServices, on the toolkit's modal message boxes, beep,
// override cursor and immediate repaint. Boxes are application-modal and centred on the
// screen; their captions are the application title, "Error" or "Confirm".
#pragma once

#include "ui/ui_services.h"

class QtUiServices final : public UiServices {
 public:
  void ShowInformation(const std::string& text) override;
  void ShowErrorDialog(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void ShowFailureBox(const std::string& text) override;
  void Beep() override;
  void PushWaitCursor() override;
  void PopWaitCursor() override;
  void RepaintNow() override;
};
