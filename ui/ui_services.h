// UiServices: every modal box, the beep, the wait cursor and the immediate repaint of the
// program go through this one interface, so that tests record them instead of blocking.
//
// The application provides the implementation (message boxes of the toolkit); tests use a
// recorder. Declared here, below the application layer, because the error handling uses it.
// All calls happen on the user-interface thread.
#pragma once

#include <string>

class UiServices {
 public:
  virtual ~UiServices() = default;

  // The information box: the application title as caption, no icon, one "OK" button.
  virtual void ShowInformation(const std::string& text) = 0;
  // The error dialog: caption "Error", stop icon, one "OK" button.
  virtual void ShowErrorDialog(const std::string& text) = 0;
  // The confirmation box: caption "Confirm", buttons "OK" and "Cancel". True for "OK".
  virtual bool Confirm(const std::string& text) = 0;
  // The box of the default error display: the application title as caption, stop icon, one
  // "OK" button. Releases any mouse capture first.
  virtual void ShowFailureBox(const std::string& text) = 0;

  // The default beep.
  virtual void Beep() = 0;
  // The hour-glass cursor; calls nest. Use WaitCursor rather than calling these directly.
  virtual void PushWaitCursor() = 0;
  virtual void PopWaitCursor() = 0;
  // Repaints the application's visible windows now, not through the event queue.
  virtual void RepaintNow() = 0;
};

// Shows the hour-glass for its lifetime.
class WaitCursor {
 public:
  explicit WaitCursor(UiServices& ui) : ui_(ui) { ui_.PushWaitCursor(); }
  ~WaitCursor() { ui_.PopWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  UiServices& ui_;
};
