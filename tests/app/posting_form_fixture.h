// A test installation (settings folder, installation directory with SERVIDORES.cfg) and the
// real main window on it, with the handlers that later work fills in recording their calls.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/posting_form.h"
#include "recording_ui.h"

// The window with its pending handlers recorded; a test may make one of them fail.
class RecordingPostingForm : public TPostingForm {
 public:
  using TPostingForm::TPostingForm;

  std::vector<std::string> handlers;
  std::function<void()> on_posting_run;

 protected:
  void SpeedButton3Click() override {
    handlers.push_back("SpeedButton3Click");
    if (on_posting_run) on_posting_run();
  }
  void CiaExit() override {
    handlers.push_back("CiaExit");
    TPostingForm::CiaExit();
  }
  void AdjustmentF2PreStep() override { handlers.push_back("AdjustmentF2PreStep"); }
  void AdjustmentF5Command() override { handlers.push_back("AdjustmentF5Command"); }
};

class PostingFormTest : public testing::Test {
 protected:
  PostingFormTest();
  ~PostingFormTest() override;

  // Writes the settings file (nullopt: none) and the server list (nullopt: none).
  void Install(const std::optional<std::string>& settingsFile,
               const std::optional<std::string>& serverList);
  // The usual installation: Directorio points at the installation folder, two servers.
  void InstallDefault();
  // Creates the window, shows it and waits until it is active.
  RecordingPostingForm& Open(const FormatSettings& settings = FormatSettings::Default());

  // Sends a key press and release to the control that has the focus.
  void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // Name of the control with the focus ("" when none).
  std::string FocusedControl() const;

  std::filesystem::path root_;
  std::filesystem::path install_dir_;
  RecordingUi ui_;
  std::unique_ptr<RecordingPostingForm> form_;
};
