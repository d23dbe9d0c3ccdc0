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

// Commands that record their calls in `log` instead of running; the posting run may be given
// something to do (fail, say).
class RecordingCommands : public WindowCommands {
 public:
  RecordingCommands(std::vector<std::string>& log, std::function<void()>& onPostingRun)
      : log_(log), on_posting_run_(onPostingRun) {}

  void PostingRun() override {
    log_.push_back("SpeedButton3Click");
    if (on_posting_run_) on_posting_run_();
  }
  void AdjustmentF2PreStep() override { log_.push_back("AdjustmentF2PreStep"); }
  void AdjustmentF5() override { log_.push_back("AdjustmentF5Command"); }

 private:
  std::vector<std::string>& log_;
  std::function<void()>& on_posting_run_;
};

// The window with recording commands, or with the program's own when `programCommands`;
// leaving Cia or Pref is recorded too, and still connects.
class RecordingPostingForm : public TPostingForm {
 public:
  RecordingPostingForm(UiServices& ui, const FormatSettings& settings, bool programCommands)
      : TPostingForm(ui, settings,
                     programCommands ? CommandsFactory() : [this](TPostingForm&) {
                       return std::make_unique<RecordingCommands>(handlers, on_posting_run);
                     }) {}

  std::vector<std::string> handlers;
  std::function<void()> on_posting_run;

 protected:
  void CiaExit() override {
    handlers.push_back("CiaExit");
    TPostingForm::CiaExit();
  }
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
  // Creates the window (with the program's own commands when program_commands_ is set), shows
  // it and waits until it is active.
  RecordingPostingForm& Open(const FormatSettings& settings = FormatSettings::Default());

  // Installs `serverEntry` (the folder holding datos/01/talvora.fdb, or host:folder) as the only
  // server, opens the window and connects it to company 01 as a user would: user SYSDBA,
  // password `password`, company 01, Enter in the company field. The recorded UI calls start
  // afresh after connecting.
  RecordingPostingForm& OpenConnected(const std::string& serverEntry,
                                      const FormatSettings& settings = FormatSettings::Default(),
                                      const char* password = "masterkey");

  // Sends a key press and release to the control that has the focus.
  void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // Name of the control with the focus ("" when none).
  std::string FocusedControl() const;

  std::filesystem::path root_;
  std::filesystem::path install_dir_;
  RecordingUi ui_;
  std::unique_ptr<RecordingPostingForm> form_;
  bool program_commands_ = false;
};
