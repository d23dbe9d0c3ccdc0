// The posting run: asks the company database to post the cash sales of the prefix and period
// the window shows, tells the user when nothing could be posted, and closes the window, which
// ends the program.
//
// A failure (connecting, a procedure that refuses its arguments or is missing, a lost server)
// leaves the run where it arose: the banner stays up, the posting dataset stays closed, the
// window stays open, and the run can be started again once the cause is mended. The caller
// shows the failure; nothing is logged.
#pragma once

#include "base/format_settings.h"
#include "ui/posting_window.h"
#include "ui/ui_services.h"

class TClientDataSet;

inline constexpr char kPostingBanner[] = "Generando informe. espere un momento...";
inline constexpr char kNothingPosted[] = "No se pudo contabilizar las facturas.";

// Runs once over `postingRows` (the cached dataset on the posting query, CRepArticulos), with
// the dates and prefix of `window` written under `settings`.
void RunPosting(PostingWindow& window, UiServices& ui, TClientDataSet& postingRows,
                const FormatSettings& settings);
