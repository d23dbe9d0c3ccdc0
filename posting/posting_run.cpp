#include "posting/posting_run.h"

#include "data/client/client_dataset.h"
#include "posting/posting_statement.h"

void RunPosting(PostingWindow& window, UiServices& ui, TClientDataSet& postingRows,
                const FormatSettings& settings) {
  window.ShowBanner(kPostingBanner);
  const std::string statement =
      PostingStatement(window.StartDate(), window.EndDate(), window.Prefix(), settings);
  // A fresh open executes the new text on a freshly prepared statement. The procedure's work
  // is committed by the driver as the statement completes; no transaction is begun here.
  postingRows.Close();
  postingRows.SetCommandText(statement);
  postingRows.Open();
  window.HideBanner();
  ui.RepaintNow();
  // Only whether rows came back counts: the procedure returns one per journal entry written.
  if (postingRows.IsEmpty()) ui.ShowInformation(kNothingPosted);
  postingRows.Close();
  window.CloseWindow();
}
