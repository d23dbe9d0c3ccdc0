// WindowCommands: the commands the main window's keys and buttons start. The window owns one
// and calls it from its handlers; each call runs through the default error display, so a
// failure that leaves a command is shown and the window stays open.
#pragma once

class WindowCommands {
 public:
  virtual ~WindowCommands() = default;

  // "F2: Ejecutar" and the F2 key: the posting run.
  virtual void PostingRun() = 0;
  // The F2 key while the adjustment editor is open, before the posting run: save the rows.
  virtual void AdjustmentF2PreStep() = 0;
  // The F5 key: open the adjustment editor, or save and close it.
  virtual void AdjustmentF5() = 0;
};
