// The commands the program's window runs: the posting run and the adjustment factors.
#pragma once

#include <memory>

#include "ui/window_commands.h"

class TPostingForm;

// The program's commands for `window`, which must outlive them.
std::unique_ptr<WindowCommands> MakeProgramCommands(TPostingForm& window);
