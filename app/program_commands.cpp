#include "app/program_commands.h"

#include "app/posting_form.h"

namespace {

class ProgramCommands final : public WindowCommands {
 public:
  explicit ProgramCommands(TPostingForm& window) : window_(window) {}

  void PostingRun() override {}
  void AdjustmentF2PreStep() override {}
  void AdjustmentF5() override {}

 private:
  [[maybe_unused]] TPostingForm& window_;
};

}  // namespace

std::unique_ptr<WindowCommands> MakeProgramCommands(TPostingForm& window) {
  return std::make_unique<ProgramCommands>(window);
}
