#include "app/program_commands.h"

#include "app/posting_form.h"
#include "datamodule/posting_data_module.h"
#include "posting/posting_run.h"

namespace {

class ProgramCommands final : public WindowCommands {
 public:
  explicit ProgramCommands(TPostingForm& window) : window_(window) {}

  void PostingRun() override {
    RunPosting(window_, window_.Ui(), window_.Data().CRepArticulos(), window_.Settings());
  }
  // Not built yet: the adjustment editor, and saving its rows before a posting run.
  void AdjustmentF2PreStep() override {}
  void AdjustmentF5() override {}

 private:
  TPostingForm& window_;
};

}  // namespace

std::unique_ptr<WindowCommands> MakeProgramCommands(TPostingForm& window) {
  return std::make_unique<ProgramCommands>(window);
}
