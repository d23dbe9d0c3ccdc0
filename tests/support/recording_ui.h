// RecordingUi: a UiServices for tests. Every box, beep, cursor change and immediate repaint is
// recorded in order instead of shown; Confirm answers with `confirm_answer`.
#pragma once

#include <string>
#include <vector>

#include "ui/ui_services.h"

struct UiCall {
  std::string kind;  // "information", "error", "confirm", "failure", "beep", "wait+",
                     // "wait-", "repaint"
  std::string text;
  bool operator==(const UiCall&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const UiCall& call) {
  return out << call.kind << "(" << call.text << ")";
}

class RecordingUi : public UiServices {
 public:
  void ShowInformation(const std::string& text) override { calls.push_back({"information", text}); }
  void ShowErrorDialog(const std::string& text) override { calls.push_back({"error", text}); }
  bool Confirm(const std::string& text) override {
    calls.push_back({"confirm", text});
    return confirm_answer;
  }
  void ShowFailureBox(const std::string& text) override { calls.push_back({"failure", text}); }
  void Beep() override { calls.push_back({"beep", ""}); }
  void PushWaitCursor() override {
    ++wait_depth;
    calls.push_back({"wait+", ""});
  }
  void PopWaitCursor() override {
    --wait_depth;
    calls.push_back({"wait-", ""});
  }
  void RepaintNow() override { calls.push_back({"repaint", ""}); }

  // The recorded calls of one kind, in order.
  std::vector<std::string> Texts(const std::string& kind) const {
    std::vector<std::string> texts;
    for (const UiCall& call : calls) {
      if (call.kind == kind) texts.push_back(call.text);
    }
    return texts;
  }

  std::vector<UiCall> calls;
  bool confirm_answer = true;
  int wait_depth = 0;
};
