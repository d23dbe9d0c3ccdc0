#include "app/program_commands.h"

#include "adjust/adjustment_editor.h"
#include "app/posting_form.h"
#include "datamodule/posting_data_module.h"
#include "posting/posting_run.h"

namespace {

class ProgramCommands final : public WindowCommands {
 public:
  explicit ProgramCommands(TPostingForm& window)
      : window_(window),
        adjustments_(window, window.Data().CAjuste(), window.Data().CTarifas(),
                     window.Settings()) {}

  void PostingRun() override {
    RunPosting(window_, window_.Ui(), window_.Data().CRepArticulos(), window_.Settings());
  }
  void AdjustmentF2PreStep() override { adjustments_.SaveBeforePosting(); }
  void AdjustmentF5() override { adjustments_.F5(); }

 private:
  TPostingForm& window_;
  AdjustmentEditor adjustments_;
};

}  // namespace

std::unique_ptr<WindowCommands> MakeProgramCommands(TPostingForm& window) {
  return std::make_unique<ProgramCommands>(window);
}
